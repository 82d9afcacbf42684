#include "platform/sim/codepage.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage, AnsiRoundTripsAndUnmappableCharacters) {
    EXPECT_EQ(sim::Utf16ToAnsi(u"Property", 1252), "Property");
    EXPECT_EQ(sim::Utf16ToAnsi(u"caf\u00e9", 1252), "caf\xE9");
    EXPECT_EQ(sim::Utf16ToAnsi(u"\u8996\u8a0a", 950), "\xB5\xF8\xB0\x54");
    EXPECT_EQ(sim::Utf16ToAnsi(u"\u5b8b\u4f53", 936), "\xCB\xCE\xCC\xE5");
    // A character the code page lacks becomes one '?', and the rest still converts.
    EXPECT_EQ(sim::Utf16ToAnsi(u"a\u8996b", 1252), "a?b");
    EXPECT_EQ(sim::AnsiToUtf16("\xB5\xF8\xB0\x54", 950), u"\u8996\u8a0a");
    EXPECT_EQ(sim::AnsiToUtf16("caf\xE9", 1252), u"caf\u00e9");
}

TEST(CodePage, WideAndUtf8) {
    EXPECT_EQ(sim::WideToUtf16(L"A\U0001F600"), u"A\U0001F600");
    EXPECT_EQ(sim::Utf16ToWide(u"A\U0001F600"), L"A\U0001F600");
    EXPECT_EQ(sim::Utf16ToUtf8(u"\u5b8b\u4f53"), "\xE5\xAE\x8B\xE4\xBD\x93");
    EXPECT_EQ(sim::Utf8ToUtf16("\xE5\xAE\x8B"), u"\u5b8b");
}

}  // namespace
