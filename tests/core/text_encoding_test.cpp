#include <gtest/gtest.h>

#include "core/text_encoding.h"

namespace tessaro {
namespace {

TEST(TextEncoding, OneBytePerCharacterToUtf8AndBack)
{
    EXPECT_EQ(latin1ToUtf8("Menu"), "Menu");
    EXPECT_EQ(latin1ToUtf8("\xE9t\xE9"), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(utf8ToLatin1("\xC3\xA9t\xC3\xA9"), "\xE9t\xE9");
    EXPECT_EQ(utf8ToLatin1(latin1ToUtf8(std::string("\x00\x7F\x80\xFF", 4))), std::string("\x00\x7F\x80\xFF", 4));
}

TEST(TextEncoding, WhatOneByteCannotHoldBecomesAQuestionMark)
{
    EXPECT_EQ(utf8ToLatin1("\xE2\x82\xAC" "5"), "?5");        // the euro sign lies above U+00FF
    EXPECT_EQ(utf8ToLatin1("a\xC3"), "a?");                    // cut in the middle of a character
    EXPECT_EQ(utf8ToLatin1("\xC3(x"), "?(x");                  // a lead byte without its follower
    EXPECT_EQ(utf8ToLatin1("\xF0\x9F\x98\x80"), "?");          // outside the basic plane
}

TEST(TextEncoding, Utf16ToUtf8)
{
    EXPECT_EQ(utf16ToUtf8(u"Spiele"), "Spiele");
    EXPECT_EQ(utf16ToUtf8(u"\u00E9"), "\xC3\xA9");
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");  // unpaired surrogate
}

TEST(TextEncoding, Utf8ToUtf16AndWhatSurvivesTheWayBack)
{
    EXPECT_EQ(utf8ToUtf16("Spiele \xC3\xA9\xF0\x9F\x98\x80"), u"Spiele \u00E9\U0001F600");
    EXPECT_EQ(utf8ToUtf16("a\xC3"), u"a\uFFFD");
    EXPECT_TRUE(isPairedUtf16(u"\U0001F600"));
    EXPECT_FALSE(isPairedUtf16(std::u16string(1, char16_t(0xDC00))));
    EXPECT_FALSE(isPairedUtf16(std::u16string{char16_t(0xD800), u'a'}));
}

} // namespace
} // namespace tessaro
