#pragma once
// An item data block as the fields an editor shows: title lists, one icon per row (file-system
// path or DRM number) and the function texts and numbers, each present or not. Reading a block
// into fields and writing fields back into a block in the fixed record order side by side.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/item_data.h"

namespace tessaro {

// Icon rows, in the order of the fields' icon arrays.
inline constexpr int kIconAnimated = 0;
inline constexpr int kIconStatic = 1;
inline constexpr int kIconList = 2;

struct ItemDataFields {
    std::optional<std::vector<Title>> menuTitles;       // kind 0
    std::optional<std::vector<Title>> softkeyTitles;    // kind 1
    std::array<std::optional<std::u16string>, 3> paths; // kind 12, by icon row
    std::array<std::optional<uint16_t>, 3> drm;         // kinds 17, 16, 15, by icon row
    std::optional<std::vector<Title>> showText;         // kind 21
    std::optional<std::string> url, dial, midlet1, midletName, midletVendor, shortcut;
    std::optional<uint16_t> action;
    std::array<std::optional<uint8_t>, 3> codes; // kinds 18..20
    std::optional<DataEntry> unsupported;        // records of unknown kinds
    // Kind of the last function record read (URL, dial number, MIDlet texts, codes, action,
    // shortcut data, show text); none for a block without one. Not used when writing.
    std::optional<uint8_t> lastFunctionKind;

    // Drops the function fields and the unsupported records.
    void clearFunction();
    // True when writing would give at least one record (the unsupported ones only with saveAll).
    bool any(bool saveAll) const;

    bool operator==(const ItemDataFields&) const = default;
};

// The fields of a block. Of two records for one field the later one counts; an icon row holds
// either its path or its DRM number, whichever came later. Shortcut data is cut at its zero
// byte and at 25 characters.
ItemDataFields readItemDataFields(const ItemDataBlock& block);

// The block of the fields in the fixed record order (titles, show text, file-system icons,
// URL, dial number, MIDlet texts, DRM icons, action, shortcut data, codes, unsupported records
// only with saveAll), at most kMaxEntries records; owner left 0.
ItemDataBlock writeItemDataFields(const ItemDataFields& fields, bool saveAll);

} // namespace tessaro
