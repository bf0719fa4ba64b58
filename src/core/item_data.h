#pragma once
// Item data: the typed data records of one menu item (titles, icons, function) as an item
// data block, and the table of 256 blocks indexed by recordNo.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/entry_text.h"

namespace tessaro {

// Record kinds as stored in the file.
namespace kind {
inline constexpr uint8_t MenuTitle = 0;
inline constexpr uint8_t SoftkeyTitle = 1;
inline constexpr uint8_t Url = 5;
inline constexpr uint8_t DialNumber = 6;      // 36-byte files; in 22-byte files an "06" icon
inline constexpr uint8_t Midlet1 = 9;
inline constexpr uint8_t MidletName = 10;
inline constexpr uint8_t MidletVendor = 11;
inline constexpr uint8_t FileIcon = 12;
inline constexpr uint8_t DrmListIcon = 15;
inline constexpr uint8_t DrmStaticIcon = 16;
inline constexpr uint8_t DrmAnimatedIcon = 17;
inline constexpr uint8_t Code12 = 18;
inline constexpr uint8_t Code13 = 19;
inline constexpr uint8_t Code14 = 20;
inline constexpr uint8_t ShowText = 21;
inline constexpr uint8_t Action = 22;
inline constexpr uint8_t ShortcutData = 23;
inline constexpr uint8_t Unsupported = 0xFE;  // in memory only: records of unknown kinds
} // namespace kind

// Icon roles (first payload byte of a file-system icon).
inline constexpr uint8_t kRoleAnimated = 4;
inline constexpr uint8_t kRoleStatic = 3;
inline constexpr uint8_t kRoleList = 2;

// Fixed capacities of a block.
inline constexpr size_t kMaxEntries = 11;
inline constexpr size_t kMaxTitles = 28;
inline constexpr size_t kMaxTitleChars = 399;          // 800-byte buffer with its zero unit
inline constexpr size_t kMaxUnsupportedRecords = 11;
inline constexpr size_t kMaxUnsupportedPayload = 2048;
inline constexpr size_t kShortcutDataLength = 25;
inline constexpr size_t kTableSlots = 256;

struct Title {
    uint8_t language = 1;        // language id 1..47
    EntryText text;              // without the zero unit

    bool operator==(const Title&) const = default;
};

struct UnsupportedRecord {
    uint8_t kind = 0;
    uint16_t length = 0;         // L as stored
    std::vector<uint8_t> payload;

    bool operator==(const UnsupportedRecord&) const = default;
};

// One data entry. Which fields are meaningful depends on `kind`:
//   titles (0, 1, 21): `titles`
//   ASCII (5, 6 as dial number, 9, 10, 11) and shortcut data (23): `bytes` (payload as stored)
//   file-system icon (12): `role`, `path`
//   DRM icons (15, 16, 17): `first`, `number`
//   codes (18, 19, 20): `value` (one byte); action (22): `value` (16-bit)
//   unsupported (0xFE): `records`
// Its payload length is what the codec writes for it (encodedPayloadLength).
struct DataEntry {
    uint8_t kind = 0;
    std::vector<Title> titles;
    std::vector<uint8_t> bytes;
    uint8_t role = 0;
    EntryText path;
    uint8_t first = 0;
    uint16_t number = 0;
    uint16_t value = 0;
    std::vector<UnsupportedRecord> records;

    bool operator==(const DataEntry&) const = default;
};

struct ItemDataBlock {
    uint8_t owner = 0;           // the owner's recordNo
    std::vector<DataEntry> entries;  // at most kMaxEntries

    bool operator==(const ItemDataBlock&) const = default;
};

// The 256 slots of item data, indexed by recordNo. Blocks are held in place, so storing one
// allocates nothing beyond its entries and a block stays where it is while others come and
// go. A mask of the slots in use lets moving, copying, clearing and counting the table look
// at those slots only: a menu has blocks in a few dozen of them.
class ItemDataTable {
public:
    ItemDataTable() = default;
    ItemDataTable(const ItemDataTable& other);
    // The table moved from is left empty.
    ItemDataTable(ItemDataTable&& other) noexcept;
    ItemDataTable& operator=(const ItemDataTable& other);
    ItemDataTable& operator=(ItemDataTable&& other) noexcept;
    ~ItemDataTable() { clear(); }

    ItemDataBlock* at(size_t slot) { return slot < kTableSlots && inUse(slot) ? &slots_[slot].block : nullptr; }
    const ItemDataBlock* at(size_t slot) const
    {
        return slot < kTableSlots && inUse(slot) ? &slots_[slot].block : nullptr;
    }
    // Stores a block in a slot (replacing any block there) and sets its owner byte.
    void store(size_t slot, ItemDataBlock block);
    // Drops the block of a slot; returns whether there was one.
    bool drop(size_t slot);
    // Drops every block.
    void clear();
    // Number of blocks held (`DataBlockCount`).
    size_t count() const;
    // Calls f(slot, block) for each block held, in slot order; f must not store or drop.
    template <typename F>
    void forEachBlock(F&& f) const
    {
        forEachInUse([&](size_t slot) { f(slot, static_cast<const ItemDataBlock&>(slots_[slot].block)); });
    }

private:
    // A slot's block exists only while the slot's bit in used_ is set.
    union Slot {
        Slot() {}
        ~Slot() {}
        ItemDataBlock block;
    };

    bool inUse(size_t slot) const { return (used_[slot / 64] >> (slot % 64)) & 1; }
    // Calls f(slot) for each slot in use, in slot order.
    template <typename F>
    void forEachInUse(F&& f) const
    {
        for (size_t word = 0; word < used_.size(); ++word)
            for (uint64_t bits = used_[word]; bits != 0; bits &= bits - 1)
                f(word * 64 + static_cast<size_t>(std::countr_zero(bits)));
    }
    // Copies or moves the blocks of `other` into this table, which is empty.
    void takeBlocksOf(const ItemDataTable& other);
    void takeBlocksOf(ItemDataTable&& other);

    std::array<Slot, kTableSlots> slots_;
    std::array<uint64_t, kTableSlots / 64> used_{};
};

// Frees every block of the table.
void freeItemData(ItemDataTable& table);

// Helpers for the texts of entries.
std::string asciiText(const DataEntry& entry);      // `bytes` up to the first zero byte
std::u16string textUpToZero(std::u16string_view text);

} // namespace tessaro
