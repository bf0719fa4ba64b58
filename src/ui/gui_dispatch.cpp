#include "ui/gui_dispatch.h"

namespace tessaro {

void GuiDispatch::post(std::function<void()> work)
{
    // Under the lock the target cannot be closed (and so not destroyed) while posting.
    const std::lock_guard lock(mutex_);
    if (!target_)
        return;
    QMetaObject::invokeMethod(target_, std::move(work), Qt::QueuedConnection);
}

void GuiDispatch::close()
{
    const std::lock_guard lock(mutex_);
    target_ = nullptr;
}

} // namespace tessaro
