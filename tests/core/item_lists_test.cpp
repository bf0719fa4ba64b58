#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/item_lists.h"

namespace tessaro {
namespace {

// Identifiers are found by hash in either list, the first of equal ones, after every change.
TEST(ItemLists, FindsTheFirstOfEqualIdentifiers)
{
    ItemLists lists;
    lists.setBase({{"Games", "Games"}, {"Tools", "Tools"}, {"Games", "Games [new]"}});
    lists.makeAllAvailable();
    EXPECT_EQ(lists.findInBase("Games"), 0u);
    EXPECT_EQ(lists.findAvailable("Tools"), 1u);
    EXPECT_EQ(lists.findAvailable("Custom item"), 3u);
    EXPECT_EQ(lists.findAvailable("games"), lists.available().size());

    // A full list: the first 255 entries are kept, "Custom item" after them.
    std::vector<ItemEntry> many;
    for (int i = 0; i < 300; ++i)
        many.push_back({"Item" + std::to_string(i), ""});
    lists.setAvailable(many);
    for (size_t i = 0; i < 255; ++i)
        EXPECT_EQ(lists.findAvailable("Item" + std::to_string(i)), i);
    EXPECT_EQ(lists.findAvailable("Item255"), lists.available().size());
    EXPECT_EQ(lists.findAvailable("Custom item"), 255u);
    EXPECT_FALSE(lists.isAllowed("Tools"));
    EXPECT_EQ(lists.findInBase("Tools"), 1u);
}

} // namespace
} // namespace tessaro
