#pragma once
// The USB link under the P2K phone backend: the few things the backend needs of a USB stack
// (list the phones, open one, claim an interface, control and bulk transfers, hear about
// devices coming and going). LibusbLink implements it over libusb-1.0; tests put a simulated
// phone behind it.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tessaro {

inline constexpr uint16_t kMotorolaVendorId = 0x22B8;

// The transfer type of an endpoint (bits 0-1 of its bmAttributes).
enum class UsbEndpointType { Control, Isochronous, Bulk, Interrupt };

struct UsbEndpointInfo {
    uint8_t address = 0;   // bit 7 set: IN
    UsbEndpointType type = UsbEndpointType::Bulk;

    bool isIn() const { return address & 0x80; }
};

// One interface of the device's active configuration.
struct UsbInterfaceInfo {
    int number = 0;
    int interfaceClass = 0;
    std::string name;                 // its iInterface string; empty when it has none
    bool nameUnreadable = false;      // it has a string, which could not be read
    std::vector<UsbEndpointInfo> endpoints;

    // The address of its first bulk endpoint of that direction; 0 when it has none.
    uint8_t bulkEndpoint(bool in) const
    {
        for (const auto& e : endpoints)
            if (e.type == UsbEndpointType::Bulk && e.isIn() == in)
                return e.address;
        return 0;
    }
};

// A device on the bus, as enumeration found it.
struct UsbDeviceInfo {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    int bus = 0;
    int address = 0;
    // Identifies the device to UsbLink::open; unique while the device stays plugged in.
    std::string key;
};

// How a transfer ended.
enum class UsbStatus {
    Ok,
    Timeout,      // nothing came within the time allowed
    Stall,        // the device refused the request
    Gone,         // the device left the bus
    Denied,       // no permission to open or use the device
    Busy,         // the interface is held by another program or driver
    Error,        // any other failure
};

struct UsbResult {
    UsbStatus status = UsbStatus::Error;
    int transferred = 0;   // bytes moved (IN: received into the buffer)
    bool ok() const { return status == UsbStatus::Ok; }
};

// The setup packet of a control transfer.
struct UsbSetup {
    uint8_t requestType = 0;
    uint8_t request = 0;
    uint16_t value = 0;
    uint16_t index = 0;
};

// An open device. Calls are made from one thread at a time.
class UsbDevice {
public:
    virtual ~UsbDevice() = default;

    virtual const UsbDeviceInfo& info() const = 0;
    // The interfaces of the active configuration with their strings; empty when the
    // configuration cannot be read.
    virtual std::vector<UsbInterfaceInfo> interfaces() = 0;
    // Detaches a kernel driver bound to the interface (none bound is not a failure), then
    // claims it.
    virtual UsbStatus claim(int interfaceNumber) = 0;
    virtual void release(int interfaceNumber) = 0;
    // A control transfer on endpoint 0. `data` is the data stage: sent for an OUT request,
    // filled for an IN request (bit 7 of requestType), whose wLength is data.size().
    virtual UsbResult control(const UsbSetup& setup, std::span<uint8_t> data, int timeoutMs) = 0;
    // A bulk transfer on `endpoint` (bit 7 set: IN, filling `data`; else OUT, sending it).
    virtual UsbResult bulk(uint8_t endpoint, std::span<uint8_t> data, int timeoutMs) = 0;
};

class UsbLink {
public:
    virtual ~UsbLink() = default;

    // Starts the USB stack; false with `error` set when it cannot be used at all.
    virtual bool start(std::string* error) = 0;
    // The devices of vendor `vendorId` on the bus now.
    virtual std::vector<UsbDeviceInfo> devices(uint16_t vendorId) = 0;
    // Opens a listed device; null with `status` set (Denied, Gone, Error) when it cannot.
    virtual std::unique_ptr<UsbDevice> open(const UsbDeviceInfo& device, UsbStatus* status) = 0;
    // Asks to hear when a device of `vendorId` arrives or leaves. `changed` is called on a
    // thread of the link's own. False when the link cannot tell (the caller enumerates
    // again now and then instead).
    virtual bool watch(uint16_t vendorId, std::function<void()> changed) = 0;
    // Stops watching; no call of `changed` is running or made once this returns.
    virtual void unwatch() = 0;
};

} // namespace tessaro
