#pragma once
// The phone's copies of the icons a menu names, kept per phone in the data folder
// ("IconCache/<IMEI>/a/mobile/picture/star.gif"), so that a phone seen before costs only the
// listings of its icon folders: a file whose size in the listing equals its copy's is not
// fetched again. (A file-list entry carries no date, so the size is all a listing can tell.)
//
// Fetching is done in small steps, one folder listing or one file each, so that the window
// can run them between its events on the thread that owns the phone library, and show how far
// it got; tessaro-cli runs them one after the other.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/result.h"
#include "p2k/file_list_entry.h"

namespace tessaro {

struct PhoneContext;

class PhoneIcons {
public:
    // Copies live below `cacheFolder` (a trailing separator is added when missing).
    explicit PhoneIcons(std::string cacheFolder);

    // Whether the files are fetched after their folders were listed.
    enum class Fetch { Yes, No };

    // Starts over for the phone with `imei` ("unknown" when empty) and the phone paths
    // `paths`: their folders are to be listed, then (with Fetch::Yes) the files the phone has
    // and the cache lacks fetched. Forgets what an earlier phone listed.
    void begin(const std::string& imei, const std::vector<std::string>& paths, Fetch fetch = Fetch::Yes);
    // The same paths for the same phone: nothing to do again.
    bool isBegunFor(const std::string& imei, const std::vector<std::string>& paths) const;
    // Lists the next folder or fetches the next file. True while there is more to do. A
    // failed listing or fetch ends the work with its error; what was found before stays.
    Result<bool> step(PhoneContext& phone);
    // Whether every folder was listed and every file fetched.
    bool isDone() const { return phase_ == Phase::Done; }
    // Steps done and steps in all (folders, then files as they become known).
    int stepsDone() const { return stepsDone_; }
    int stepsTotal() const { return int(folders_.size() + toFetch_.size()); }
    // Files fetched from the phone since the program started.
    uint64_t fetchCount() const { return fetchCount_; }

    // Whether the folder of `path` was listed.
    bool isListed(const std::string& path) const;
    // The phone's entry of `path` when its folder's listing holds it.
    const PhoneFileEntry* onPhone(const std::string& path) const;
    // The local copy of `path` when the cache holds one of the listed size; empty otherwise.
    std::string copyOf(const std::string& path) const;

    // Where the copy of `path` of the phone with `imei` is (or would be) kept.
    std::string copyPath(const std::string& imei, const std::string& path) const;

private:
    enum class Phase { Idle, Listing, Fetching, Done };

    std::string folder_;
    Fetch fetch_ = Fetch::Yes;
    std::string imei_;
    std::vector<std::string> paths_;
    std::vector<std::string> folders_; // listing patterns, in order
    size_t nextFolder_ = 0;
    std::set<std::string> listedFolders_;
    std::map<std::string, PhoneFileEntry> files_;
    std::vector<PhoneFileEntry> toFetch_;
    size_t nextFetch_ = 0;
    Phase phase_ = Phase::Idle;
    int stepsDone_ = 0;
    uint64_t fetchCount_ = 0;
};

} // namespace tessaro
