#include "phone/listing.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "core/progress.h"
#include "core/translatable.h"
#include "p2k/file_list_entry.h"
#include "p2k/phone_client.h"
#include "phone/phone_context.h"

namespace tessaro {

namespace {

struct ListingKind {
    ListingLog log;
    const char* caption;       // "Retrieving ... from volume /"
};

// Lists one volume into `into`; the client's failure when the phone refused the count or the
// listing.
Status listVolume(PhoneContext& phone, Progress& window, const ListingKind& kind, char volume,
                  const std::string& pattern, std::vector<PhoneFileEntry>& into)
{
    const auto counted = phone.client.countFiles(pattern, kind.log);
    if (!counted)
        return counted.failure();
    if (counted->files <= 0)
        return Status::success();
    window.setBar(0, 0);
    const std::string label = std::string(kind.caption) + volume + "/";
    if (window.caption() != label)
        window.setCaption(label);
    auto listed = phone.client.listFiles(*counted, kind.log, [&window, &label](int done, int total) {
        reportListingProgress(window, label, done, total);
    });
    if (!listed)
        return listed.failure();
    into.insert(into.end(), std::make_move_iterator(listed->begin()), std::make_move_iterator(listed->end()));
    return Status::success();
}

Result<PhoneListing> listVolumes(PhoneContext& phone, const ListingKind& kind, const std::string& letters,
                                 const std::string& namePattern)
{
    if (!phone.link.connected)
        return Error(ErrorKind::PhoneGone, TRANSLATABLE("Core", "No phone connected"));
    PhoneListing listing;
    const std::unique_ptr<Progress> window = phone.progress.openSingle();
    for (const char volume : letters) {
        if (const Status listed =
                listVolume(phone, *window, kind, volume, std::string("/") + volume + "/" + namePattern, listing.files);
            !listed)
            return Error(listed.failure().kind,
                         TRANSLATABLE("Core", "Error getting the file list of volume /") + std::string(1, volume), "");
        // The library lists a volume in one call; a cancel takes effect between volumes and
        // keeps the files of the volumes already listed.
        if (window->cancelled()) {
            listing.cancelled = true;
            phone.client.logListingCancelled(kind.log);
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
    auto queried = phone.client.queryVolumes(kind.log);
    if (!queried)
        return queried.failure();
    volumes = std::move(queried).value();
    return Status::success();
}

} // namespace

Result<PhoneListing> listIcons(PhoneContext& phone, std::vector<char>& volumes)
{
    static constexpr ListingKind kind{ListingLog::Icons, TRANSLATABLE("Core", "Retrieving picture list from volume /")};
    if (const Status known = knowVolumes(phone, kind, volumes); !known)
        return known.failure();
    return listVolumes(phone, kind, std::string(volumes.begin(), volumes.end()), "*.gif");
}

Result<PhoneListing> listAllFiles(PhoneContext& phone, std::vector<char>& volumes)
{
    static constexpr ListingKind kind{ListingLog::AllFiles, TRANSLATABLE("Core", "Retrieving file list from volume /")};
    if (const Status known = knowVolumes(phone, kind, volumes); !known)
        return known.failure();
    return listVolumes(phone, kind, std::string(volumes.begin(), volumes.end()), "*");
}

Result<PhoneListing> listMatchingFiles(PhoneContext& phone, const std::string& maskVolumes,
                                       const std::string& maskExtension)
{
    static constexpr ListingKind kind{ListingLog::Masked, TRANSLATABLE("Core", "Retrieving file list from volume /")};
    return listVolumes(phone, kind, maskVolumes, "*" + maskExtension);
}

void reportListingProgress(Progress& window, const std::string& label, int done, int total)
{
    // Nothing to list counts as done; counts the library gets wrong stay within 0..100.
    const int percent = total == 0 ? 100
        : (done <= 0 || total < 0) ? 0
        : std::min(percentOf(uint64_t(done), uint64_t(total)), 100);
    const std::string caption = std::to_string(percent) + "% " + label;
    if (window.caption() != caption)
        window.setCaption(caption);
    window.setBar(0, percent);
}

} // namespace tessaro
