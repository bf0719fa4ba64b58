#include "usbsim/simulated_usb_link.h"

#include <algorithm>

namespace tessaro::testing {

// An opened simulated phone. Transfers go to the phone as long as it is on the bus.
class SimulatedUsbLink::Device : public UsbDevice {
public:
    Device(SimulatedUsbLink& link, std::shared_ptr<SimulatedP2kPhone> phone, UsbDeviceInfo info)
        : link_(link), phone_(std::move(phone)), info_(std::move(info))
    {
    }

    const UsbDeviceInfo& info() const override { return info_; }
    std::vector<UsbInterfaceInfo> interfaces() override
    {
        auto all = phone_->interfaces();
        if (phone_->refusesStrings())
            for (auto& i : all)
                if (!i.name.empty()) {
                    i.name.clear();
                    i.nameUnreadable = true;
                }
        return all;
    }

    UsbStatus claim(int interfaceNumber) override
    {
        if (phone_->gone())
            return UsbStatus::Gone;
        {
            std::lock_guard lock(link_.mutex_);
            if (link_.claimStatus_ != UsbStatus::Ok)
                return link_.claimStatus_;
        }
        const auto all = phone_->interfaces();
        const bool known = std::any_of(all.begin(), all.end(),
                                       [&](const UsbInterfaceInfo& i) { return i.number == interfaceNumber; });
        return known ? UsbStatus::Ok : UsbStatus::Error;
    }

    void release(int) override {}

    UsbResult control(const UsbSetup& setup, std::span<uint8_t> data, int) override
    {
        link_.countControl();
        const bool in = setup.requestType & 0x80;
        const auto answer = in ? phone_->control(setup, {}, uint16_t(data.size()))
                               : phone_->control(setup, data, 0);
        UsbResult result{answer.status, answer.transferred};
        if (in && answer.status == UsbStatus::Ok) {
            const size_t n = std::min(answer.data.size(), data.size());
            std::copy_n(answer.data.begin(), n, data.begin());
            result.transferred = int(n);
        }
        link_.afterTransfer(phone_);
        return result;
    }

    UsbResult bulk(uint8_t endpoint, std::span<uint8_t> data, int timeoutMs) override
    {
        link_.countBulk();
        const bool in = endpoint & 0x80;
        auto answer = in ? phone_->bulk(endpoint, {}, int(data.size())) : phone_->bulk(endpoint, data, 0);
        // A read waits for the phone to have something to say.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (in && answer.status == UsbStatus::Timeout && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::microseconds(20));
            answer = phone_->bulk(endpoint, {}, int(data.size()));
        }
        UsbResult result{answer.status, answer.transferred};
        if (in && answer.status == UsbStatus::Ok) {
            const size_t n = std::min(answer.data.size(), data.size());
            std::copy_n(answer.data.begin(), n, data.begin());
            result.transferred = int(n);
        }
        link_.afterTransfer(phone_);
        return result;
    }

private:
    SimulatedUsbLink& link_;
    std::shared_ptr<SimulatedP2kPhone> phone_;
    UsbDeviceInfo info_;
};

SimulatedUsbLink::SimulatedUsbLink() : SimulatedUsbLink(Options{}) {}

SimulatedUsbLink::SimulatedUsbLink(Options options) : options_(options)
{
    thread_ = std::thread([this] { run(); });
}

SimulatedUsbLink::~SimulatedUsbLink()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void SimulatedUsbLink::plug(std::shared_ptr<SimulatedP2kPhone> phone, bool announce)
{
    std::lock_guard lock(mutex_);
    UsbDeviceInfo info;
    info.vendorId = phone->vendorId();
    info.productId = phone->productId();
    info.bus = 1;
    info.address = nextAddress_++;
    info.key = "1-" + std::to_string(info.address);
    slots_.push_back({std::move(phone), std::move(info)});
    if (announce)
        notifyLocked();
}

void SimulatedUsbLink::unplug()
{
    std::lock_guard lock(mutex_);
    for (auto& slot : slots_)
        slot.phone->pullOut();
    slots_.clear();
    notifyLocked();
}

std::shared_ptr<SimulatedP2kPhone> SimulatedUsbLink::phone() const
{
    std::lock_guard lock(mutex_);
    return slots_.empty() ? nullptr : slots_.front().phone;
}

void SimulatedUsbLink::failStart(std::string error)
{
    std::lock_guard lock(mutex_);
    startError_ = std::move(error);
}

void SimulatedUsbLink::setOpenStatus(UsbStatus status)
{
    std::lock_guard lock(mutex_);
    openStatus_ = status;
}

void SimulatedUsbLink::setClaimStatus(UsbStatus status)
{
    std::lock_guard lock(mutex_);
    claimStatus_ = status;
}

int SimulatedUsbLink::opens() const
{
    std::lock_guard lock(mutex_);
    return opens_;
}

bool SimulatedUsbLink::start(std::string* error)
{
    std::lock_guard lock(mutex_);
    if (startError_.empty())
        return true;
    if (error)
        *error = startError_;
    return false;
}

std::vector<UsbDeviceInfo> SimulatedUsbLink::devices(uint16_t vendorId)
{
    std::lock_guard lock(mutex_);
    std::vector<UsbDeviceInfo> out;
    for (const auto& slot : slots_)
        if (slot.info.vendorId == vendorId)
            out.push_back(slot.info);
    return out;
}

std::unique_ptr<UsbDevice> SimulatedUsbLink::open(const UsbDeviceInfo& device, UsbStatus* status)
{
    std::lock_guard lock(mutex_);
    ++opens_;
    const auto it = std::find_if(slots_.begin(), slots_.end(),
                                 [&](const Slot& s) { return s.info.key == device.key; });
    UsbStatus result = it == slots_.end() ? UsbStatus::Gone : openStatus_;
    if (status)
        *status = result;
    if (result != UsbStatus::Ok)
        return nullptr;
    return std::make_unique<Device>(*this, it->phone, it->info);
}

bool SimulatedUsbLink::watch(uint16_t, std::function<void()> changed)
{
    if (!options_.watchSupported)
        return false;
    std::lock_guard lock(mutex_);
    changed_ = std::move(changed);
    return true;
}

void SimulatedUsbLink::unwatch()
{
    std::unique_lock lock(mutex_);
    changed_ = nullptr;
    idle_.wait(lock, [&] { return !running_; });
}

void SimulatedUsbLink::afterTransfer(const std::shared_ptr<SimulatedP2kPhone>& phone)
{
    if (!phone->restarted() && !phone->wantsModeSwitch())
        return;
    std::lock_guard lock(mutex_);
    const auto it = std::find_if(slots_.begin(), slots_.end(), [&](const Slot& s) { return s.phone == phone; });
    if (it == slots_.end())
        return; // already taken off the bus
    phone->pullOut();
    slots_.erase(it);
    notifyLocked();
    SimulatedPhoneOptions options = phone->options();
    options.atMode = false;
    const PhoneStorage storage = phone->storage();
    schedule(std::chrono::steady_clock::now() + options_.returnDelay, [this, storage, options] {
        plug(std::make_shared<SimulatedP2kPhone>(storage, options));
    });
}

void SimulatedUsbLink::schedule(std::chrono::steady_clock::time_point when, std::function<void()> action)
{
    actions_.emplace_back(when, std::move(action));
    wake_.notify_all();
}

void SimulatedUsbLink::notifyLocked()
{
    schedule(std::chrono::steady_clock::now(), [this] {
        std::function<void()> changed;
        {
            std::lock_guard lock(mutex_);
            changed = changed_;
        }
        if (changed)
            changed();
    });
}

void SimulatedUsbLink::run()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        const auto next = std::min_element(actions_.begin(), actions_.end(),
                                           [](const auto& a, const auto& b) { return a.first < b.first; });
        if (next == actions_.end()) {
            wake_.wait(lock);
            continue;
        }
        if (next->first > std::chrono::steady_clock::now()) {
            wake_.wait_until(lock, next->first);
            continue;
        }
        auto action = std::move(next->second);
        actions_.erase(next);
        running_ = true;
        lock.unlock();
        action();
        lock.lock();
        running_ = false;
        idle_.notify_all();
    }
}

} // namespace tessaro::testing
