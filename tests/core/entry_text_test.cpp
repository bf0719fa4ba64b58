#include <gtest/gtest.h>

#include <string>

#include "core/entry_text.h"
#include "core/item_data.h"

namespace tessaro {
namespace {

// Texts that fit the object and texts on the heap keep their units through copies, moves and
// assignments.
TEST(EntryText, KeepsItsUnitsInlineAndOnTheHeap)
{
    for (size_t size : {size_t(0), EntryText::kInlineUnits, EntryText::kInlineUnits + 1, kMaxTitleChars}) {
        std::u16string units(size, u'\0');
        for (size_t i = 0; i < size; ++i)
            units[i] = static_cast<char16_t>(u'a' + i % 26);
        const EntryText text(units);
        EXPECT_EQ(text.view(), units);
        EntryText copy = text;
        EXPECT_EQ(copy, text);
        const EntryText moved = std::move(copy);
        EXPECT_EQ(moved.view(), units);
        EntryText assigned(u"\u0416");
        assigned = moved;
        EXPECT_EQ(assigned, text);
        assigned = EntryText(u"short");
        EXPECT_EQ(assigned, u"short");
    }
}

} // namespace
} // namespace tessaro
