#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/catalogue.h"
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

// Every ItemLists starts from the same built-in catalogue; a change to one leaves its copies as
// they were.
TEST(ItemLists, CopiesKeepTheirListsWhenTheOriginalChanges)
{
    ItemLists original;
    const ItemLists copy = original;
    original.setBase({{"Zither", "Zither"}});
    original.makeAllAvailable();
    EXPECT_EQ(original.available().size(), 2u);
    EXPECT_EQ(original.findAvailable("Zither"), 0u);

    EXPECT_EQ(copy.base().size(), kItemCatalogue.size() + 1);
    EXPECT_EQ(copy.available(), copy.base());
    EXPECT_EQ(copy.findAvailable("Zither"), copy.available().size());
    EXPECT_EQ(copy.findInBase("2CLICK"), 0u);
    EXPECT_EQ(ItemLists().available(), copy.available());
}

} // namespace
} // namespace tessaro
