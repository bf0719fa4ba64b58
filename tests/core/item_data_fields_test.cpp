#include <gtest/gtest.h>

#include "core/item_data_codec.h"
#include "core/item_data_fields.h"
#include "support/menu_builder.h"

namespace tessaro {
namespace {

using namespace testing;
using Bytes = std::vector<uint8_t>;

struct RoundTrip {
    const char* name;
    Bytes bytes; // records in the order the editor writes them
};

// Block bytes -> fields -> block bytes, for every field the editor shows.
TEST(ItemDataFields, BlockToFieldsToBlockKeepsTheBytes)
{
    constexpr auto big = ByteOrder::Big;
    const RoundTrip cases[] = {
        {"titles", join({titleRecord(0, {{1, u"Menu"}, {35, u"\u041C\u0435\u043D\u044E"}}, 36, big),
                         titleRecord(1, {{1, u"Go"}}, 36, big)})},
        {"show text", join({titleRecord(0, {{1, u"Note"}}, 36, big), titleRecord(21, {{1, u"Hello"}}, 36, big)})},
        {"icons", join({iconRecord(12, 4, u"/a/anim.gif", big), iconRecord(12, 2, u"/c/list.gif", big),
                        drmRecord(16, 0x12, 77, big)})},
        {"url", join({asciiRecord(5, "http://x.org", big)})},
        {"java",
         join({asciiRecord(9, "Game, Game, 1", big), asciiRecord(10, "Game", big), asciiRecord(11, "Maker", big)})},
        {"action", join({actionRecord(4242, big)})},
        {"shortcut", join({shortcutRecord("CONTACTS", big)})},
        {"call", join({asciiRecord(6, "+12345", big)})},
        {"codes", join({codeRecord(18, 1, big), codeRecord(20, 255, big)})},
        {"unsupported", join({titleRecord(0, {{1, u"X"}}, 36, big), dataRecord(3, Bytes{1, 2, 3}, big)})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto decoded = decodeItemData(c.bytes, {36, big});
        ASSERT_TRUE(decoded.warnings.empty());
        const ItemDataFields fields = readItemDataFields(decoded.block);
        Bytes written;
        ASSERT_TRUE(
            encodeItemData(writeItemDataFields(fields, true), {{36, big}, IconMarker::K0C, true}, written).ok());
        EXPECT_EQ(written, c.bytes);
    }
}

} // namespace
} // namespace tessaro
