// The USB phone through the real libusb keeps looking at a device it could not look at: a phone
// on the fake bus whose strings are refused at first (as while it settles) is found once they
// can be read, with no event from the bus.

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "p2k/libusb_link.h"
#include "p2k/usb_phone.h"
#include "support/virtual_phone_rig.h"
#include "usb/fake_usb_bus.h"

namespace tessaro::testing {
namespace {

TEST(UsbPhoneDiscovery, APhoneWhoseStringsCannotBeReadYetIsFoundLater)
{
    TempDir temp;
    makePhoneFolder(temp.path() / "phone");
    auto storage = VirtualPhone::open(temp.path() / "phone");
    ASSERT_TRUE(storage.ok()) << storage.error();
    FakeUsbBus bus;
    auto phone = bus.plug(*storage.value(), {.testCommandInterface = 5});
    phone->refuseStrings(true);

    // Before the USB phone: its thread may call back until it is gone.
    std::mutex mutex;
    std::vector<std::string> lines;
    std::atomic<int> connected{0};
    UsbPhone usb(std::make_unique<LibusbLink>(), UsbPhone::Options{.retryMinMs = 50, .retryMaxMs = 200});
    usb.setDiagnostics([&](const std::string& line) {
        std::lock_guard lock(mutex);
        lines.push_back(line);
    });
    ASSERT_EQ(usb.P2K_Init([&](int c) { return connected = c; }), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(connected, 0);
    phone->refuseStrings(false);
    EXPECT_TRUE(FakeUsbBus::waitFor([&] { return connected == 1; }));
    std::lock_guard lock(mutex);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "USB device 22B8:4901 at bus 1 address 2: its interface strings cannot be read; looking again",
                         "P2K phone at bus 1 address 2, test command interface 5"}));
}

} // namespace
} // namespace tessaro::testing
