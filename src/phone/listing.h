#pragma once
// Phone volumes and file listings into PhoneContext::fileList.

#include <cstdint>
#include <string>
#include <vector>

#include "core/result.h"

namespace tessaro {

struct PhoneContext;
class Progress;

// The phone's volume letters in its order, also kept in PhoneContext::volumes.
Result<std::vector<char>> queryVolumes(PhoneContext& phone);
// The free bytes of one volume.
Result<uint32_t> freeSpace(PhoneContext& phone, char volume);

// Each empties PhoneContext::fileList and fills it anew, volume by volume, with a progress
// window. They do nothing and return false while the phone is not connected; false also when
// the volume query fails (shown as "Error getting volume info") or the phone refuses a
// volume's count or listing (shown too; the volumes before it stay listed). A listing cancelled from its window stops after the volume in progress, keeps
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
