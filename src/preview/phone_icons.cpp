#include "preview/phone_icons.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/progress.h"
#include "p2k/phone_client.h"
#include "phone/phone_context.h"
#include "phone/transfer.h"

namespace tessaro {

namespace {

// Icons are fetched behind the window's back: their transfers report nowhere.
class QuietBatch : public BatchProgress {
public:
    void setCaption(const std::string& caption) override { caption_ = caption; }
    std::string caption() const override { return caption_; }
    void setBar(int, int) override {}

private:
    std::string caption_;
};

// A phone path the cache can keep: absolute, without a step up or a backslash, so that its
// copy stays inside the cache folder whatever a menu file says.
bool isCacheable(const std::string& path)
{
    if (path.size() < 4 || path[0] != '/' || path[2] != '/')
        return false;
    if (path.find('\\') != std::string::npos || path.find('\0') != std::string::npos)
        return false;
    size_t start = 1;
    while (start <= path.size()) {
        const size_t end = std::min(path.find('/', start), path.size());
        const std::string_view part(path.data() + start, end - start);
        if (part == ".." || part == ".")
            return false;
        start = end + 1;
    }
    return path.back() != '/';
}

} // namespace

PhoneIcons::PhoneIcons(std::string cacheFolder) : folder_(std::move(cacheFolder))
{
    if (!folder_.empty() && folder_.back() != '/')
        folder_ += '/';
}

void PhoneIcons::begin(const std::string& imei, const std::vector<std::string>& paths, Fetch fetch)
{
    fetch_ = fetch;
    imei_ = imei;
    paths_ = paths;
    folders_.clear();
    for (const std::string& path : paths) {
        if (!isCacheable(path))
            continue;
        const std::string pattern = listingPatternFor(path);
        if (std::find(folders_.begin(), folders_.end(), pattern) == folders_.end())
            folders_.push_back(pattern);
    }
    nextFolder_ = 0;
    listedFolders_.clear();
    files_.clear();
    toFetch_.clear();
    nextFetch_ = 0;
    stepsDone_ = 0;
    phase_ = folders_.empty() ? Phase::Done : Phase::Listing;
}

bool PhoneIcons::isBegunFor(const std::string& imei, const std::vector<std::string>& paths) const
{
    return phase_ != Phase::Idle && imei == imei_ && paths == paths_;
}

Result<bool> PhoneIcons::step(PhoneContext& phone)
{
    if (phase_ == Phase::Listing) {
        const std::string& pattern = folders_[nextFolder_];
        const Result<FileCount> counted = phone.client.countFiles(pattern, ListingLog::Icons);
        // A phone refuses to count a folder it does not have: none of its files is there.
        if (!counted && counted.failure().kind != ErrorKind::PhoneRefused) {
            phase_ = Phase::Done;
            return counted.failure();
        }
        if (counted && counted->files > 0) {
            const auto listed = phone.client.listFiles(*counted, ListingLog::Icons, {});
            if (!listed) {
                phase_ = Phase::Done;
                return listed.failure();
            }
            for (const PhoneFileEntry& entry : *listed)
                files_[entry.path] = entry;
        }
        listedFolders_.insert(pattern);
        ++stepsDone_;
        if (++nextFolder_ < folders_.size())
            return true;
        if (fetch_ == Fetch::No) {
            phase_ = Phase::Done;
            return false;
        }
        // Every folder is known: what the cache lacks is fetched, each file once.
        std::set<std::string> wanted;
        for (const std::string& path : paths_) {
            const PhoneFileEntry* entry = onPhone(path);
            if (entry && isCacheable(path) && copyOf(path).empty() && wanted.insert(path).second)
                toFetch_.push_back(*entry);
        }
        phase_ = toFetch_.empty() ? Phase::Done : Phase::Fetching;
        return phase_ != Phase::Done;
    }
    if (phase_ == Phase::Fetching) {
        const PhoneFileEntry& entry = toFetch_[nextFetch_];
        const std::string local = copyPath(imei_, entry.path);
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(local).parent_path(), ec);
        QuietBatch batch;
        batch.batchTotal = entry.size;
        if (const Status fetched = downloadFile(phone, entry, local, batch); !fetched) {
            phase_ = Phase::Done;
            return fetched.failure();
        }
        ++fetchCount_;
        ++stepsDone_;
        if (++nextFetch_ < toFetch_.size())
            return true;
        phase_ = Phase::Done;
    }
    return false;
}

bool PhoneIcons::isListed(const std::string& path) const
{
    return isCacheable(path) && listedFolders_.count(listingPatternFor(path)) > 0;
}

const PhoneFileEntry* PhoneIcons::onPhone(const std::string& path) const
{
    const auto found = files_.find(path);
    return found == files_.end() ? nullptr : &found->second;
}

std::string PhoneIcons::copyOf(const std::string& path) const
{
    const PhoneFileEntry* entry = onPhone(path);
    if (!entry || fetch_ == Fetch::No || !isCacheable(path))
        return {};
    const std::string local = copyPath(imei_, path);
    std::error_code ec;
    const auto size = std::filesystem::file_size(local, ec);
    return !ec && size == entry->size ? local : std::string();
}

std::string PhoneIcons::copyPath(const std::string& imei, const std::string& path) const
{
    return folder_ + backupPhoneFolder(imei) + path;
}

} // namespace tessaro
