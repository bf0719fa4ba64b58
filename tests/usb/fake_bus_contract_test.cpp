// The P2kApi contract suite on the USB phone through the real libusb, over each kind of
// simulated phone on the fake USB bus.

#include "p2k/p2k_api_contract.h"

#include "p2k/libusb_link.h"
#include "p2k/usb_phone.h"
#include "usb/fake_usb_bus.h"

namespace tessaro::testing {
namespace {

// The bus and the phone's storage live until the USB phone is gone.
struct FakeBusStorage {
    FakeUsbBus bus;
    std::unique_ptr<VirtualPhone> storage;
};

class UsbFakeBusPhone : private FakeBusStorage, public UsbPhone {
public:
    // `plugged`: the phone on the bus; null for none.
    UsbFakeBusPhone(std::unique_ptr<VirtualPhone> phone, const SimulatedPhoneOptions* plugged)
        : FakeBusStorage{{}, std::move(phone)}, UsbPhone(plug(bus, *storage, plugged))
    {
    }

private:
    static std::unique_ptr<UsbLink> plug(FakeUsbBus& bus, VirtualPhone& storage, const SimulatedPhoneOptions* plugged)
    {
        if (plugged)
            bus.plug(storage, *plugged);
        return std::make_unique<LibusbLink>();
    }
};

std::unique_ptr<P2kApi> usbFakeBus(const std::filesystem::path& dir, const SimulatedPhoneOptions* plugged)
{
    auto phone = virtualPhone(dir, false);
    return std::make_unique<UsbFakeBusPhone>(std::unique_ptr<VirtualPhone>(static_cast<VirtualPhone*>(phone.release())),
                                             plugged);
}

std::vector<Backend> backends()
{
    std::vector<Backend> out;
    for (const PhoneKind& kind : phoneKinds())
        out.push_back({std::string("UsbFakeBus") + kind.name,
                       [options = kind.options](const auto& dir) { return usbFakeBus(dir, &options); }, true});
    out.push_back({"UsbFakeBusNoPhone", [](const auto& dir) { return usbFakeBus(dir, nullptr); }, false});
    return out;
}

INSTANTIATE_TEST_SUITE_P(FakeBus, P2kApiContract, ::testing::ValuesIn(backends()),
                         [](const auto& info) { return info.param.name; });

} // namespace
} // namespace tessaro::testing
