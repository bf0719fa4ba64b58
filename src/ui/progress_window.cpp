#include "ui/progress_window.h"

#include <QGuiApplication>
#include <QScreen>

namespace tessaro {

void centreOn(QWidget* window, QWidget* owner)
{
    QRect area;
    if (owner && owner->isVisible())
        area = owner->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}

ProgressWindow::ProgressWindow(QWidget* owner)
    : ProgressDialog(owner, QStringLiteral("progressWindow"), {"progressBar"})
{
}

std::unique_ptr<Progress> QtProgressFactory::openSingle()
{
    auto window = std::make_unique<ProgressWindow>(owner_);
    window->show();
    // Drawn before the operation's first request, not when it returns.
    window->keepDrawn(true);
    return window;
}

} // namespace tessaro
