#pragma once
// The command-line tool's phone link, started once per run by the first phone command on the
// run's session: the operation log "p2klog.txt" in the data folder, the phone library (the
// virtual phone of --virtual-phone, plugged in at once so that the connection sequence runs
// with its log lines and profile selection; a real phone on USB with --usb, waited for;
// otherwise the no-phone default).

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "phone/connection_monitor.h"

namespace tessaro {
struct PhoneContext;
struct RoundTrip;
struct Settings;
class VirtualPhone;
}

namespace tessaro::cli {

struct CliContext;

class PhoneSession {
public:
    explicit PhoneSession(CliContext& ctx) : ctx_(ctx) {}
    PhoneSession(const PhoneSession&) = delete;
    PhoneSession& operator=(const PhoneSession&) = delete;

    // Creates the log, starts the library and plugs the virtual phone in or waits for a USB
    // phone. Ends the command (with its message) when the library cannot start.
    void start();

    PhoneContext& phone();
    const Settings& settings() const;
    RoundTrip& roundTrip();
    bool isConnected() const;
    // Ends the command with "No phone connected" unless a phone is connected.
    void requireConnected();
    // The virtual phone, or null when another backend is in use.
    VirtualPhone* virtualPhone();

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

    CliContext& ctx_;
    PhoneLinkView view_;
    StatusQueue statusQueue_;
};

// The phone session of this run, started on first use. Call ctx.prepare() before it: the
// profile selection of the connection works on the item base that prepare() loads.
PhoneSession& phoneSession(CliContext& ctx);

} // namespace tessaro::cli
