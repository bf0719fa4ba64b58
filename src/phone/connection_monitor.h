#pragma once
// Starting the phone library and following the phone as it is plugged in and removed: the
// connection sequence that reads the phone's identity, the versions, what the window shows
// and the profile selection by firmware prefix.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"

namespace tessaro {

struct PhoneContext;

enum class StatusLamp { Red, Green };

// What the main window shows of the phone link; the window implements it. Every method
// does nothing unless overridden. The calls come from the thread onPhoneStatus runs on.
class PhoneLinkView {
public:
    virtual ~PhoneLinkView() = default;
    // First status bar panel (" IMEI: ..." / "IMEI: N/A ").
    virtual void setImeiPanel(const std::string&) {}
    // Second status bar panel ("Phone: ..." / "Phone: None ").
    virtual void setPhonePanel(const std::string&) {}
    // The status lamp.
    virtual void setStatusLamp(StatusLamp) {}
    // Tray icon image: 14 connected, 15 disconnected.
    virtual void setTrayImage(int) {}
    // Sets the tray balloon text and shows the balloon.
    virtual void showTrayBalloon(const std::string&) {}
    // Open from phone and Restart phone (tool buttons and menu items) as one, Save to phone
    // as the other.
    virtual void setPhoneActionsEnabled(bool /*openAndRestart*/, bool /*save*/) {}
    // Whether the menu tree holds at least one node (Save to phone needs one).
    virtual bool menuHasNodes() const { return false; }
};

class ConnectionMonitor {
public:
    // Runs the profile selection for a firmware prefix (possibly empty).
    using ProfileSelection = std::function<void(const std::string& prefix)>;
    // Waits between two SEEM read attempts.
    using Wait = std::function<void(std::chrono::milliseconds)>;
    // Runs a status call where the window wants it (its own thread); without one the call
    // runs on the library's thread.
    using Dispatch = std::function<void(std::function<void()>)>;

    static constexpr int kDefaultSeemAttempts = 20;
    static constexpr std::chrono::milliseconds kSeemRetryWait{500};

    // `phone` and `view` must outlive the monitor and the library's callbacks.
    ConnectionMonitor(PhoneContext& phone, PhoneLinkView& view);

    void setProfileSelection(ProfileSelection select) { selectProfile_ = std::move(select); }
    // Called on every disconnection, e.g. to clear the stored-to-phone flag.
    void setDisconnectHook(std::function<void()> hook) { disconnected_ = std::move(hook); }
    // Called at the end of a connection sequence that ended with the phone still there, after
    // the profile selection: the phone's identity is known by then.
    void setConnectHook(std::function<void()> hook) { connected_ = std::move(hook); }
    void setRetryWait(Wait wait) { wait_ = std::move(wait); }
    // How often each connection-time SEEM read is tried before the sequence goes on without
    // it (at least 1).
    void setSeemAttempts(int attempts) { attempts_ = attempts < 1 ? 1 : attempts; }
    void setDispatch(Dispatch dispatch) { dispatch_ = std::move(dispatch); }

    // Creates "p2klog.txt" in the data folder empty and keeps it open; when it cannot,
    // logging stays off.
    Status openLog();
    // Starts the library with the status callback unless a phone is already connected; the
    // error "Error initializing P2KAPI library" when the library could not start.
    Status startLibrary();
    // Both; the library's failure, else the log's.
    Status initPhoneLink();

    // The status callback: nonzero runs the connection sequence, 0 the disconnection.
    // Returns its argument.
    int onPhoneStatus(int connected);

private:
    enum class SeemRead { Read, GaveUp, Unplugged };
    // Tries to read record 1 of a SEEM into `record`; Unplugged once the disconnection count is
    // no longer `serial`.
    SeemRead readSeem(int seem, std::vector<uint8_t>& record, unsigned serial);
    void connect();
    void disconnect();

    PhoneContext& phone_;
    PhoneLinkView& view_;
    ProfileSelection selectProfile_;
    std::function<void()> disconnected_;
    std::function<void()> connected_;
    Wait wait_;
    Dispatch dispatch_;
    int attempts_ = kDefaultSeemAttempts;
    // Counts disconnections as the library reports them, before any dispatch, so a retry
    // loop running elsewhere notices the phone is gone.
    std::atomic<unsigned> disconnects_{0};
};

// The firmware version (see PhoneClient::readFirmwareVersion). Empty when not connected or on
// failure.
std::string queryFirmwareVersion(PhoneContext& phone);
// The LP version (see PhoneClient::readLpVersion); 0 when not connected or on failure.
uint16_t queryLpVersion(PhoneContext& phone);

// The model from SEEM 0x0117 record 1: the low byte of each 16-bit unit (high byte first)
// up to the first 0x0000 unit or the end of the record.
std::string decodeModel(std::span<const uint8_t> record);
// The 15-character IMEI from SEEM 0x0004 record 1 (bytes 0..8; missing ones count as 0):
// 14 digits from the nibbles and the check digit.
std::string decodeImei(std::span<const uint8_t> record);
// The check digit of 14 IMEI digit values.
int imeiCheckDigit(std::span<const uint8_t, 14> digits);
// The firmware version up to its first "_"; empty when it has none.
std::string firmwarePrefix(const std::string& firmwareVersion);
// Four upper-case hex digits, high byte first.
std::string lpVersionText(uint16_t lp);

} // namespace tessaro
