#include "ui/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace tessaro {

namespace {

// What a window manager usually adds around a window: borders and a title bar.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 40;

QRect availableArea(const QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

} // namespace

void fitSizeIntoScreen(QWidget& window)
{
    const QRect area = availableArea(window);
    if (!area.isValid())
        return;
    const QSize room(area.width() - kFrameWidth, area.height() - kFrameHeight);
    window.resize(window.size().boundedTo(room).expandedTo(window.minimumSizeHint()));
}

void fitIntoScreen(QWidget& window)
{
    const QRect area = availableArea(window);
    if (!area.isValid())
        return;
    fitSizeIntoScreen(window);
    const QSize size = window.size();
    QPoint at = window.pos();
    at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() + 1 - size.width() - kFrameWidth)));
    at.setY(qBound(area.top(), at.y(), qMax(area.top(), area.bottom() + 1 - size.height() - kFrameHeight)));
    window.move(at);
}

void keepOwnAreaOnScreen(QWidget& window)
{
    const QRect area = availableArea(window);
    if (!area.isValid())
        return;
    // The title bar as restoreGeometry reckons it, which keeps the top below it already.
    const int titleBar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    const QRect own = window.geometry();
    const QSize size =
        own.size().boundedTo(QSize(area.width(), area.height() - titleBar)).expandedTo(window.minimumSizeHint());
    QPoint at = own.topLeft();
    at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() + 1 - size.width())));
    at.setY(qBound(area.top() + titleBar, at.y(), qMax(area.top() + titleBar, area.bottom() + 1 - size.height())));
    // Set only when it changes, and as the window's own area: a move would count the frame in.
    if (QRect(at, size) != own)
        window.setGeometry(QRect(at, size));
}

} // namespace tessaro
