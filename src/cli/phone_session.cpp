#include "cli/phone_session.h"

#include <iostream>

#include "cli/cli_context.h"
#include "p2k/no_phone.h"
#include "p2k/usb_phone.h"
#include "p2k/virtual_phone.h"

namespace tessaro::cli {

PhoneSession::PhoneSession(CliContext& ctx) : ctx_(ctx)
{
}

PhoneSession::~PhoneSession()
{
    api_.reset();
}

void PhoneSession::start()
{
    const std::string folder = ctx_.dataFolder();
    settings_ = loadSettings(settingsPath(folder));
    log_.setEnabled(settings_.logEnabled);

    if (!ctx_.virtualPhone.empty()) {
        auto opened = VirtualPhone::open(ctx_.virtualPhone);
        if (!opened)
            ctx_.fail(opened.error());
        virtualPhone_ = opened.value().get();
        api_ = std::move(opened).value();
    } else if (ctx_.usb) {
        auto usb = makeUsbPhone();
        usb->setDiagnostics([this](const std::string& line) { log_.writeLine(line); });
        usb->setNotice([](const std::string& text) { std::cerr << text << '\n'; });
        usbPhone_ = usb.get();
        api_ = std::move(usb);
    } else {
        api_ = std::make_unique<NoPhone>();
    }
    context_ = std::make_unique<PhoneContext>(
        PhoneContext{*api_, link_, log_, progress_, ctx_.prompter, folder});
    monitor_ = std::make_unique<ConnectionMonitor>(*context_, view_);
    monitor_->setProfileSelection([this](const std::string& prefix) {
        if (const Status loaded = ctx_.profiles.loadProfile(prefix, ctx_.menu); !loaded)
            ctx_.prompter.show(MessageIcon::Warning, loaded.failure().caption, loaded.error());
    });
    monitor_->setDisconnectHook([this] { forgetPhoneState(roundTrip_); });
    if (ctx_.usb)
        monitor_->setDispatch([this](std::function<void()> call) { statusQueue_.push(std::move(call)); });
    // A command that only reads makes no log unless logging is on.
    if (!ctx_.readOnly || settings_.logEnabled)
        if (const Status logged = monitor_->openLog(); !logged)
            ctx_.prompter.show(MessageIcon::Error, logged.failure().caption, logged.error());
    if (const Status started = monitor_->startLibrary(); !started) {
        ctx_.prompter.show(MessageIcon::Error, started.failure().caption, started.error());
        if (usbPhone_ && !usbPhone_->startError().empty())
            std::cerr << usbPhone_->startError() << '\n';
        throw CommandFailed{};
    }
    if (virtualPhone_)
        virtualPhone_->plug();
    if (ctx_.usb) {
        // The phone may be switching from AT mode, which takes a few seconds.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(ctx_.waitSeconds);
        statusQueue_.runUntil([this] { return link_.connected; }, deadline);
    }
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
    if (!link_.connected)
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
