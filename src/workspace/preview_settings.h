#pragma once
// How the phone-screen preview was left, kept in tessaro.ini:
//   [preview]          Shown=1|0  Style=Grid|List  Screen=176x220  Language=0..47
//                      IconFolder=<folder mirroring the phone's files>
//   [preview screens]  <profile name>=<screen size chosen under that profile>

#include <map>
#include <string>

#include "core/result.h"

namespace tessaro {

struct PreviewSettings {
    bool shown = false; // off in a new data folder: the window keeps its size
    bool list = false;  // Style=List; the grid otherwise
    std::string screen; // "176x220"; empty when never chosen
    int language = 0;   // 0: each item's first title
    std::string iconFolder;
    std::map<std::string, std::string> profileScreens;

    bool operator==(const PreviewSettings&) const = default;
};

// Reads the two sections; a missing file or key gives the defaults, a language outside 0..47
// reads as 0.
PreviewSettings loadPreviewSettings(const std::string& path);
// Writes the two sections, keeping everything else of the file.
Status savePreviewSettings(const std::string& path, const PreviewSettings& settings);

} // namespace tessaro
