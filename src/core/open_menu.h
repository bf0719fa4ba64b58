#pragma once
// The open document together with the program-wide tables it is read, edited and written
// under: the item lists, the save mode and the custom counter.

#include <cstdint>

#include "core/item_lists.h"
#include "core/menu_document.h"
#include "core/save_mode.h"

namespace tessaro {

struct OpenMenu {
    MenuDocument document;
    ItemLists items;
    SaveMode saveMode;
    // Highest custom number in use; never lowered while the program runs.
    uint8_t customCounter = 0;
    // Record length of the last file read (0 before any): the status line's "Format:".
    int formatRead = 0;
};

} // namespace tessaro
