#pragma once
// Everything the editor keeps for the whole run, created by main() (or by a test) and passed
// to the windows: the document and its tables, profiles, settings and the phone link.
// Qt-free: the windows add the widgets.

#include <memory>
#include <string>

#include "core/working_folder.h"
#include "core/open_menu.h"
#include "drm/drmpack.h"
#include "workspace/profiles.h"
#include "workspace/settings.h"
#include "models/file_browser_model.h"
#include "phone/j2mest.h"
#include "p2k/operation_log.h"
#include "p2k/p2k_api.h"
#include "phone/phone_context.h"
#include "phone/round_trip.h"

namespace tessaro {

class Prompter;
class ProgressFactory;
class ConnectionMonitor;
class VirtualPhone;

class EditorSession {
public:
    // `dataFolder` is where every file of the program lives (a trailing separator is
    // added when missing); `api` is the phone library (never null). The prompter and the
    // progress factory are used by the phone operations.
    EditorSession(std::string dataFolder, std::unique_ptr<P2kApi> api, Prompter& prompter,
               ProgressFactory& progress);
    // Stops the phone library first, so no status call arrives while the rest goes.
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    // A file of the data folder.
    std::string file(const std::string& name) const { return dataFolder + name; }

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
    PhoneLinkState link;
    OperationLog log;
    PhoneContext phone;
    RoundTripState roundTripState;
    // The run's private folder of working copies, removed when the editor ends.
    WorkingFolder workingFolder;
    RoundTrip roundTrip;
    // Follows the phone as it comes and goes; made by the main window, which shows it. It
    // lives as long as the library that calls it.
    std::unique_ptr<ConnectionMonitor> monitor;
};

} // namespace tessaro
