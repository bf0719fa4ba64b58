#pragma once
// What changed between two menus, item by item. Softkeys are matched by position; main-menu
// items by identifier (the n-th item of a name with the n-th of the same name in pre-order),
// so an item keeps its identity when it moves.

#include <string>
#include <vector>

#include "core/menu_description.h"

namespace tessaro {

enum class ChangeKind {
    SaveMode, // a setting of the save mode
    Added,    // an item only in the second menu
    Removed,  // an item only in the first menu
    Moved,    // another parent, or another place among the siblings both menus share
    Replaced, // another identifier at a softkey position
    Type,
    Options,
    Attributes,
    Titles,   // a title of one language added, removed or changed
    Icon,     // a file-system or DRM icon
    Function, // URL, dial number, MIDlet, codes, action, shortcut
    Data,     // unsupported records, or the same records in another order
};

struct MenuChange {
    ChangeKind kind;
    std::string item; // the identifier concerned; empty for the save mode
    std::string text; // one line, e.g. "moved Calculator from Games #1 to Games/Tools #2"
};

// The changes from `before` to `after`, save mode first, then the softkeys in order, then
// the main menu: removals in the first menu's order, additions, moves and changes in the
// second's. Empty exactly when the two descriptions are equal.
std::vector<MenuChange> compareMenus(const MenuDescription& before, const MenuDescription& after);

// The lines of compareMenus.
std::vector<std::string> menuChangeLines(const MenuDescription& before, const MenuDescription& after);

// The short name of a kind of change for machine-readable output: "saveMode", "added", ...
const char* changeKindName(ChangeKind kind);

} // namespace tessaro
