#include "cli/phone_session.h"

#include <iostream>

#include "cli/cli_context.h"
#include "p2k/usb_phone.h"
#include "p2k/virtual_phone.h"
#include "session/editor_session.h"
#include "session/menu_session.h"
#include "session/upload_recovery.h"

namespace tessaro::cli {

void PhoneSession::start()
{
    EditorSession& session = ctx_.session();
    if (session.usbPhone)
        session.usbPhone->setNotice([](const std::string& text) { std::cerr << text << '\n'; });
    ConnectionMonitor::Dispatch dispatch;
    if (ctx_.usb)
        dispatch = [this](std::function<void()> call) { statusQueue_.push(std::move(call)); };
    // A command that only reads makes no log unless logging is on.
    const bool openLog = !ctx_.readOnly || session.settings.logEnabled;
    const EditorSession::PhoneStart started = session.startPhone(
        view_, std::move(dispatch),
        [this](const std::string& prefix) {
            if (const Status loaded = ctx_.menuSession().choosePhoneProfile(prefix); !loaded)
                ctx_.prompter.show(MessageIcon::Warning, loaded.failure().caption, loaded.error());
        },
        openLog,
        // Files an earlier run left cut on this phone are told of (CliQuestions), not put back.
        [this] { ctx_.tell(offerInterruptedUploads(ctx_.session().phone, ctx_.questions)); });
    if (!started.log)
        ctx_.prompter.show(MessageIcon::Error, started.log.failure().caption, started.log.error());
    if (!started.library) {
        ctx_.prompter.show(MessageIcon::Error, started.library.failure().caption, started.library.error());
        if (session.usbPhone && !session.usbPhone->startError().empty())
            std::cerr << session.usbPhone->startError() << '\n';
        throw CommandFailed{};
    }
    if (session.virtualPhone)
        session.virtualPhone->plug();
    if (ctx_.usb) {
        // The phone may be switching from AT mode, which takes a few seconds.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(ctx_.waitSeconds);
        statusQueue_.runUntil([this] { return isConnected(); }, deadline);
    }
}

PhoneContext& PhoneSession::phone()
{
    return ctx_.session().phone;
}

const Settings& PhoneSession::settings() const
{
    return ctx_.session().settings;
}

RoundTrip& PhoneSession::roundTrip()
{
    return ctx_.session().roundTrip;
}

bool PhoneSession::isConnected() const
{
    return ctx_.session().link.connected;
}

VirtualPhone* PhoneSession::virtualPhone()
{
    return ctx_.session().virtualPhone;
}

void PhoneSession::StatusQueue::push(std::function<void()> call)
{
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }
    arrived_.notify_one();
}

void PhoneSession::StatusQueue::runUntil(const std::function<bool()>& done,
                                         std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock lock(mutex_);
    while (!done()) {
        if (!arrived_.wait_until(lock, deadline, [this] { return !calls_.empty(); }))
            return;
        auto call = std::move(calls_.front());
        calls_.pop_front();
        lock.unlock();
        call();
        lock.lock();
    }
}

void PhoneSession::requireConnected()
{
    if (!isConnected())
        ctx_.fail("No phone connected");
}

PhoneSession& phoneSession(CliContext& ctx)
{
    if (!ctx.phone) {
        ctx.phone = std::make_shared<PhoneSession>(ctx);
        ctx.phone->start();
    }
    return *ctx.phone;
}

} // namespace tessaro::cli
