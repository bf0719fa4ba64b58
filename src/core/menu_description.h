#pragma once
// A menu as its own content: the save mode, the seven softkeys and the main menu as trees of
// items, each with its identifier, type, options, attributes and data records. What a file
// derives from the tree (record numbers, index fields, data offsets and lengths, the custom
// counter) is left out; installing a description into a menu computes it again. The text
// form (core/menu_text.h) and the comparison of two menus (core/menu_diff.h) work on it.

#include <cstdint>
#include <string>
#include <vector>

#include "core/item_data.h"
#include "core/mma_item.h"
#include "core/result.h"
#include "core/save_mode.h"

namespace tessaro {

class ItemLists;
class MenuDocument;
struct OpenMenu;

struct DescribedItem {
    std::string name; // the identifier, one byte per character
    uint8_t itemType = kTypeItem;
    uint8_t options = 0;
    uint8_t attributes = 0;
    std::vector<DataEntry> data;      // the data records in file order; empty: no data
    std::vector<DescribedItem> items; // the subitems (none for a softkey)

    bool operator==(const DescribedItem&) const = default;
};

struct MenuDescription {
    SaveMode saveMode;
    std::vector<DescribedItem> softkeys; // LSK, RSK, Up, Down, Left, Right, Smart
    std::vector<DescribedItem> menu;     // the Menu Root's items
    // Of a described file: the bytes outside its records that no save keeps (not in the text
    // form).
    std::vector<uint8_t> bytesOutsideRecords;

    bool operator==(const MenuDescription&) const = default;
};

// The description of a document under a save mode (an empty document gives no items).
MenuDescription describeMenu(const MenuDocument& document, const SaveMode& saveMode);

// Checks a description against what a menu file and the editor allow: seven softkeys without
// subitems, at most kMaxMenuItems menu items, identifiers that are available (or custom) and
// fit the record's name field, the capacities of a data block, no dial number in 22-byte
// records, no unsupported record that the reader would read as a kind it knows. Fails (kind Format) with the first problem, its text starting with the JSON path
// of the value in the text form, e.g. "/menu/3/data/0/titles/0/text: ...".
Status checkMenuDescription(const MenuDescription& description, const ItemLists& items);

// Checks the description, then replaces the open menu's document and save mode with it:
// captions from the available items, records renumbered, data stored, the custom counter
// raised to the highest custom number. On failure the open menu is left as it was.
Status installMenuDescription(const MenuDescription& description, OpenMenu& menu);

} // namespace tessaro
