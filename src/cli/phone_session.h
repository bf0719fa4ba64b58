#pragma once
// The command-line tool's phone link, set up once per run by the first phone command: the
// settings, the operation log "p2klog.txt" in the data folder, the phone library (the
// virtual phone of --virtual-phone, plugged in at once so that the connection sequence runs
// with its log lines and profile selection; a real phone on USB with --usb, waited for;
// otherwise the no-phone default), and the round-trip flags.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "cli/cli_progress.h"
#include "workspace/settings.h"
#include "phone/connection_monitor.h"
#include "p2k/operation_log.h"
#include "p2k/p2k_api.h"
#include "phone/phone_context.h"
#include "phone/round_trip.h"

namespace tessaro {
class UsbPhone;
class VirtualPhone;
}

namespace tessaro::cli {

struct CliContext;

class PhoneSession {
public:
    explicit PhoneSession(CliContext& ctx);
    ~PhoneSession();
    PhoneSession(const PhoneSession&) = delete;
    PhoneSession& operator=(const PhoneSession&) = delete;

    // Loads the settings, creates the log, starts the library and plugs the virtual phone in
    // or waits for a USB phone. Ends the command (with its message) when the virtual phone
    // folder cannot be used.
    void start();

    PhoneContext& phone() { return *context_; }
    const Settings& settings() const { return settings_; }
    RoundTripState& roundTrip() { return roundTrip_; }
    bool isConnected() const { return link_.connected; }
    // Ends the command with "No phone connected" unless a phone is connected.
    void requireConnected();
    // The virtual phone, or null when the default backend is in use.
    VirtualPhone* virtualPhone() { return virtualPhone_; }

private:
    // Status calls of a USB phone arrive on the backend's thread; they are queued and run on
    // the command's thread, so the connection sequence never races the command.
    class StatusQueue {
    public:
        void push(std::function<void()> call);
        // Runs queued calls until `done` holds or `deadline` passes.
        void runUntil(const std::function<bool()>& done, std::chrono::steady_clock::time_point deadline);

    private:
        std::mutex mutex_;
        std::condition_variable arrived_;
        std::deque<std::function<void()>> calls_;
    };

    void startUsb();

    CliContext& ctx_;
    Settings settings_;
    PhoneLinkState link_;
    OperationLog log_;
    TerminalProgressFactory progress_;
    PhoneLinkView view_;
    RoundTripState roundTrip_;
    StatusQueue statusQueue_;
    // Destroyed in reverse: the library goes first, so no status call reaches the monitor
    // or the context after them.
    std::unique_ptr<ConnectionMonitor> monitor_;
    std::unique_ptr<PhoneContext> context_;
    std::unique_ptr<P2kApi> api_;
    VirtualPhone* virtualPhone_ = nullptr;
    UsbPhone* usbPhone_ = nullptr;
};

// The phone session of this run, started on first use. Call ctx.prepare() before it: the
// profile selection of the connection works on the item base that prepare() loads.
PhoneSession& phoneSession(CliContext& ctx);

} // namespace tessaro::cli
