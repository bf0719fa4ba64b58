#include "p2k/libusb_link.h"

#include <libusb.h>

#include <algorithm>
#include <limits>
#include <set>

#include "p2k/usb_phone.h"

namespace tessaro {

namespace {

// String descriptors are read with libusb's own bounded timeout; a buffer this size holds
// any descriptor (255 bytes of UTF-16 at most).
constexpr int kStringCapacity = 256;
// How long one round of event handling may block, so that unwatch() is heard soon.
constexpr int kEventRoundMs = 100;

std::string deviceKey(int bus, int address)
{
    return std::to_string(bus) + "-" + std::to_string(address);
}

UsbStatus openStatus(int rc)
{
    switch (rc) {
    case LIBUSB_ERROR_ACCESS: return UsbStatus::Denied;
    case LIBUSB_ERROR_NO_DEVICE: return UsbStatus::Gone;
    case LIBUSB_ERROR_BUSY: return UsbStatus::Busy;
    default: return UsbStatus::Error;
    }
}

class LibusbDevice : public UsbDevice {
public:
    LibusbDevice(libusb_context* context, libusb_device_handle* handle, UsbDeviceInfo info)
        : context_(context), handle_(handle), info_(std::move(info))
    {
    }

    ~LibusbDevice() override
    {
        for (const int number : claimed_)
            libusb_release_interface(handle_, number);
        libusb_close(handle_);
    }

    const UsbDeviceInfo& info() const override { return info_; }

    std::vector<UsbInterfaceInfo> interfaces() override
    {
        std::vector<UsbInterfaceInfo> out;
        libusb_config_descriptor* config = nullptr;
        if (libusb_get_active_config_descriptor(libusb_get_device(handle_), &config) != 0)
            return out;
        for (int i = 0; i < config->bNumInterfaces; ++i) {
            const libusb_interface& interface = config->interface[i];
            if (interface.num_altsetting < 1)
                continue;
            // The phone's interfaces have one setting; the first is the one in use.
            const libusb_interface_descriptor& setting = interface.altsetting[0];
            UsbInterfaceInfo info;
            info.number = setting.bInterfaceNumber;
            info.interfaceClass = setting.bInterfaceClass;
            for (int e = 0; e < setting.bNumEndpoints; ++e)
                info.endpoints.push_back({setting.endpoint[e].bEndpointAddress,
                                          UsbEndpointType(setting.endpoint[e].bmAttributes & 0x03)});
            if (setting.iInterface != 0) {
                unsigned char text[kStringCapacity] = {};
                const int n = libusb_get_string_descriptor_ascii(handle_, setting.iInterface, text,
                                                                 sizeof text);
                if (n > 0)
                    info.name.assign(reinterpret_cast<const char*>(text), size_t(n));
                info.nameUnreadable = n < 0;
            }
            out.push_back(std::move(info));
        }
        libusb_free_config_descriptor(config);
        return out;
    }

    UsbStatus claim(int interfaceNumber) override
    {
        // A bound driver (cdc_acm on an AT-mode phone's interfaces) must let go first; none
        // bound is the usual case for the Test Command interface.
        const int detached = libusb_detach_kernel_driver(handle_, interfaceNumber);
        if (detached != 0 && detached != LIBUSB_ERROR_NOT_FOUND && detached != LIBUSB_ERROR_NOT_SUPPORTED)
            return transferStatus(detached);
        const int rc = libusb_claim_interface(handle_, interfaceNumber);
        if (rc != 0)
            return transferStatus(rc);
        claimed_.insert(interfaceNumber);
        return UsbStatus::Ok;
    }

    void release(int interfaceNumber) override
    {
        if (claimed_.erase(interfaceNumber))
            libusb_release_interface(handle_, interfaceNumber);
    }

    UsbResult control(const UsbSetup& setup, std::span<uint8_t> data, int timeoutMs) override
    {
        if (data.size() > 0xFFFF)
            return {UsbStatus::Error, 0};
        const int rc = libusb_control_transfer(handle_, setup.requestType, setup.request, setup.value,
                                               setup.index, data.data(), uint16_t(data.size()),
                                               unsigned(std::max(timeoutMs, 1)));
        if (rc >= 0)
            return {UsbStatus::Ok, rc};
        return {transferStatus(rc), 0};
    }

    UsbResult bulk(uint8_t endpoint, std::span<uint8_t> data, int timeoutMs) override
    {
        if (data.size() > size_t(std::numeric_limits<int>::max()))
            return {UsbStatus::Error, 0};
        int transferred = 0;
        const int rc = libusb_bulk_transfer(handle_, endpoint, data.data(), int(data.size()), &transferred,
                                            unsigned(std::max(timeoutMs, 1)));
        if (rc == 0)
            return {UsbStatus::Ok, transferred};
        return {transferStatus(rc), transferred};
    }

private:
    UsbStatus transferStatus(int rc)
    {
        switch (rc) {
        case LIBUSB_ERROR_TIMEOUT: return UsbStatus::Timeout;
        case LIBUSB_ERROR_PIPE: return UsbStatus::Stall;
        case LIBUSB_ERROR_NO_DEVICE: return UsbStatus::Gone;
        case LIBUSB_ERROR_ACCESS: return UsbStatus::Denied;
        case LIBUSB_ERROR_BUSY: return UsbStatus::Busy;
        // A device pulled out in the middle of a transfer often ends it with an I/O error
        // before the removal is known; it counts as gone when the device is no longer listed.
        case LIBUSB_ERROR_IO: return stillListed() ? UsbStatus::Error : UsbStatus::Gone;
        default: return UsbStatus::Error;
        }
    }

    bool stillListed()
    {
        libusb_device** list = nullptr;
        const ssize_t n = libusb_get_device_list(context_, &list);
        bool found = false;
        for (ssize_t i = 0; i < n && !found; ++i)
            found = list[i] == libusb_get_device(handle_);
        if (n >= 0)
            libusb_free_device_list(list, 1);
        return found;
    }

    libusb_context* context_;
    libusb_device_handle* handle_;
    UsbDeviceInfo info_;
    std::set<int> claimed_;
};

int LIBUSB_CALL onHotplug(libusb_context*, libusb_device*, libusb_hotplug_event, void* user)
{
    static_cast<std::atomic<bool>*>(user)->store(true);
    return 0; // stay registered
}

} // namespace

LibusbLink::LibusbLink() = default;

LibusbLink::~LibusbLink()
{
    unwatch();
    if (context_)
        libusb_exit(context_);
}

bool LibusbLink::start(std::string* error)
{
    if (context_)
        return true;
    const int rc = libusb_init(&context_);
    if (rc != 0) {
        context_ = nullptr;
        if (error)
            *error = std::string("USB cannot be used: ") + libusb_strerror(rc);
        return false;
    }
    return true;
}

std::vector<UsbDeviceInfo> LibusbLink::devices(uint16_t vendorId)
{
    std::vector<UsbDeviceInfo> out;
    if (!context_)
        return out;
    libusb_device** list = nullptr;
    const ssize_t n = libusb_get_device_list(context_, &list);
    for (ssize_t i = 0; i < n; ++i) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(list[i], &descriptor) != 0 || descriptor.idVendor != vendorId)
            continue;
        UsbDeviceInfo info;
        info.vendorId = descriptor.idVendor;
        info.productId = descriptor.idProduct;
        info.bus = libusb_get_bus_number(list[i]);
        info.address = libusb_get_device_address(list[i]);
        info.key = deviceKey(info.bus, info.address);
        out.push_back(std::move(info));
    }
    if (n >= 0)
        libusb_free_device_list(list, 1);
    return out;
}

std::unique_ptr<UsbDevice> LibusbLink::open(const UsbDeviceInfo& device, UsbStatus* status)
{
    auto fail = [&](UsbStatus s) -> std::unique_ptr<UsbDevice> {
        if (status)
            *status = s;
        return nullptr;
    };
    if (!context_)
        return fail(UsbStatus::Error);
    libusb_device** list = nullptr;
    const ssize_t n = libusb_get_device_list(context_, &list);
    if (n < 0)
        return fail(UsbStatus::Error);
    libusb_device* found = nullptr;
    for (ssize_t i = 0; i < n && !found; ++i)
        if (deviceKey(libusb_get_bus_number(list[i]), libusb_get_device_address(list[i])) == device.key)
            found = list[i];
    libusb_device_handle* handle = nullptr;
    const int rc = found ? libusb_open(found, &handle) : LIBUSB_ERROR_NO_DEVICE;
    libusb_free_device_list(list, 1);
    if (rc != 0)
        return fail(openStatus(rc));
    if (status)
        *status = UsbStatus::Ok;
    return std::make_unique<LibusbDevice>(context_, handle, device);
}

bool LibusbLink::watch(uint16_t vendorId, std::function<void()> changed)
{
    if (!context_ || !libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG))
        return false;
    unwatch();
    const int rc = libusb_hotplug_register_callback(
        context_, libusb_hotplug_event(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
        libusb_hotplug_flag(0), vendorId, LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY, onHotplug,
        &pending_, &hotplugHandle_);
    if (rc != LIBUSB_SUCCESS)
        return false;
    changed_ = std::move(changed);
    stop_ = false;
    pending_ = false;
    watching_ = true;
    eventThread_ = std::thread([this] { eventLoop(); });
    return true;
}

void LibusbLink::unwatch()
{
    if (!watching_)
        return;
    stop_ = true;
    libusb_interrupt_event_handler(context_);
    eventThread_.join();
    libusb_hotplug_deregister_callback(context_, hotplugHandle_);
    watching_ = false;
    changed_ = nullptr;
}

void LibusbLink::eventLoop()
{
    while (!stop_) {
        timeval wait{0, kEventRoundMs * 1000};
        libusb_handle_events_timeout_completed(context_, &wait, nullptr);
        if (pending_.exchange(false) && !stop_)
            changed_();
    }
}

std::unique_ptr<UsbPhone> makeUsbPhone()
{
    return std::make_unique<UsbPhone>(std::make_unique<LibusbLink>());
}

} // namespace tessaro
