#pragma once
// The folder the program keeps its files in (Profiles/, tessaro.ini, p2klog.txt and the working
// copies). From a terminal it is the current folder; started from the desktop it is the user's
// data folder, made on first start with the sample profile that ships with the program.

#include <filesystem>
#include <string>

#include "core/result.h"

namespace tessaro {

// The user's data folder for the program: $XDG_DATA_HOME/tessaro when XDG_DATA_HOME is an
// absolute path, else $HOME/.local/share/tessaro. Empty when neither can be used.
std::filesystem::path userDataFolder(const char* xdgDataHome, const char* home);

// Makes `folder` (and its parents) when missing. When it was just made, or holds no Profiles/
// yet, the files of `sample` (a folder holding Profiles/ and tessaro.ini; may not exist) are
// copied in without replacing anything. Fails with a text naming the folder.
Status prepareDataFolder(const std::filesystem::path& folder, const std::filesystem::path& sample);

} // namespace tessaro
