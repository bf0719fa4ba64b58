// LibusbLink through the real libusb against phones on the fake USB bus: what enumeration,
// the descriptors and the transfers give, how failures map, and hotplug.

#include <gtest/gtest.h>

#include <atomic>

#include "core/bytes.h"
#include "p2k/libusb_link.h"
#include "support/virtual_phone_rig.h"
#include "usb/fake_usb_bus.h"

namespace tessaro::testing {
namespace {

using Bytes = std::vector<uint8_t>;

class LibusbLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        makePhoneFolder(temp.path() / "phone");
        auto opened = VirtualPhone::open(temp.path() / "phone");
        ASSERT_TRUE(opened.ok()) << opened.error();
        storage = std::move(opened).value();
        std::string error;
        ASSERT_TRUE(link.start(&error)) << error;
    }

    std::unique_ptr<UsbDevice> openOnly()
    {
        const auto devices = link.devices(kMotorolaVendorId);
        EXPECT_EQ(devices.size(), 1u);
        if (devices.empty())
            return nullptr;
        UsbStatus status = UsbStatus::Error;
        auto device = link.open(devices[0], &status);
        EXPECT_EQ(status, UsbStatus::Ok);
        return device;
    }

    TempDir temp;
    std::unique_ptr<VirtualPhone> storage;
    FakeUsbBus bus;   // before the link: the link ends first
    LibusbLink link;
};

TEST_F(LibusbLinkTest, EnumeratesAndReadsTheInterfacesWithTheirStrings)
{
    bus.plug(*storage, {.testCommandInterface = 5});
    const auto devices = link.devices(kMotorolaVendorId);
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].productId, 0x4901);
    EXPECT_EQ(devices[0].bus, 1);
    EXPECT_EQ(devices[0].address, 2);
    EXPECT_EQ(devices[0].key, "1-2");
    EXPECT_TRUE(link.devices(0x1D6B).size() == 1u);   // the root hub, another vendor

    auto device = openOnly();
    ASSERT_TRUE(device);
    std::vector<std::string> seen;
    for (const auto& i : device->interfaces())
        seen.push_back(std::to_string(i.number) + " " + std::to_string(i.interfaceClass) + " " + i.name + " "
                       + std::to_string(i.endpoints.size()));
    std::vector<std::string> expected;
    for (const auto& i : bus.lastPhone()->interfaces())
        expected.push_back(std::to_string(i.number) + " " + std::to_string(i.interfaceClass) + " " + i.name + " "
                           + std::to_string(i.endpoints.size()));
    EXPECT_EQ(seen, expected);
    EXPECT_NE(std::find(seen.begin(), seen.end(), "5 255 Motorola Test Command 0"), seen.end());
    EXPECT_EQ(device->claim(5), UsbStatus::Ok);
    EXPECT_TRUE(bus.detachedDrivers().empty());
}

TEST_F(LibusbLinkTest, AVersionQueryTravelsAsTheThreeControlTransfers)
{
    bus.plug(*storage, {.testCommandInterface = 5});
    auto device = openOnly();
    ASSERT_TRUE(device);
    ASSERT_EQ(device->claim(5), UsbStatus::Ok);
    Bytes request = {0x00, 0x07, 0x00, 0x39, 0x00, 0x02, 0x00, 0x00, 0xFF, 0xFF};
    const UsbResult sent = device->control({0x41, 0x02, 0, 5}, request, 1000);
    EXPECT_EQ(sent.status, UsbStatus::Ok);
    EXPECT_EQ(sent.transferred, 10);
    Bytes poll(8);
    UsbResult polled;
    ASSERT_TRUE(FakeUsbBus::waitFor([&] {
        polled = device->control({0xC1, 0x00, 0, 5}, poll, 1000);
        return polled.ok() && polled.transferred >= 4 && readBE16(poll.data()) == 1;
    }));
    const int size = readBE16(poll.data() + 2);
    Bytes reply(size_t(2 + size + 4), 0xEE);
    const UsbResult read = device->control({0xC1, 0x01, 1, 5}, reply, 1000);
    ASSERT_EQ(read.status, UsbStatus::Ok);
    ASSERT_GE(read.transferred, 14);
    EXPECT_EQ(reply[0], 1);
    EXPECT_EQ(readBE16(reply.data() + 6), 0x8007);   // the request's id with the reply bit
    ASSERT_EQ(bus.lastPhone()->requests().size(), 1u);
    EXPECT_EQ(bus.lastPhone()->requests()[0].command, 0x0039);
    EXPECT_EQ(bus.lastPhone()->requests()[0].payload, (Bytes{0xFF, 0xFF}));
}

TEST_F(LibusbLinkTest, ABulkPhoneTakesTheVersionQueryOnItsBulkEndpoints)
{
    bus.plug(*storage, {.testCommandInterface = 8, .bulk = true});
    auto device = openOnly();
    ASSERT_TRUE(device);
    const auto interfaces = device->interfaces();
    const auto test = std::find_if(interfaces.begin(), interfaces.end(),
                                   [](const UsbInterfaceInfo& i) { return i.name == "Motorola Test Command"; });
    ASSERT_NE(test, interfaces.end());
    EXPECT_EQ(test->bulkEndpoint(true), 0x84);
    EXPECT_EQ(test->bulkEndpoint(false), 0x04);
    ASSERT_EQ(device->claim(8), UsbStatus::Ok);

    Bytes reply(0x1000);
    // Nothing asked, nothing to read: the read ends at its timeout.
    EXPECT_EQ(device->bulk(0x84, reply, 100).status, UsbStatus::Timeout);
    // The classic control request is refused.
    Bytes classic = {0x00, 0x07, 0x00, 0x39, 0x00, 0x02, 0x00, 0x00, 0xFF, 0xFF};
    EXPECT_EQ(device->control({0x41, 0x02, 0, 8}, classic, 1000).status, UsbStatus::Stall);
    // Id, command, six zero bytes, length, payload.
    Bytes request = {0x00, 0x07, 0x00, 0x39, 0, 0, 0, 0, 0, 0, 0x00, 0x02, 0xFF, 0xFF};
    const UsbResult sent = device->bulk(0x04, request, 1000);
    EXPECT_EQ(sent.status, UsbStatus::Ok);
    EXPECT_EQ(sent.transferred, 14);
    const UsbResult read = device->bulk(0x84, reply, 1000);
    ASSERT_EQ(read.status, UsbStatus::Ok);
    ASSERT_GE(read.transferred, 12);
    // The id with the reply bit, class 8 (data), six unused bytes, the data length.
    Bytes header = {0x80, 0x07, 0x80, 0, 0, 0, 0, 0, 0, 0};
    append16(header, uint16_t(read.transferred - 12), ByteOrder::Big);
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 12), header);
    ASSERT_EQ(bus.lastPhone()->requests().size(), 1u);
    EXPECT_EQ(bus.lastPhone()->requests()[0].payload, (Bytes{0xFF, 0xFF}));
}

// How each way a transfer can end reaches the caller.
TEST_F(LibusbLinkTest, TransferFailuresMapToTheirStatus)
{
    struct Case {
        std::string name;
        std::function<void(FakeUsbBus&)> arrange;
        UsbStatus expected;
    };
    const std::vector<Case> cases = {
        {"refused", [](FakeUsbBus& b) { b.lastPhone()->injectFault({SimulatedFault::Kind::Stall}); }, UsbStatus::Stall},
        {"unanswered", [](FakeUsbBus& b) { b.holdTransfers(true); }, UsbStatus::Timeout},
        {"pulled out meanwhile", [](FakeUsbBus& b) { b.unplugAfterTransfers(1); }, UsbStatus::Gone},
        {"gone before", [](FakeUsbBus& b) { b.lastPhone()->goneAfterRequests(1); }, UsbStatus::Gone},
    };
    for (const auto& c : cases) {
        bus.holdTransfers(false);
        bus.plug(*storage, {.testCommandInterface = 5});
        const auto devices = link.devices(kMotorolaVendorId);
        ASSERT_FALSE(devices.empty()) << c.name;
        auto device = link.open(devices.back(), nullptr);
        ASSERT_TRUE(device) << c.name;
        ASSERT_EQ(device->claim(5), UsbStatus::Ok) << c.name;
        c.arrange(bus);
        Bytes request = {0x00, 0x01, 0x00, 0x39, 0x00, 0x02, 0x00, 0x00, 0xFF, 0xFF};
        EXPECT_EQ(device->control({0x41, 0x02, 0, 5}, request, 200).status, c.expected) << c.name;
        device.reset();
        bus.unplug(bus.devices().empty() ? 0 : bus.devices().back());
    }
}

TEST_F(LibusbLinkTest, OpeningADeviceThatLeftSaysGone)
{
    bus.plug(*storage);
    const auto devices = link.devices(kMotorolaVendorId);
    ASSERT_EQ(devices.size(), 1u);
    bus.unplug(devices[0].address);
    ASSERT_TRUE(FakeUsbBus::waitFor([&] { return link.devices(kMotorolaVendorId).empty(); }));
    UsbStatus status = UsbStatus::Ok;
    EXPECT_FALSE(link.open(devices[0], &status));
    EXPECT_EQ(status, UsbStatus::Gone);
}

TEST_F(LibusbLinkTest, AnAtModePhoneIsSwitchedThroughItsDataInterfaceAndComesBack)
{
    std::atomic<int> changes{0};
    ASSERT_TRUE(link.watch(kMotorolaVendorId, [&] { changes++; }));
    bus.plug(*storage, {.testCommandInterface = 5, .atMode = true});
    ASSERT_TRUE(FakeUsbBus::waitFor([&] { return changes >= 1; }));
    auto device = openOnly();
    ASSERT_TRUE(device);
    EXPECT_EQ(device->info().productId, 0x4902);
    // cdc_acm holds the data interface of a phone in AT mode: the claim takes it over.
    ASSERT_EQ(device->claim(1), UsbStatus::Ok);
    EXPECT_EQ(bus.detachedDrivers(), std::vector<std::string>{"2:1"});
    Bytes command = {'A', 'T', '+', 'M', 'O', 'D', 'E', '=', '8', '\r', '\n'};
    const UsbResult written = device->bulk(0x02, command, 1000);
    EXPECT_EQ(written.status, UsbStatus::Ok);
    EXPECT_EQ(written.transferred, 11);

    // It leaves and comes back in P2K mode with a new address; the watch hears both.
    ASSERT_TRUE(FakeUsbBus::waitFor([&] {
        const auto now = link.devices(kMotorolaVendorId);
        return now.size() == 1u && now[0].productId == 0x4901 && changes >= 3;
    }));
    EXPECT_EQ(link.devices(kMotorolaVendorId)[0].address, 3);
    Bytes more = command;
    EXPECT_EQ(device->bulk(0x02, more, 1000).status, UsbStatus::Gone);
    link.unwatch();
}

} // namespace
} // namespace tessaro::testing
