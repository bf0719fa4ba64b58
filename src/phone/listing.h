#pragma once
// Phone volumes and file listings into PhoneContext::fileList.

#include <string>

namespace tessaro {

struct PhoneContext;
class Progress;

// Sends the volume query and fills PhoneContext::volumes; false on failure.
bool queryVolumeList(PhoneContext& phone);
// The same, returning the library's result (-1 on failure) for the log.
int queryVolumesResult(PhoneContext& phone);

// Each empties PhoneContext::fileList and fills it anew, volume by volume, with a progress
// window. They do nothing and return false while the phone is not connected; false also when
// the volume query fails (shown as "Error getting volume info"). A volume whose listing fails
// is left out. A listing cancelled from its window stops after the volume in progress, keeps
// what was listed, sets PhoneContext::cancelled and returns false.
bool listIcons(PhoneContext& phone);
bool listAllFiles(PhoneContext& phone);
// Lists the volumes named by `maskVolumes` (letters) with the pattern "/L/*" + `maskExtension`
// (empty, or "." + an extension); no volume query.
bool listMatchingFiles(PhoneContext& phone, const std::string& maskVolumes,
                   const std::string& maskExtension);

// The progress callback of File_ListEx: logs the completion and shows
// "P% " + ProgressLabel on `window`. A total of 0 shows 100%.
void reportListingProgress(PhoneContext& phone, Progress& window, int ignored, int done, int total);

} // namespace tessaro
