#include "cli/phone_session.h"

#include "cli/cli_context.h"
#include "phone/no_phone.h"
#include "phone/virtual_phone.h"

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
    const std::string folder = ctx_.defaultFolder();
    settings_ = LoadSettings(settingsPath(folder));
    log_.setEnabled(settings_.logEnabled);

    if (!ctx_.virtualPhone.empty()) {
        auto opened = VirtualPhone::open(ctx_.virtualPhone);
        if (!opened)
            ctx_.fail(opened.error());
        virtualPhone_ = opened.value().get();
        api_ = std::move(opened).value();
    } else {
        api_ = std::make_unique<NoPhone>();
    }
    context_ = std::make_unique<PhoneContext>(
        PhoneContext{*api_, link_, log_, progress_, ctx_.prompter, folder});
    monitor_ = std::make_unique<ConnectionMonitor>(*context_, view_);
    monitor_->setProfileSelection([this](const std::string& prefix) {
        ctx_.profiles.LoadProfile(prefix, ctx_.workspace, ctx_.prompter);
    });
    monitor_->setDisconnectHook([this] { PhoneDisconnected(roundTrip_); });
    monitor_->InitPhoneLink();
    if (virtualPhone_)
        virtualPhone_->plug();
}

void PhoneSession::requireConnected()
{
    if (!link_.Connected)
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
