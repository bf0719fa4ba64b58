#pragma once
// A private folder for the working copies of one run (the phone's menu and Java tables, the
// descriptors downloaded for a patch): made new under the system's temporary folder, so it
// holds nothing of the user's and two runs never share it, and removed with everything in it
// when the run ends. A run that is killed cannot remove its folder: each folder holds a mark,
// the file ".owner" (the process id of its run), that its run keeps locked while it lives, and
// making a new folder removes the marked folders whose lock no run holds any more.

#include <string>

#include "core/result.h"

namespace tessaro {

class WorkingFolder {
public:
    // Makes the folder under the system's temporary folder ($TMPDIR, else /tmp); its path is
    // empty (and every working copy fails) when it cannot be made.
    WorkingFolder();
    // The same under `base`. Before it is made, the folders "tessaro-XXXXXX" of `base` that
    // belong to this user and hold an ".owner" mark that no living run holds locked are removed;
    // a folder without the mark, another user's, a link or one a run still holds stays.
    explicit WorkingFolder(const std::string& base);
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    // The folder with a trailing separator.
    const std::string& path() const { return path_; }
    // A working copy's path in the folder.
    std::string file(const std::string& name) const { return path_ + name; }
    // Whether the folder was made; else "Cannot make a working folder: REASON" (kind Io), and
    // nothing may be written in its place.
    Status ready() const;

private:
    std::string path_;
    int errno_ = 0;    // why the folder could not be made
    int ownerFd_ = -1; // the locked mark, held while the folder lives
};

} // namespace tessaro
