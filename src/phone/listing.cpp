#include "phone/listing.h"

#include <algorithm>
#include <memory>
#include <span>
#include <vector>

#include "core/progress.h"
#include "core/translatable.h"
#include "p2k/file_list_entry.h"
#include "p2k/fsac_channel.h"
#include "p2k/operation_log.h"
#include "p2k/p2k_framing.h"
#include "p2k/p2k_api.h"
#include "phone/phone_context.h"

namespace tessaro {

namespace {

constexpr int kVolumeReply = 128;
constexpr int kVolumeRecord = 6;
// One volume's listing is held in memory at once; a count beyond this (16 MB of entries) is
// not believed and only this many are fetched.
constexpr int kMaxEntriesPerVolume = 32768;

struct ListingKind {
    const char* tag;           // "[GetIconList]" ...
    const char* volumeInfoLog; // the volume query's log text, up to "RC="
    const char* caption;       // "Retrieving ... from volume /"
};

// Lists one volume into `into`; false when the phone refused the count or the listing.
bool listVolume(PhoneContext& phone, Progress& window, const ListingKind& kind, char volume,
                const std::string& pattern, std::vector<PhoneFileEntry>& into)
{
    int count = phone.api.File_CountEx(pattern);
    phone.log.writeLine(std::string(kind.tag) + " FileCountEx  RC=" + std::to_string(count));
    if (count == -1)
        return false;
    if (count == 0)
        return true;
    count = std::min(count, kMaxEntriesPerVolume);
    // Zero-filled, so entries the library leaves unfilled read as empty.
    std::vector<uint8_t> entries(size_t(count) * kFileListEntrySize, 0);
    window.setBar(0, 0);
    phone.progressLabel = std::string(kind.caption) + volume + "/";
    if (window.caption() != phone.progressLabel)
        window.setCaption(phone.progressLabel);
    const int rc = phone.api.File_ListEx(entries.data(), count,
                                         [&phone, &window](int ignored, int done, int total) {
                                             reportListingProgress(phone, window, ignored, done, total);
                                         });
    phone.log.writeLine(std::string(kind.tag) + " FileListEx  RC=" + std::to_string(rc));
    if (rc == -1)
        return false;
    for (int i = 0; i < count; ++i) {
        PhoneFileEntry entry = parseFileListEntry(
            std::span<const uint8_t>(entries).subspan(size_t(i) * kFileListEntrySize, kFileListEntrySize));
        // An entry without a path is one the library did not fill: nothing to show or pick.
        if (!entry.path.empty())
            into.push_back(std::move(entry));
    }
    return true;
}

Result<PhoneListing> listVolumes(PhoneContext& phone, const ListingKind& kind, const std::string& letters,
                                 const std::string& namePattern)
{
    if (!phone.link.connected)
        return Error(ErrorKind::PhoneGone, TRANSLATABLE("Core", "No phone connected"));
    PhoneListing listing;
    const std::unique_ptr<Progress> window = phone.progress.openSingle();
    for (const char volume : letters) {
        if (!listVolume(phone, *window, kind, volume, std::string("/") + volume + "/" + namePattern, listing.files))
            return Error(phone.link.connected ? ErrorKind::PhoneRefused : ErrorKind::PhoneGone,
                         TRANSLATABLE("Core", "Error getting the file list of volume /") + std::string(1, volume), "");
        // The library lists a volume in one call; a cancel takes effect between volumes and
        // keeps the files of the volumes already listed.
        if (window->cancelled()) {
            listing.cancelled = true;
            phone.log.writeLine(std::string(kind.tag) + " Listing cancelled");
            break;
        }
    }
    return listing;
}

// The volumes, asked for once and kept in `volumes`.
Status knowVolumes(PhoneContext& phone, const ListingKind& kind, std::vector<char>& volumes)
{
    if (!phone.link.connected)
        return Error(ErrorKind::PhoneGone, TRANSLATABLE("Core", "No phone connected"));
    if (!volumes.empty())
        return Status::success();
    auto queried = queryVolumes(phone);
    phone.log.writeLine(std::string(kind.tag) + kind.volumeInfoLog + (queried ? "0" : "-1"));
    if (!queried)
        return queried.failure();
    volumes = std::move(queried).value();
    return Status::success();
}

} // namespace

Result<std::vector<char>> queryVolumes(PhoneContext& phone)
{
    FsacChannel channel(phone.api);
    int delivered = 0;
    if (channel.volumeInfo(kVolumeReply, &delivered) == -1)
        return Error(phone.link.connected ? ErrorKind::PhoneRefused : ErrorKind::PhoneGone,
                     TRANSLATABLE("Core", "Error getting volume info"), "");
    // One 6-byte record per volume, the letter in its byte 3.
    std::vector<char> volumes;
    for (int j = 0; j < delivered / kVolumeRecord; ++j)
        volumes.push_back(char(channel.reply()[j * kVolumeRecord + 3]));
    return volumes;
}

Result<uint32_t> freeSpace(PhoneContext& phone, char volume)
{
    FsacChannel channel(phone.api);
    int delivered = 0;
    const int rc = channel.freeSpace(volume, &delivered);
    phone.log.writeLine(std::string("[FreeSpace] /") + volume + " RC=" + std::to_string(rc));
    const auto free = rc == -1 ? std::nullopt
                               : parseFreeSpaceAnswer(std::span(channel.reply(), size_t(delivered)));
    if (!free)
        return Error(phone.link.connected ? ErrorKind::PhoneRefused : ErrorKind::PhoneGone,
                     TRANSLATABLE("Core", "Error getting free space of volume /") + std::string(1, volume));
    return *free;
}

Result<PhoneListing> listIcons(PhoneContext& phone, std::vector<char>& volumes)
{
    static constexpr ListingKind kind{"[GetIconList]", " Get volume info RC=",
                                      TRANSLATABLE("Core", "Retrieving picture list from volume /")};
    if (const Status known = knowVolumes(phone, kind, volumes); !known)
        return known.failure();
    return listVolumes(phone, kind, std::string(volumes.begin(), volumes.end()), "*.gif");
}

Result<PhoneListing> listAllFiles(PhoneContext& phone, std::vector<char>& volumes)
{
    static constexpr ListingKind kind{"[GetFileList]", " Get volume info  RC=",
                                      TRANSLATABLE("Core", "Retrieving file list from volume /")};
    if (const Status known = knowVolumes(phone, kind, volumes); !known)
        return known.failure();
    return listVolumes(phone, kind, std::string(volumes.begin(), volumes.end()), "*");
}

Result<PhoneListing> listMatchingFiles(PhoneContext& phone, const std::string& maskVolumes,
                                       const std::string& maskExtension)
{
    static constexpr ListingKind kind{"[GetMaskedList]", "",
                                      TRANSLATABLE("Core", "Retrieving file list from volume /")};
    return listVolumes(phone, kind, maskVolumes, "*" + maskExtension);
}

void reportListingProgress(PhoneContext& phone, Progress& window, int, int done, int total)
{
    phone.log.writeLine("[ProgressProc] completion=" + std::to_string(done) + " of "
                      + std::to_string(total));
    // Nothing to list counts as done; counts the library gets wrong stay within 0..100.
    const int percent = total == 0 ? 100
        : (done <= 0 || total < 0) ? 0
        : std::min(percentOf(uint64_t(done), uint64_t(total)), 100);
    const std::string caption = std::to_string(percent) + "% " + phone.progressLabel;
    if (window.caption() != caption)
        window.setCaption(caption);
    window.setBar(0, percent);
}

} // namespace tessaro
