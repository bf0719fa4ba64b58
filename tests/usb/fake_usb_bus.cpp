#include "usb/fake_usb_bus.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "core/bytes.h"

namespace tessaro::testing {

namespace {

using Clock = std::chrono::steady_clock;

// A phone leaves this long after it asked to (so that its last answer is reaped first) and a
// phone in the new mode arrives this long after that.
constexpr auto kLeaveDelay = std::chrono::milliseconds(100);
constexpr auto kComeBackDelay = std::chrono::milliseconds(1000);

// A root hub: device descriptor, then a configuration with the hub interface and its
// interrupt endpoint.
const std::vector<uint8_t> kRootHubDescriptors = {
    0x12, 0x01, 0x00, 0x02, 0x09, 0x00, 0x00, 0x40, 0x6B, 0x1D, 0x02, 0x00, 0x06, 0x06, 0x03, 0x02, 0x01, 0x01,
    0x09, 0x02, 0x19, 0x00, 0x01, 0x01, 0x00, 0xE0, 0x00,
    0x09, 0x04, 0x00, 0x00, 0x01, 0x09, 0x00, 0x00, 0x00,
    0x07, 0x05, 0x81, 0x03, 0x04, 0x00, 0x0C};

std::string hex(const std::vector<uint8_t>& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (const uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::string threeDigits(int n)
{
    std::string s = std::to_string(n);
    return std::string(3 - std::min<size_t>(3, s.size()), '0') + s;
}

// The fake sysfs record of a device on bus 1, in umockdev's text format (attribute values
// end in a literal backslash-n, as sysfs files end in a newline).
std::string deviceRecord(const std::string& devpath, int devnum, uint16_t vendor, uint16_t product,
                         const std::vector<uint8_t>& descriptors)
{
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x/%04x", vendor, product);
    const std::string node = "bus/usb/001/" + threeDigits(devnum);
    return "P: " + devpath + "\nN: " + node + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DEVNAME=/dev/" + node
           + "\nE: BUSNUM=001\nE: DEVNUM=" + threeDigits(devnum) + "\nE: PRODUCT=" + ids
           + "/0\nA: busnum=1\\n\nA: devnum=" + std::to_string(devnum)
           + "\\n\nA: speed=12\\n\nA: bConfigurationValue=1\\n\nH: descriptors=" + hex(descriptors) + "\n";
}

void unref(UMockdevIoctlData* data)
{
    if (data)
        g_object_unref(data);
}

} // namespace

// One URB a client submitted, kept until the client reaps it.
struct Urb {
    UMockdevIoctlData* urb = nullptr;      // the client's struct usbdevfs_urb
    UMockdevIoctlData* buffer = nullptr;   // its buffer
    unsigned long clientAddress = 0;
    bool ready = false;
    int status = 0;
    int actualLength = 0;
    std::vector<uint8_t> in;               // bytes for the client's buffer
    size_t inOffset = 0;                   // 8 for a control transfer: after the setup packet
    // A bulk IN read the phone had nothing for yet: asked again whenever the client reaps.
    bool askAgain = false;
    uint8_t endpoint = 0;
    int length = 0;
};

struct Device {
    int devnum = 0;
    std::string syspath;
    std::string devnode;
    std::shared_ptr<SimulatedP2kPhone> phone;
    VirtualPhone* storage = nullptr;
    SimulatedPhoneOptions options;
    bool gone = false;       // no longer answers; pending transfers ended
    bool leaving = false;    // its leave is scheduled
    // Interfaces with a kernel driver bound (cdc_acm on an AT-mode phone).
    std::vector<int> drivers;
    std::map<UMockdevIoctlClient*, std::deque<Urb>> urbs;
};

struct FakeUsbBus::State : std::enable_shared_from_this<FakeUsbBus::State> {
    UMockdevTestbed* testbed = nullptr;
    std::mutex testbedMutex;   // the testbed is changed from the test and the bus threads

    mutable std::mutex mutex;
    std::vector<std::shared_ptr<Device>> devices;   // every device ever plugged, in order
    int nextDevnum = 2;
    int plugs = 0;
    int urbs = 0;
    int unplugCountdown = 0;
    bool hold = false;
    std::vector<std::string> detached;

    // Jobs of the bus's own thread: leaving phones, phones coming back, unplugs.
    std::thread thread;
    std::condition_variable jobsChanged;
    std::multimap<Clock::time_point, std::function<void()>> jobs;
    bool stopping = false;

    void schedule(Clock::duration delay, std::function<void()> job)
    {
        {
            std::lock_guard lock(mutex);
            jobs.emplace(Clock::now() + delay, std::move(job));
        }
        jobsChanged.notify_all();
    }

    void runJobs()
    {
        std::unique_lock lock(mutex);
        while (!stopping) {
            if (jobs.empty()) {
                jobsChanged.wait(lock);
                continue;
            }
            const auto next = jobs.begin();
            // A copy: the job may be dropped (and its key with it) while this thread waits.
            const Clock::time_point due = next->first;
            if (Clock::now() < due) {
                jobsChanged.wait_until(lock, due);
                continue;
            }
            auto job = std::move(next->second);
            jobs.erase(next);
            lock.unlock();
            job();
            lock.lock();
        }
    }

    std::shared_ptr<SimulatedP2kPhone> plug(VirtualPhone& storage, SimulatedPhoneOptions options);
    void unplug(const std::shared_ptr<Device>& device);
    // The phone asked to leave (mode switch, restart): it goes, a P2K-mode phone comes back.
    void leaveAndComeBack(const std::shared_ptr<Device>& device);
    // Ends the device's pending transfers with -ENODEV. Called with `mutex` held.
    void endTransfers(Device& device);

    std::shared_ptr<Device> find(int devnum) const
    {
        for (const auto& d : devices)
            if (d->devnum == devnum)
                return d;
        return nullptr;
    }

    // What the umockdev signal handlers hold: the bus state (alive while a handler may run)
    // and the device they serve.
    struct HandlerContext {
        std::shared_ptr<State> state;
        std::shared_ptr<Device> device;
    };

    void handle(Device& device, UMockdevIoctlClient* client);
    void submit(Device& device, UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void reap(Device& device, UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void discard(Device& device, UMockdevIoctlClient* client, UMockdevIoctlData* arg);
};

std::shared_ptr<SimulatedP2kPhone> FakeUsbBus::State::plug(VirtualPhone& storage, SimulatedPhoneOptions options)
{
    auto device = std::make_shared<Device>();
    device->phone = std::make_shared<SimulatedP2kPhone>(storage, options);
    device->storage = &storage;
    device->options = options;
    if (options.atMode)
        device->drivers = {0, 1};
    {
        std::lock_guard lock(mutex);
        device->devnum = nextDevnum++;
        device->syspath = "/sys/devices/usb1/1-" + std::to_string(device->devnum - 1);
        device->devnode = "/dev/bus/usb/001/" + threeDigits(device->devnum);
        devices.push_back(device);
        plugs++;
    }

    std::lock_guard lock(testbedMutex);
    // The handler is in place before the 'add' uevent, so a client reacting to it at once
    // reaches it.
    UMockdevIoctlBase* handler = umockdev_ioctl_base_new();
    auto* context = new HandlerContext{shared_from_this(), device};
    g_signal_connect_data(
        handler, "handle-ioctl",
        G_CALLBACK(+[](UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) -> gboolean {
            auto* c = static_cast<HandlerContext*>(data);
            c->state->handle(*c->device, client);
            return TRUE;
        }),
        context, [](gpointer data, GClosure*) { delete static_cast<HandlerContext*>(data); }, GConnectFlags(0));
    g_signal_connect(handler, "client-vanished",
                     G_CALLBACK(+[](UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
                         auto* c = static_cast<HandlerContext*>(data);
                         std::lock_guard lock(c->state->mutex);
                         auto found = c->device->urbs.find(client);
                         if (found == c->device->urbs.end())
                             return;
                         for (auto& urb : found->second) {
                             unref(urb.urb);
                             unref(urb.buffer);
                         }
                         c->device->urbs.erase(found);
                     }),
                     context);
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(testbed, device->devnode.c_str(), handler, &error))
        throw std::runtime_error(std::string("cannot attach the ioctl handler: ") + error->message);
    g_object_unref(handler);   // the testbed holds it

    const std::string record = deviceRecord(device->syspath.substr(4), device->devnum, device->phone->vendorId(),
                                            device->phone->productId(), device->phone->descriptors());
    if (!umockdev_testbed_add_from_string(testbed, record.c_str(), &error))
        throw std::runtime_error(std::string("cannot add the phone to the bus: ") + error->message);
    return device->phone;
}

void FakeUsbBus::State::endTransfers(Device& device)
{
    device.gone = true;
    for (auto& [client, queue] : device.urbs)
        for (auto& urb : queue)
            if (!urb.ready) {
                urb.ready = true;
                urb.status = -ENODEV;
                urb.actualLength = 0;
                urb.in.clear();
            }
}

void FakeUsbBus::State::unplug(const std::shared_ptr<Device>& device)
{
    std::string syspath;
    {
        std::lock_guard lock(mutex);
        endTransfers(*device);
        syspath.swap(device->syspath);
    }
    device->phone->pullOut();
    if (syspath.empty())
        return;   // already off the bus
    std::lock_guard lock(testbedMutex);
    // The 'remove' uevent carries the device's properties, read from its sysfs folder: it
    // goes before the folder does.
    umockdev_testbed_uevent(testbed, syspath.c_str(), "remove");
    umockdev_testbed_remove_device(testbed, syspath.c_str());
}

void FakeUsbBus::State::leaveAndComeBack(const std::shared_ptr<Device>& device)
{
    {
        std::lock_guard lock(mutex);
        if (device->leaving)
            return;
        device->leaving = true;
    }
    std::weak_ptr<State> weak = weak_from_this();
    schedule(kLeaveDelay, [weak, device] {
        if (auto state = weak.lock())
            state->unplug(device);
    });
    schedule(kLeaveDelay + kComeBackDelay, [weak, device] {
        if (auto state = weak.lock()) {
            SimulatedPhoneOptions options = device->options;
            options.atMode = false;
            state->plug(*device->storage, options);
        }
    });
}

void FakeUsbBus::State::handle(Device& device, UMockdevIoctlClient* client)
{
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    GError* error = nullptr;
    auto complete = [&](long result, int err) { umockdev_ioctl_client_complete(client, result, err); };

    switch (request) {
    case USBDEVFS_SUBMITURB: submit(device, client, arg); return;
    case USBDEVFS_REAPURBNDELAY:
    case USBDEVFS_REAPURB: reap(device, client, arg); return;
    case USBDEVFS_DISCARDURB: discard(device, client, arg); return;
    default: break;
    }

    bool gone;
    {
        std::lock_guard lock(mutex);
        gone = device.gone;
    }
    if (gone) {
        complete(-1, ENODEV);
        return;
    }
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        // One URB a transfer, whatever its length.
        UMockdevIoctlData* caps = umockdev_ioctl_data_resolve(arg, 0, sizeof(uint32_t), &error);
        if (!caps) {
            complete(-1, EFAULT);
            return;
        }
        const uint32_t value = USBDEVFS_CAP_NO_PACKET_SIZE_LIM;
        std::memcpy(caps->data, &value, sizeof value);
        unref(caps);
        complete(0, 0);
        return;
    }
    case USBDEVFS_GETDRIVER: {
        UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_getdriver), &error);
        if (!data) {
            complete(-1, EFAULT);
            return;
        }
        auto* query = reinterpret_cast<usbdevfs_getdriver*>(data->data);
        bool bound;
        {
            std::lock_guard lock(mutex);
            bound = std::find(device.drivers.begin(), device.drivers.end(), int(query->interface))
                    != device.drivers.end();
        }
        if (bound)
            std::strcpy(query->driver, "cdc_acm");
        unref(data);
        complete(bound ? 0 : -1, bound ? 0 : ENODATA);
        return;
    }
    case USBDEVFS_IOCTL: {
        UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_ioctl), &error);
        if (!data) {
            complete(-1, EFAULT);
            return;
        }
        const auto* call = reinterpret_cast<const usbdevfs_ioctl*>(data->data);
        bool unbound = false;
        if (call->ioctl_code == int(USBDEVFS_DISCONNECT)) {
            std::lock_guard lock(mutex);
            auto found = std::find(device.drivers.begin(), device.drivers.end(), call->ifno);
            if (found != device.drivers.end()) {
                device.drivers.erase(found);
                detached.push_back(std::to_string(device.devnum) + ":" + std::to_string(call->ifno));
                unbound = true;
            }
        }
        unref(data);
        complete(unbound ? 0 : -1, unbound ? 0 : ENODATA);
        return;
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE:
    case USBDEVFS_SETINTERFACE:
    case USBDEVFS_SETCONFIGURATION:
    case USBDEVFS_CLEAR_HALT:
    case USBDEVFS_RESET:
    case USBDEVFS_RESETEP:
        complete(0, 0);
        return;
    default:
        complete(-1, ENOTTY);
        return;
    }
}

void FakeUsbBus::State::submit(Device& device, UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    GError* error = nullptr;
    UMockdevIoctlData* urbData = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), &error);
    if (!urbData) {
        umockdev_ioctl_client_complete(client, -1, EFAULT);
        return;
    }
    const auto* urb = reinterpret_cast<const usbdevfs_urb*>(urbData->data);
    const int type = urb->type;
    const uint8_t endpoint = urb->endpoint;
    const int length = urb->buffer_length;
    UMockdevIoctlData* buffer =
        length > 0 ? umockdev_ioctl_data_resolve(urbData, offsetof(usbdevfs_urb, buffer), size_t(length), &error)
                   : nullptr;
    const std::span<const uint8_t> bytes =
        buffer ? std::span<const uint8_t>(buffer->data, size_t(buffer->data_len)) : std::span<const uint8_t>();

    std::shared_ptr<SimulatedP2kPhone> phone;
    std::shared_ptr<Device> pullOut;
    bool holdThis = false;
    {
        std::lock_guard lock(mutex);
        if (device.gone) {
            unref(buffer);
            unref(urbData);
            umockdev_ioctl_client_complete(client, -1, ENODEV);
            return;
        }
        urbs++;
        phone = device.phone;
        holdThis = hold;
        if (unplugCountdown > 0 && --unplugCountdown == 0) {
            // Pulled out while this transfer is on its way: it never gets an answer but the
            // end that the unplug brings.
            holdThis = true;
            pullOut = find(device.devnum);
        }
    }
    if (pullOut) {
        std::weak_ptr<State> weak = weak_from_this();
        schedule(Clock::duration::zero(), [weak, pullOut] {
            if (auto state = weak.lock())
                state->unplug(pullOut);
        });
    }

    Urb record{urbData, buffer, urbData->client_addr};
    SimulatedP2kPhone::Answer answer;
    answer.status = UsbStatus::Timeout;
    if (type == USBDEVFS_URB_TYPE_CONTROL && bytes.size() >= 8) {
        const UsbSetup setup{bytes[0], bytes[1], readLE16(bytes.data() + 2), readLE16(bytes.data() + 4)};
        const uint16_t wLength = readLE16(bytes.data() + 6);
        const bool in = setup.requestType & 0x80;
        const auto out = in ? std::span<const uint8_t>() : bytes.subspan(8, std::min<size_t>(wLength, bytes.size() - 8));
        if (!holdThis)
            answer = phone->control(setup, out, wLength);
        record.inOffset = 8;
        if (in && answer.data.size() > std::min<size_t>(wLength, bytes.size() - 8))
            answer.data.resize(std::min<size_t>(wLength, bytes.size() - 8));
    } else if (type == USBDEVFS_URB_TYPE_BULK) {
        const bool in = endpoint & 0x80;
        if (!holdThis)
            answer = phone->bulk(endpoint, in ? std::span<const uint8_t>() : bytes, in ? length : 0);
        if (in && answer.data.size() > size_t(std::max(length, 0)))
            answer.data.resize(size_t(length));
        record.askAgain = in && !holdThis && answer.status == UsbStatus::Timeout;
        record.endpoint = endpoint;
        record.length = length;
    } else {
        unref(buffer);
        unref(urbData);
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return;
    }

    bool leave = false;
    {
        std::lock_guard lock(mutex);
        switch (answer.status) {
        case UsbStatus::Ok:
            record.ready = true;
            record.in = answer.data;
            record.actualLength = answer.data.empty() ? answer.transferred : int(answer.data.size());
            break;
        case UsbStatus::Timeout:   // no answer: pending until discarded or unplugged
            break;
        case UsbStatus::Stall:
            record.ready = true;
            record.status = -EPIPE;
            break;
        case UsbStatus::Gone:
            record.ready = true;
            record.status = -ENODEV;
            break;
        default:
            record.ready = true;
            record.status = -EPROTO;
            break;
        }
        if (device.gone) {   // unplugged while the simulator answered
            record.ready = true;
            record.status = -ENODEV;
            record.in.clear();
        }
        device.urbs[client].push_back(std::move(record));
        leave = answer.status == UsbStatus::Gone || phone->gone() || phone->wantsModeSwitch() || phone->restarted();
        if (answer.status == UsbStatus::Gone || phone->gone())
            endTransfers(device);
    }
    umockdev_ioctl_client_complete(client, 0, 0);

    if (leave) {
        std::shared_ptr<Device> self;
        {
            std::lock_guard lock(mutex);
            self = find(device.devnum);
        }
        if (phone->wantsModeSwitch() || phone->restarted())
            leaveAndComeBack(self);
        else {
            std::weak_ptr<State> weak = weak_from_this();
            schedule(Clock::duration::zero(), [weak, self] {
                if (auto state = weak.lock())
                    state->unplug(self);
            });
        }
    }
}

void FakeUsbBus::State::reap(Device& device, UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    Urb urb;
    bool nothing;
    bool gone;
    {
        std::lock_guard lock(mutex);
        auto& queue = device.urbs[client];
        // A bulk read ends as soon as the phone has its reply.
        for (auto& pending : queue) {
            if (pending.ready || !pending.askAgain || device.gone)
                continue;
            auto answer = device.phone->bulk(pending.endpoint, {}, pending.length);
            if (answer.status == UsbStatus::Timeout)
                continue;
            pending.ready = true;
            pending.askAgain = false;
            pending.status = answer.status == UsbStatus::Ok ? 0 : answer.status == UsbStatus::Stall ? -EPIPE : -ENODEV;
            answer.data.resize(std::min(answer.data.size(), size_t(std::max(pending.length, 0))));
            pending.actualLength = int(answer.data.size());
            pending.in = std::move(answer.data);
        }
        auto found = std::find_if(queue.begin(), queue.end(), [](const Urb& u) { return u.ready; });
        if (found != queue.end()) {
            urb = std::move(*found);
            queue.erase(found);
        }
        nothing = !urb.urb;
        gone = device.gone;
    }
    if (nothing) {
        // Nothing finished; a device that left has nothing more to give.
        umockdev_ioctl_client_complete(client, -1, gone ? ENODEV : EAGAIN);
        return;
    }
    auto* fields = reinterpret_cast<usbdevfs_urb*>(urb.urb->data);
    fields->status = urb.status;
    fields->actual_length = urb.actualLength;
    if (urb.buffer && !urb.in.empty() && urb.inOffset + urb.in.size() <= size_t(urb.buffer->data_len))
        std::memcpy(urb.buffer->data + urb.inOffset, urb.in.data(), urb.in.size());
    // The client's pointer is set to its own URB; completing copies the changed URB and
    // buffer back into the client's memory.
    GError* error = nullptr;
    UMockdevIoctlData* slot = umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), &error);
    if (!slot) {
        unref(urb.buffer);
        unref(urb.urb);
        umockdev_ioctl_client_complete(client, -1, EFAULT);
        return;
    }
    umockdev_ioctl_data_set_ptr(slot, 0, urb.urb);
    umockdev_ioctl_client_complete(client, 0, 0);
    unref(slot);
    unref(urb.buffer);
    unref(urb.urb);
}

void FakeUsbBus::State::discard(Device& device, UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    unsigned long address = 0;
    std::memcpy(&address, arg->data, std::min(sizeof address, size_t(arg->data_len)));
    bool found = false;
    {
        std::lock_guard lock(mutex);
        for (auto& urb : device.urbs[client])
            if (urb.clientAddress == address && !urb.ready) {
                urb.ready = true;
                urb.status = -ENOENT;
                urb.actualLength = 0;
                urb.in.clear();
                found = true;
                break;
            }
    }
    // Not pending (already finished): the client reaps it as it is.
    umockdev_ioctl_client_complete(client, found ? 0 : -1, found ? 0 : EINVAL);
}

FakeUsbBus::FakeUsbBus() : state_(std::make_shared<State>())
{
    state_->testbed = umockdev_testbed_new();
    if (!umockdev_in_mock_environment())
        throw std::runtime_error("the fake USB bus needs libumockdev-preload (run under umockdev-wrapper)");
    GError* error = nullptr;
    const std::string hub = "P: /devices/usb1\nN: bus/usb/001/001\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n"
                            "E: DEVNAME=/dev/bus/usb/001/001\nE: BUSNUM=001\nE: DEVNUM=001\n"
                            "A: busnum=1\\n\nA: devnum=1\\n\nA: speed=480\\n\nA: bConfigurationValue=1\\n\n"
                            "H: descriptors=" + hex(kRootHubDescriptors) + "\n";
    if (!umockdev_testbed_add_from_string(state_->testbed, hub.c_str(), &error))
        throw std::runtime_error(std::string("cannot add the root hub: ") + error->message);
    state_->thread = std::thread([s = state_.get()] { s->runJobs(); });
}

FakeUsbBus::~FakeUsbBus()
{
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
        state_->jobs.clear();
    }
    state_->jobsChanged.notify_all();
    state_->thread.join();
    std::lock_guard lock(state_->testbedMutex);
    g_object_unref(state_->testbed);
}

std::shared_ptr<SimulatedP2kPhone> FakeUsbBus::plug(VirtualPhone& storage, SimulatedPhoneOptions options)
{
    return state_->plug(storage, options);
}

void FakeUsbBus::unplug(int devnum)
{
    std::shared_ptr<Device> device;
    {
        std::lock_guard lock(state_->mutex);
        device = state_->find(devnum);
    }
    if (device)
        state_->unplug(device);
}

void FakeUsbBus::unplugAfterTransfers(int transfers)
{
    std::lock_guard lock(state_->mutex);
    state_->unplugCountdown = transfers;
}

std::vector<int> FakeUsbBus::devices() const
{
    std::lock_guard lock(state_->mutex);
    std::vector<int> out;
    for (const auto& d : state_->devices)
        if (!d->syspath.empty())
            out.push_back(d->devnum);
    return out;
}

std::shared_ptr<SimulatedP2kPhone> FakeUsbBus::lastPhone() const
{
    std::lock_guard lock(state_->mutex);
    return state_->devices.empty() ? nullptr : state_->devices.back()->phone;
}

int FakeUsbBus::plugCount() const
{
    std::lock_guard lock(state_->mutex);
    return state_->plugs;
}

int FakeUsbBus::urbCount() const
{
    std::lock_guard lock(state_->mutex);
    return state_->urbs;
}

std::vector<std::string> FakeUsbBus::detachedDrivers() const
{
    std::lock_guard lock(state_->mutex);
    return state_->detached;
}

void FakeUsbBus::holdTransfers(bool hold)
{
    std::lock_guard lock(state_->mutex);
    state_->hold = hold;
}

bool FakeUsbBus::waitFor(const std::function<bool()>& done, std::chrono::milliseconds bound)
{
    const auto until = Clock::now() + bound;
    while (!done()) {
        if (Clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace tessaro::testing
