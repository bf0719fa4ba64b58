#pragma once
// The record every menu tree node owns: the fields of one mma_ucp item record plus the
// editor's bookkeeping (recordNo, hasData, canHoldItems).

#include <cstdint>
#include <string>

namespace tessaro {

inline constexpr uint8_t kNoIndex = 0xFF;      // index fields: no record
inline constexpr uint8_t kGroupSoftkeys = 0xCC;
inline constexpr uint8_t kGroupMenu = 0xCD;

// itemType values.
inline constexpr uint8_t kTypeItem = 0;
inline constexpr uint8_t kTypeContainer = 1;
inline constexpr uint8_t kTypeUrl = 3;
inline constexpr uint8_t kTypeCall = 4;
inline constexpr uint8_t kTypeSms = 5;
inline constexpr uint8_t kTypeJava = 6;
inline constexpr uint8_t kTypeShowText = 7;
inline constexpr uint8_t kTypeAction = 8;
inline constexpr uint8_t kTypeShortcut = 9;

// Attribute bits.
inline constexpr uint8_t kAttrLockable = 0x01;
inline constexpr uint8_t kAttrNonChangeable = 0x04;
inline constexpr uint8_t kAttrProtected = 0x20;

// Options values: an item with a title of its own, and a custom item (read back as titled on
// catalogue items).
inline constexpr uint8_t kOptionsTitled = 0x08;
inline constexpr uint8_t kOptionsCustom = 0x18;

// The options of an item once it has titles of its own: titled, unless it is custom.
inline constexpr uint8_t optionsWithTitles(uint8_t options)
{
    return options == kOptionsCustom ? kOptionsCustom : kOptionsTitled;
}

// The fixed records: the Softkeys container is record 1 (recordNo 2), the seven softkeys
// records 2 to 8, the Menu Root record 9 (recordNo 10).
inline constexpr uint8_t kSoftkeysRecordNo = 2;
inline constexpr uint8_t kFirstSoftkeyRecordNo = 3;
inline constexpr uint8_t kMenuRootRecordNo = 10;

struct MenuRecord {
    uint8_t itemType = 0;
    uint8_t parentIndex = kNoIndex;
    uint8_t nextIndex = kNoIndex;
    uint8_t childIndex = kNoIndex;
    uint8_t recordNo = 0;        // own record index + 1; also the item data table slot
    uint8_t options = 0;
    uint8_t attributes = 0;
    std::string name;            // identifier, or "~N" for a custom item
    uint8_t group = kGroupMenu;
    uint16_t dataOffset = 0;
    uint16_t dataLength = 0;
    bool hasData = false;
    uint8_t canHoldItems = 1;
    // Read from a file though no item list holds it: an identifier beyond the item base's
    // capacity, one a damaged file brought, or a name no itembase.dat line can hold. What was
    // read can always be written back as it came, so a save keeps it whatever the lists say.
    bool unlisted = false;

    bool operator==(const MenuRecord&) const = default;
};

// True for the name of a custom item ("~" followed by a number).
inline bool isCustomName(const std::string& name)
{
    return !name.empty() && name.front() == '~';
}

} // namespace tessaro
