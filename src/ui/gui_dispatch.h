#pragma once
// Hands work from any thread to the GUI thread: each function is queued to a target object
// and runs there in order. Once closed (the target is going), further work is dropped.

#include <QObject>

#include <functional>
#include <memory>
#include <mutex>

namespace tessaro {

class GuiDispatch {
public:
    explicit GuiDispatch(QObject* target) : target_(target) {}

    // Queues `work` for the target's thread; dropped after close().
    void post(std::function<void()> work);
    // Called by the target before it goes.
    void close();

private:
    std::mutex mutex_;
    QObject* target_;
};

} // namespace tessaro
