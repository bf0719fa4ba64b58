#pragma once
// The USB link over libusb-1.0: enumeration, open, claim, control and bulk transfers, and
// hotplug events heard on an event thread of the link's own.

#include <atomic>
#include <functional>
#include <thread>

#include "p2k/usb_link.h"

struct libusb_context;

namespace tessaro {

class LibusbLink : public UsbLink {
public:
    LibusbLink();
    // Stops watching and ends libusb; devices opened through the link must be gone by then.
    ~LibusbLink() override;
    LibusbLink(const LibusbLink&) = delete;
    LibusbLink& operator=(const LibusbLink&) = delete;

    // libusb_init; false with the reason when libusb cannot be used.
    bool start(std::string* error) override;
    // The devices of `vendorId` now; the key is "bus-address".
    std::vector<UsbDeviceInfo> devices(uint16_t vendorId) override;
    // Opens the device of `device.key`: Gone when it left, Denied without permission.
    std::unique_ptr<UsbDevice> open(const UsbDeviceInfo& device, UsbStatus* status) override;
    // libusb hotplug when the platform has it (else false); `changed` runs on the link's
    // event thread.
    bool watch(uint16_t vendorId, std::function<void()> changed) override;
    void unwatch() override;

private:
    void eventLoop();

    libusb_context* context_ = nullptr;
    int hotplugHandle_ = 0;
    bool watching_ = false;
    std::function<void()> changed_;
    std::thread eventThread_;
    std::atomic<bool> stop_{false};
    // Set by the hotplug callback, which may run on any thread that handles libusb events
    // (a synchronous transfer does too); `changed` is called only from the event thread.
    std::atomic<bool> pending_{false};
};

} // namespace tessaro
