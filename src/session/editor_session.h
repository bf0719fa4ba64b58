#pragma once
// The objects one run of the editor or of tessaro-cli keeps, built in this one place: the data
// folder with its settings, profiles and item base, the open menu's tables, the phone library
// with its log, link state and connection monitor, the private working folder and the round
// trip. The editor's main(), tessaro-cli and the tests all build their run through it.
// Qt-free: the windows add the widgets.

#include <functional>
#include <memory>
#include <string>

#include "core/folder_lock.h"
#include "core/open_menu.h"
#include "core/working_folder.h"
#include "drm/drmpack.h"
#include "models/file_browser_model.h"
#include "p2k/operation_log.h"
#include "p2k/p2k_api.h"
#include "phone/connection_monitor.h"
#include "phone/j2mest.h"
#include "phone/phone_context.h"
#include "phone/round_trip.h"
#include "workspace/profiles.h"
#include "workspace/settings.h"

namespace tessaro {

class Prompter;
class ProgressFactory;
class UsbPhone;
class VirtualPhone;

// Which phone library a run talks to.
struct PhoneBackendChoice {
    enum class Kind { Usb, Virtual, None };
    Kind kind = Kind::Usb;
    std::string virtualFolder;   // the virtual phone's folder (Kind::Virtual)
    bool callbackThread = false; // the virtual phone calls back from a thread of its own
};

// A phone library as made for a run, and what of it the caller may still set up.
struct PhoneBackend {
    std::unique_ptr<P2kApi> api;
    VirtualPhone* virtualPhone = nullptr; // set for a virtual phone
    UsbPhone* usbPhone = nullptr;         // set for USB
};

// Makes the library `choice` names; fails when the virtual phone's folder cannot be used.
Result<PhoneBackend> makePhoneBackend(const PhoneBackendChoice& choice);

class EditorSession {
public:
    // `dataFolder` keeps the program's files (a trailing separator is added when missing);
    // `backend.api` is the phone library (never null). The prompter and the progress factory
    // are used by the phone operations.
    EditorSession(std::string dataFolder, PhoneBackend backend, Prompter& prompter, ProgressFactory& progress);
    // Stops the phone library first, so no status call arrives while the rest goes.
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    // A file of the data folder.
    std::string file(const std::string& name) const { return dataFolder + name; }

    // What every run does first: the Profiles folder and the item base (made when missing,
    // unless `readOnly`), the available items, the settings and whether to log. The failure of
    // the profiles' start; the run goes on under what it left.
    Status startUp(bool readOnly = false);

    // Follows the phone from now on: the connection monitor shows the link in `view`, runs
    // `dispatch` for each status call (null: on the library's thread), chooses the phone's
    // profile through `selectProfile` when a phone connects and then runs `connected` (may be
    // empty; e.g. offerInterruptedUploads), and forgets the phone's patches and listings when it
    // goes. Then opens the log (unless `openLog` is false) and starts the library: how each went,
    // for the caller to show.
    struct PhoneStart {
        Status log;
        Status library;
    };
    PhoneStart startPhone(PhoneLinkView& view, ConnectionMonitor::Dispatch dispatch,
                          std::function<void(const std::string& prefix)> selectProfile, bool openLog = true,
                          std::function<void()> connected = {});

    const std::string dataFolder;
    OpenMenu menu;
    ProfileManager profiles;
    Settings settings;
    JavaSlotTables javaSlots;
    // The CG15 icon pack of the DRM icon picker; its path outlives each picker window.
    DrmPack drmPack;
    // What the phone file browser keeps between openings.
    BrowserState browser;

    // The phone library and what the phone operations share.
    std::unique_ptr<P2kApi> api;
    // The virtual phone behind `api` when it is attached (itself, or worn by a test decorator),
    // else null.
    VirtualPhone* virtualPhone = nullptr;
    UsbPhone* usbPhone = nullptr;
    PhoneLinkState link;
    OperationLog log;
    PhoneContext phone;
    RoundTripState roundTripState;
    // How a save waits for another program's lock on the target's folder, and who hears of it.
    LockWait lockWait;
    // The run's private folder of working copies, removed when the run ends.
    WorkingFolder workingFolder;
    RoundTrip roundTrip;
    // Follows the phone as it comes and goes, from startPhone() on. It lives as long as the
    // library that calls it.
    std::unique_ptr<ConnectionMonitor> monitor;
};

} // namespace tessaro
