#pragma once
// A USB link hosting simulated phones in the test process: devices are plugged and pulled out
// by the test, a phone in AT mode that asks to switch comes back as a P2K-mode phone shortly
// after, a restarted phone leaves and comes back. A bulk IN read waits for the phone's reply
// as a real one does, up to its timeout. Counts control and bulk transfers for benchmarks.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "p2k/usb_link.h"
#include "usbsim/simulated_p2k_phone.h"

namespace tessaro::testing {

class SimulatedUsbLink : public UsbLink {
public:
    struct Options {
        // Whether watch() reports devices coming and going (else the host enumerates again).
        bool watchSupported = true;
        // How long a phone stays off the bus after a mode switch or a restart.
        std::chrono::milliseconds returnDelay{20};
    };

    SimulatedUsbLink();
    explicit SimulatedUsbLink(Options options);
    ~SimulatedUsbLink() override;

    // Puts a phone on the bus with a new address; `announce` false: watch() does not hear of it.
    void plug(std::shared_ptr<SimulatedP2kPhone> phone, bool announce = true);
    // Pulls every phone out: their open devices answer Gone from now on.
    void unplug();
    // The phone on the bus first; null when there is none.
    std::shared_ptr<SimulatedP2kPhone> phone() const;

    // start() fails with `error` (empty: starts again).
    void failStart(std::string error);
    // open() answers `status` (Denied, Busy...) instead of opening; Ok opens again.
    void setOpenStatus(UsbStatus status);
    // claim() answers `status` instead of claiming; Ok claims again.
    void setClaimStatus(UsbStatus status);
    // Calls of open() so far.
    int opens() const;
    // Control and bulk transfers made through this link so far.
    long controlTransfers() const { return controlTransfers_; }
    long bulkTransfers() const { return bulkTransfers_; }

    bool start(std::string* error) override;
    std::vector<UsbDeviceInfo> devices(uint16_t vendorId) override;
    std::unique_ptr<UsbDevice> open(const UsbDeviceInfo& device, UsbStatus* status) override;
    bool watch(uint16_t vendorId, std::function<void()> changed) override;
    void unwatch() override;

private:
    class Device;
    struct Slot {
        std::shared_ptr<SimulatedP2kPhone> phone;
        UsbDeviceInfo info;
    };

    // After a transfer: a phone that asked to switch modes or restarted leaves the bus and a
    // P2K-mode phone over the same storage returns after returnDelay.
    void afterTransfer(const std::shared_ptr<SimulatedP2kPhone>& phone);
    void countControl() { ++controlTransfers_; }
    void countBulk() { ++bulkTransfers_; }
    // Runs `action` on the link's thread at `when`.
    void schedule(std::chrono::steady_clock::time_point when, std::function<void()> action);
    void notifyLocked();
    void run();

    const Options options_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::vector<Slot> slots_;
    int nextAddress_ = 2;
    std::string startError_;
    UsbStatus openStatus_ = UsbStatus::Ok;
    UsbStatus claimStatus_ = UsbStatus::Ok;
    int opens_ = 0;
    std::function<void()> changed_;
    bool running_ = false;   // an action or `changed_` is running on the link's thread
    bool stopping_ = false;
    std::vector<std::pair<std::chrono::steady_clock::time_point, std::function<void()>>> actions_;
    std::atomic<long> controlTransfers_{0};
    std::atomic<long> bulkTransfers_{0};
    std::thread thread_;
};

} // namespace tessaro::testing
