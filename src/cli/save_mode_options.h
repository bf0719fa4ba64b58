#pragma once
// The save-mode options shared by `convert`, `edit` and `new`:
//   --record-size 22|36  --icon-marker 06|0C  --c698p|--no-c698p  --cdma|--no-cdma  --save-all
// applied as the main window's controls would change the save mode.

#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "core/result.h"

namespace tessaro {
class SaveMode;
}

namespace tessaro::cli {

class SaveModeOptions {
public:
    // Adds the options to a command; each flag excludes its opposite.
    void addTo(CLI::App& command);
    // Changes the save mode in the order the window's rules tie the controls together: the
    // record size first (36 forces "0C" and clears the fix; 22 keeps both), then the icon
    // marker and the fix (which take effect with 22-byte records only), then CDMA, then
    // "Save all data" (only turned on).
    void applyTo(SaveMode& mode) const;

private:
    std::optional<int> recordSize_;
    std::optional<std::string> iconMarker_;
    CLI::Option* c698p_ = nullptr;
    CLI::Option* noC698p_ = nullptr;
    CLI::Option* cdma_ = nullptr;
    CLI::Option* noCdma_ = nullptr;
    bool saveAll_ = false;
};

} // namespace tessaro::cli
