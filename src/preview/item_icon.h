#pragma once
// Which picture a menu item shows, and where the phone takes it from: a file of its file
// system (a phone path), a DRM icon of its firmware (a number), or nothing the menu names, in
// which case the phone shows its own built-in picture.

#include <cstdint>
#include <string>

namespace tessaro {

class ItemDataTable;
class MenuNode;

// The three pictures an item may name: in lists, in the grid, and the grid's selected item.
enum class IconRole { List, Static, Animated };

struct IconRef {
    enum class Source { Firmware, File, Drm };
    Source source = Source::Firmware;
    std::string path;    // Source::File: the phone path, one byte per character
    uint16_t number = 0; // Source::Drm: the DRM icon number (1-based, as the picker shows it)

    bool isFirmware() const { return source == Source::Firmware; }
    // A text naming the picture, equal for equal pictures: "file:/a/x.gif", "drm:12", "".
    std::string key() const;

    bool operator==(const IconRef&) const = default;
};

// The picture `node` names for `role`: of two records for one role the later counts, a path
// or a DRM number alike. A path with characters beyond one byte keeps them as '?', which no
// phone file carries.
IconRef itemIcon(const ItemDataTable& data, const MenuNode& node, IconRole role);

// "list icon", "static icon", "animated icon".
std::string iconRoleName(IconRole role);

} // namespace tessaro
