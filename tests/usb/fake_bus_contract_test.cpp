// The P2kApi contract suite on the USB phone through the real libusb, its phone on the fake
// USB bus with the Test Command interface at number 5.

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
    UsbFakeBusPhone(std::unique_ptr<VirtualPhone> phone, bool plugged)
        : FakeBusStorage{{}, std::move(phone)}, UsbPhone(plug(bus, *storage, plugged))
    {
    }

private:
    static std::unique_ptr<UsbLink> plug(FakeUsbBus& bus, VirtualPhone& storage, bool plugged)
    {
        if (plugged)
            bus.plug(storage, {.testCommandInterface = 5});
        return std::make_unique<LibusbLink>();
    }
};

std::unique_ptr<P2kApi> usbFakeBus(const std::filesystem::path& dir, bool plugged)
{
    auto phone = virtualPhone(dir, false);
    return std::make_unique<UsbFakeBusPhone>(std::unique_ptr<VirtualPhone>(static_cast<VirtualPhone*>(phone.release())),
                                             plugged);
}

INSTANTIATE_TEST_SUITE_P(
    FakeBus, P2kApiContract,
    ::testing::Values(Backend{"UsbFakeBus", [](const auto& dir) { return usbFakeBus(dir, true); }, true},
                      Backend{"UsbFakeBusNoPhone", [](const auto& dir) { return usbFakeBus(dir, false); }, false}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace tessaro::testing
