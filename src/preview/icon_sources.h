#pragma once
// Where the pictures of a menu's icons come from, and what is known of each: the connected
// phone's files (fetched into the cache), a local folder that mirrors the phone's files, and
// the CG15 firmware image the DRM icon picker uses for DRM numbers. A picture that cannot be
// had comes with the reason, in the words the tree's tooltip and the checks show.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "preview/item_icon.h"

namespace tessaro {

class DrmPack;
class PhoneIcons;

enum class IconState {
    Shown,      // the picture is here
    PhoneOwn,   // the item names no picture: the phone shows one of its own
    Pending,    // the phone has it; it is being fetched
    Unknown,    // no source can tell (no phone, no icon folder, no firmware image)
    Missing,    // the source that should hold it does not
    Unreadable, // it is there but is no picture a phone could show
};

struct IconLook {
    IconState state = IconState::PhoneOwn;
    std::shared_ptr<const std::vector<uint8_t>> gif; // Shown: the GIF file
    std::string reason;                              // otherwise: why nothing is shown

    // Missing or unreadable: what a check reports.
    bool isProblem() const { return state == IconState::Missing || state == IconState::Unreadable; }
};

class IconSources {
public:
    // The connected phone's icons (listings and cached copies), or null. Not owned.
    void setPhone(const PhoneIcons* phone);
    const PhoneIcons* phone() const { return phone_; }
    // A local folder holding the phone's files as "DIR/a/mobile/picture/x.gif"; empty for none.
    void setFolder(std::string folder);
    const std::string& folder() const { return folder_; }
    // The firmware image's DRM icons, or null while none is loaded. Not owned.
    void setDrmPack(const DrmPack* pack);
    const DrmPack* drmPack() const { return pack_; }

    // What is known of `icon`. Pictures once read are remembered until forget().
    IconLook look(const IconRef& icon) const;
    // Drops what look() remembered: a source changed, or a fetch brought files.
    void forget();
    // Changes with every forget() and every source set: a view redraws when it moved on.
    uint64_t generation() const { return generation_; }

private:
    IconLook lookFile(const std::string& path) const;
    IconLook lookDrm(uint16_t number) const;
    // The picture in the local file `file`, named `path` in texts.
    IconLook readPicture(const std::string& file, const std::string& path) const;

    const PhoneIcons* phone_ = nullptr;
    std::string folder_;
    const DrmPack* pack_ = nullptr;
    mutable std::unordered_map<std::string, IconLook> known_;
    uint64_t generation_ = 0;
};

} // namespace tessaro
