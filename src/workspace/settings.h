#pragma once
// The phone-link options kept for the run and in tessaro.ini (section "setup"):
//   SetSystemAttr=1|0  LogEnabled=1|0  ReadJ2MEST=Phone|Card|Both|None  PatchJ2MEST=1|0

#include <string>
#include <string_view>

#include "core/result.h"

namespace tessaro {

struct Settings {
    bool setSystemAttr = false;     // set the SYSTEM attribute of mma_ucp after an upload
    bool logEnabled = false;        // write phone operations to p2klog.txt
    bool readJ2mest = false;        // read the J2MEST files with the menu file
    bool j2mestFromPhone = false;   // ... the phone's own
    bool j2mestFromCard = false;    // ... the memory card's
    bool patchJ2mest = false;       // offer the corelet patch and write patched files back
    bool activateSeemItems = false; // never persisted, never enabled: stays off

    bool operator==(const Settings&) const = default;
};

// The settings file in a data folder (which ends with a separator).
std::string settingsPath(const std::string& dataFolder);

// Reads the settings; a missing file or key gives the defaults (everything off), and values
// other than the listed ones read as off ("ReadJ2MEST" as "None"). Key names are matched
// without regard to case; of a key given twice the first counts.
Settings loadSettings(const std::string& path);
// The same over the text of a settings file.
Settings parseSettings(std::string_view text);

// Writes the four keys into section "setup" of the file, keeping whatever else it holds, and
// flushes it; the old file stays untouched when the write fails.
Status saveSettings(const std::string& path, const Settings& settings);

// Where the main window stood, kept in section "window" of the same file as opaque strings of
// hexadecimal digits: the window's geometry and the state of its splitter. Empty when unknown.
struct WindowPlacement {
    std::string geometry;
    std::string splitter;

    bool operator==(const WindowPlacement&) const = default;
};

// Reads section "window"; a missing file, key or a value that is not an even count of hex
// digits gives an empty string.
WindowPlacement loadWindowPlacement(const std::string& path);
// Writes section "window", keeping everything else of the file.
Status saveWindowPlacement(const std::string& path, const WindowPlacement& placement);

} // namespace tessaro
