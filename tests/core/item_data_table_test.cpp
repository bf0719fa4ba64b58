#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/item_data.h"

namespace tessaro {
namespace {

ItemDataBlock blockOfKind(uint8_t kind)
{
    ItemDataBlock block;
    block.entries.push_back(DataEntry{.kind = kind});
    return block;
}

std::vector<size_t> slotsOf(const ItemDataTable& table)
{
    std::vector<size_t> slots;
    table.forEachBlock([&](size_t slot, const ItemDataBlock& block) {
        EXPECT_EQ(block.owner, slot);
        EXPECT_EQ(block.entries.at(0).kind, slot % 200);
        slots.push_back(slot);
    });
    return slots;
}

// Slots on either side of the mask's word boundaries; copies and moves take exactly those.
TEST(ItemDataTable, CopiesMovesAndClearsTheSlotsInUse)
{
    const std::vector<size_t> used = {0, 63, 64, 127, 200, 255};
    ItemDataTable table;
    for (const size_t slot : used)
        table.store(slot, blockOfKind(static_cast<uint8_t>(slot % 200)));
    table.store(256, blockOfKind(0)); // no such slot
    table.store(63, blockOfKind(63)); // replaces
    EXPECT_EQ(table.count(), used.size());
    EXPECT_EQ(slotsOf(table), used);

    ItemDataTable copy = table;
    EXPECT_TRUE(copy.drop(63));
    EXPECT_FALSE(copy.drop(63));
    EXPECT_EQ(table.count(), used.size());
    EXPECT_EQ(*copy.at(64), *table.at(64));

    ItemDataTable moved = std::move(copy);
    EXPECT_EQ(copy.count(), 0u);
    EXPECT_EQ(copy.at(0), nullptr);
    EXPECT_EQ(moved.count(), used.size() - 1);

    moved = table;
    table.clear();
    EXPECT_EQ(table.count(), 0u);
    EXPECT_EQ(table.at(255), nullptr);
    EXPECT_EQ(slotsOf(moved), used);
}

} // namespace
} // namespace tessaro
