#pragma once
// A fake USB bus for end-to-end tests through the real libusb: a umockdev testbed with a root
// hub (bus 1) on which simulated P2K phones are plugged in and out. Each phone gets a device
// in the fake sysfs (its descriptors from the simulator) and a device node whose usbdevfs
// ioctls are answered here: control and bulk URBs go to the simulator, a bulk read ends when
// the simulator has a reply (a bulk phone's Test Command interface has its two bulk endpoints
// in the descriptors), a transfer it does not answer stays pending until the client discards it, a phone that is gone ends its pending
// transfers with -ENODEV and leaves the bus with a "remove" uevent. A phone asking for the
// AT to P2K switch, or restarting, leaves and a P2K-mode phone over the same storage arrives
// with a new device number about a second later.
//
// The process must run under libumockdev-preload (see fake_bus_main.cpp); programs started
// from it inherit the preload and UMOCKDEV_DIR and see the same bus.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "usbsim/simulated_p2k_phone.h"

namespace tessaro::testing {

class FakeUsbBus {
public:
    FakeUsbBus();
    ~FakeUsbBus();
    FakeUsbBus(const FakeUsbBus&) = delete;
    FakeUsbBus& operator=(const FakeUsbBus&) = delete;

    // Plugs in a simulated phone over `storage` ('add' uevent); a phone that switches mode or
    // restarts comes back as a P2K-mode phone over the same storage.
    std::shared_ptr<SimulatedP2kPhone> plug(VirtualPhone& storage, SimulatedPhoneOptions options = {});
    // Pulls the phone of device number `devnum` out.
    void unplug(int devnum);
    // Pulls out the phone plugged in last, while the test thread is busy elsewhere: after
    // `transfers` more URBs reached it (1 = the next one), from the bus's own thread.
    void unplugAfterTransfers(int transfers);

    // The device numbers of the phones on the bus now, in plug order.
    std::vector<int> devices() const;
    // The phone plugged in last, or null.
    std::shared_ptr<SimulatedP2kPhone> lastPhone() const;
    // Phones plugged in so far (mode switches and restarts included).
    int plugCount() const;
    // URBs the phones received so far.
    int urbCount() const;
    // Interfaces whose kernel driver a client detached, as "devnum:interface".
    std::vector<std::string> detachedDrivers() const;

    // While held, transfers stay unanswered until the client gives up and discards them.
    void holdTransfers(bool hold);

    // Waits until `done` holds, checking now and then; false when `bound` passed first.
    static bool waitFor(const std::function<bool()>& done,
                        std::chrono::milliseconds bound = std::chrono::seconds(10));

private:
    struct State;
    std::shared_ptr<State> state_;
};

} // namespace tessaro::testing
