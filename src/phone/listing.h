#pragma once
// File listings of the phone's volumes. The volumes and their free space are the client's
// (PhoneClient::queryVolumes, PhoneClient::freeSpace).

#include <cstdint>
#include <string>
#include <vector>

#include "core/result.h"
#include "p2k/file_list_entry.h"

namespace tessaro {

struct PhoneContext;
class Progress;

// The files of a listing, volume by volume. A listing stopped from its progress window stops
// after the volume in progress and keeps what was listed before.
struct PhoneListing {
    std::vector<PhoneFileEntry> files;
    bool cancelled = false;
};

// Each lists volume by volume with a progress window. The volumes are asked for when
// `volumes` is empty and kept there. A failed volume query ("Error getting volume info") or a
// count or listing the phone refuses ends the listing with an error; so does a phone that
// is not connected.
Result<PhoneListing> listIcons(PhoneContext& phone, std::vector<char>& volumes);
Result<PhoneListing> listAllFiles(PhoneContext& phone, std::vector<char>& volumes);
// Lists the volumes named by `maskVolumes` (letters) with the pattern "/L/*" + `maskExtension`
// (empty, or "." + an extension); no volume query.
Result<PhoneListing> listMatchingFiles(PhoneContext& phone, const std::string& maskVolumes,
                                       const std::string& maskExtension);

// A listing's progress (`done` of `total` entries): shows "P% " + `label` on `window`. A total
// of 0 shows 100%.
void reportListingProgress(Progress& window, const std::string& label, int done, int total);

} // namespace tessaro
