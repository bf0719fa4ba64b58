#include "ui/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tessaro {

namespace {

// What a window manager usually adds around a window: borders and a title bar.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 40;

} // namespace

void fitIntoScreen(QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize room(area.width() - kFrameWidth, area.height() - kFrameHeight);
    const QSize size = window.size().boundedTo(room).expandedTo(window.minimumSizeHint());
    window.resize(size);
    QPoint at = window.pos();
    at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() + 1 - size.width() - kFrameWidth)));
    at.setY(qBound(area.top(), at.y(), qMax(area.top(), area.bottom() + 1 - size.height() - kFrameHeight)));
    window.move(at);
}

} // namespace tessaro
