#pragma once
// The two working lists of menu items: the item base (everything the editor knows) and the
// available items (the subset the selected profile allows). "Custom item" is always the last
// entry of both.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/translatable.h"

namespace tessaro {

// A menu that uses an item outside the available items does not match the profile in force:
// the writer refuses it, a read under the profile stops at it.
inline constexpr std::string_view kProfileMismatchText =
    TRANSLATABLE("Core", "mma_ucp doesn't match current profile");
inline constexpr std::string_view kProfileErrorCaption = TRANSLATABLE("Core", "Profile error");

struct ItemEntry {
    std::string identifier;
    std::string displayName;

    bool operator==(const ItemEntry&) const = default;
};

class ItemLists {
public:
    // The lists can hold 256 entries; the item base count is one byte, so it holds at most
    // 254 entries from itembase.dat plus "Custom item".
    static constexpr size_t kCapacity = 256;
    static constexpr size_t kMaxBaseEntries = 254;

    // Starts with the built-in catalogue as item base and everything available. The catalogue
    // lists are built once per run and shared by every ItemLists, so this and copying cost a
    // few reference counts.
    ItemLists();

    // Replaces the item base (entries without "Custom item", which is appended here; entries
    // beyond kMaxBaseEntries are dropped). Does not touch the available items.
    void setBase(std::vector<ItemEntry> entries);
    // Replaces the available items (without "Custom item", which is appended here).
    void setAvailable(std::vector<ItemEntry> entries);
    // The available items become the whole item base.
    void makeAllAvailable();

    const std::vector<ItemEntry>& base() const { return base_->entries; }
    const std::vector<ItemEntry>& available() const { return available_->entries; }

    // 0-based position in the available items, or the available count when absent.
    // Exact, case-sensitive comparison, first match wins.
    size_t findAvailable(std::string_view identifier) const;
    // 0-based position in the item base, or the item-base count when absent.
    size_t findInBase(std::string_view identifier) const;
    // A custom name ("~...") with a non-empty available list, or an available identifier.
    bool isAllowed(std::string_view identifier) const;

    // Display name of available position k; empty when k is out of range.
    std::string displayName(size_t k) const;
    // The canHoldItems flag of available position k: every entry can hold items.
    uint8_t canHoldItems(size_t) const { return 1; }

private:
    // One list with "Custom item" at its end and the positions of its identifiers by their
    // hash, so a look-up needs no scan: open addressing over a power-of-two table of
    // position + 1 (0: a free slot), at most half full. Of equal identifiers the first is
    // found. Never changed once built: a change builds a new list, and copies of ItemLists
    // share the old one.
    struct List {
        explicit List(std::vector<ItemEntry> entries);
        // Position of `identifier`; the entry count when absent.
        size_t find(std::string_view identifier) const;

        std::vector<ItemEntry> entries;
        std::vector<uint16_t> slots;
    };

    std::shared_ptr<const List> base_;
    std::shared_ptr<const List> available_;
};

} // namespace tessaro
