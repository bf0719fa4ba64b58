#pragma once
// The menu file and the Java slot tables between the phone and local working copies in the
// run's private working folder, the phone restart, and what closing the editor does.

#include <array>
#include <string>
#include <vector>

#include "core/menu_writer.h"
#include "core/notice.h"
#include "core/result.h"
#include "core/translatable.h"

namespace tessaro {

class JavaSlotTables;
struct PhoneContext;
struct Settings;

// Working copies, in the run's working folder.
inline constexpr char kMenuWorkingCopy[] = "mma_temp";
inline constexpr char kPhoneJ2mestCopy[] = "j2mest_temp";
inline constexpr char kCardJ2mestCopy[] = "j2mest_mmc";
// Where the phone keeps its menu file.
inline constexpr char kPhoneMenuPath[] = "/a/mobile/system/mma_ucp";
// The SYSTEM attribute bit.
inline constexpr int kSystemAttribute = 4;

// One program-wide set of flags and paths of the round trip.
struct RoundTripState {
    bool phoneJ2mestRead = false;   // the phone's J2MEST copy was read by the last readPhoneMenu
    bool cardJ2mestRead = false;    // the same for the card's
    std::string phoneJ2mestPath;    // phone path the copy came from; empty after a failed read
    std::string cardJ2mestPath;
    std::string phoneJavaFolder;    // where the ".jad" files of that table lie
    std::string cardJavaFolder;
    bool phonePatched = false;      // the working copy holds a corelet patch not yet on the phone
    bool cardPatched = false;
    bool storedToPhone = false;     // the menu went to the phone since the last restart
    bool phoneReady = true;        // false while an open from or save to the phone runs
    std::string menuBackup;         // the phone's menu as the last menu upload found it; empty
                                    // when the phone had none
    bool menuLeftCut = false;       // the last menu upload failed and left the phone's menu cut
};

// A J2MEST file on the phone and the folder of the ".jad" files that go with it.
struct J2mestLocation {
    std::string path;
    std::string javaFolder;

    bool operator==(const J2mestLocation&) const = default;
};

// The phone's J2MEST locations, in the order they are tried.
std::array<J2mestLocation, 2> phoneJ2mestLocations();
// The memory card's, which lie in a folder named after the phone's IMEI.
std::array<J2mestLocation, 2> cardJ2mestLocations(const std::string& imei);

// Everything the round trip works with; the caller owns each part. The settings are read
// each time they are needed, so changes made in the settings dialog apply at once.
struct RoundTrip {
    PhoneContext& phone;
    RoundTripState& state;
    JavaSlotTables& slots;
    const Settings& settings;
    std::string workFolder;   // where the working copies go, with a trailing separator
};

// What reading the phone's menu found besides the menu: what else could not be read (the
// volumes, a J2MEST table), in the order it happened, for the caller to show after the menu.
struct PhoneMenuRead {
    std::string menuPath;           // the local copy of the phone's menu
    std::vector<Notice> problems;
};

// Copies the phone's menu file into "mma_temp", queries the volumes and copies the J2MEST
// files the settings ask for into "j2mest_temp" and "j2mest_mmc". Fails when the menu file
// could not be read (or the read was stopped: Cancelled); what could not be read after it is
// listed in `problems` and ends the read there.
Result<PhoneMenuRead> readPhoneMenu(RoundTrip& rt);

// Uploads "mma_temp" as the phone's menu file, sets its SYSTEM attribute when the settings
// say so, and writes the patched J2MEST copies back. Stops at the first failure.
Status writePhoneMenu(RoundTrip& rt);

// Puts the phone's previous menu back after an upload that left it cut (see putBackBackup),
// with the attribute bits it had.
Status putBackPhoneMenu(RoundTrip& rt);

// Writes the patched J2MEST copies back to where they were read from, as system files, when
// the settings allow patching: the last two steps of writePhoneMenu. Stops at the first
// failure.
Status writeJ2mestCopies(RoundTrip& rt);

// Logs "Phone is restarted", restarts the phone and clears storedToPhone.
void sendRestart(RoundTrip& rt);

// Reads the working J2MEST copies that the last readPhoneMenu read into the slot tables
// (see loadJavaSlotTables).
Status parseJavaSlots(RoundTrip& rt);

// Patches the slots of the patch lists in the working copies with the names from their ".jad"
// files, downloaded from the Java folders into "temp.jad" in the working folder (removed
// afterwards). Sets phonePatched and cardPatched to whether a copy was changed; a copy that
// cannot be patched ends it with that failure.
Status patchJavaSlots(RoundTrip& rt);

// "Restart phone": restarts the phone unless an open or save has not ended connected
// (phoneReady false). True when the phone was restarted.
bool restartWhenReady(RoundTrip& rt);

// The close request: when the menu was stored to a still connected phone, asks whether to
// reboot it and does so on Yes. storedToPhone is cleared, so the question comes only once.
void askRestartOnClose(RoundTrip& rt);

// The phone went away: storedToPhone is cleared, and so are phonePatched and cardPatched, so
// a patch made for that phone's J2MEST is never written to another phone.
void forgetPhoneState(RoundTripState& state);


} // namespace tessaro
