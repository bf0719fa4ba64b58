#pragma once
// Menus as text files for the editor: export the open menu as its JSON description, import
// one as the open menu, and describe either kind of file for a comparison.

#include <string>

#include "core/menu_description.h"
#include "core/result.h"

namespace tessaro {

class ItemLists;
struct OpenMenu;

// Writes the description of the open menu's document under its save mode to `path` through
// the safe replace.
Status exportMenuText(const OpenMenu& menu, const std::string& path);

// Reads the description at `path` and makes it the open menu's document and save mode. On
// failure (unreadable file, bad JSON, a description the editor refuses) the open menu is left
// as it was; the error names the JSON path of the value at fault.
Status importMenuText(const std::string& path, OpenMenu& menu);

// The description of a file of either kind: a text form (its first character that is no
// white space is "{") or an mma_ucp file, read under `items` (identifiers they lack are
// accepted and recorded nowhere). The description has "save all" on, whatever a text says, so
// records of unknown kinds count in a comparison and the setting itself does not.
Result<MenuDescription> describeMenuFile(const std::string& path, const ItemLists& items);

} // namespace tessaro
