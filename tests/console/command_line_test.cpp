#include "tools/lumiset-sim/command_line.h"

#include <gtest/gtest.h>

namespace {

using Words = std::vector<std::string>;

TEST(CommandLine, WordsQuotesAndComments) {
    EXPECT_EQ(console::SplitWords("  wait   1000  "), (Words{"wait", "1000"}));
    EXPECT_EQ(console::SplitWords("window open - \"  two words\" # comment"),
              (Words{"window", "open", "-", "  two words"}));
    EXPECT_EQ(console::SplitWords("# only a comment"), Words{});
    EXPECT_EQ(console::SplitWords("reg set string \"a # b\""),
              (Words{"reg", "set", "string", "a # b"}));
    EXPECT_EQ(console::SplitWords("window close \"open"), std::nullopt);
    // A class atom is a word; a `#` inside a word is text.
    EXPECT_EQ(console::SplitWords("window open #32770 Property #note"),
              (Words{"window", "open", "#32770", "Property"}));
    EXPECT_EQ(console::SplitWords("reg set string a#b"), (Words{"reg", "set", "string", "a#b"}));
}

TEST(CommandLine, RestOfLineKeepsTheTitleAsTyped) {
    EXPECT_EQ(console::RestOfLine("window open - My   Title  ", 3), "My   Title");
    EXPECT_EQ(console::RestOfLine("window open - \"  padded \"", 3), "  padded ");
    EXPECT_EQ(console::RestOfLine("window open \"a b\" Title", 3), "Title");
    EXPECT_EQ(console::RestOfLine("window show \"x\" trailing", 2), std::nullopt);
    EXPECT_EQ(console::RestOfLine("window show", 2), "");
}

TEST(CommandLine, NumbersAreDecimalOrHex) {
    EXPECT_EQ(console::ParseNumber("32772"), 32772);
    EXPECT_EQ(console::ParseNumber("0x83E8"), 0x83E8);
    EXPECT_EQ(console::ParseNumber("0X10"), 16);
    EXPECT_EQ(console::ParseNumber("-1"), -1);
    EXPECT_EQ(console::ParseNumber("-0x8000000000000000"), INT64_MIN);
    EXPECT_EQ(console::ParseNumber("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(console::ParseNumber("-0"), 0);
    // The value written, never its bits: beyond int64 is beyond, not a negative.
    EXPECT_EQ(console::ParseNumber("9223372036854775808"), std::nullopt);
    EXPECT_EQ(console::ParseNumber("-9223372036854775809"), std::nullopt);
    EXPECT_EQ(console::ParseNumber("0xFFFFFFFFFFFFFFFF"), std::nullopt);
    EXPECT_EQ(console::ParseNumber("18446744073709551615"), std::nullopt);
    EXPECT_EQ(console::ParseNumber("0x1FFFFFFFFFFFFFFFF"), std::nullopt);
    EXPECT_EQ(console::ParseNumber("+1"), std::nullopt);
    EXPECT_EQ(console::ParseNumber("--1"), std::nullopt);
    EXPECT_EQ(console::ParseNumber("0x-1"), std::nullopt);
    EXPECT_EQ(console::ParseNumber("12a"), std::nullopt);
    EXPECT_EQ(console::ParseNumber("0x"), std::nullopt);
    EXPECT_EQ(console::ParseNumber(""), std::nullopt);
    EXPECT_EQ(console::ParseNumber("-"), std::nullopt);
}

TEST(CommandLine, RangedNumbersKeepTheirBoundsWithoutWrapping) {
    EXPECT_EQ(console::ParseNumberIn("0", 0, 40), 0);
    EXPECT_EQ(console::ParseNumberIn("0x28", 0, 40), 40);
    EXPECT_EQ(console::ParseNumberIn("41", 0, 40), std::nullopt);
    EXPECT_EQ(console::ParseNumberIn("-1", 0, 40), std::nullopt);
    // 2^32 + 1 is not 1, and 2^64 - 1 is not -1, once a range is asked for.
    EXPECT_EQ(console::ParseNumberIn("4294967297", 1, INT32_MAX), std::nullopt);
    EXPECT_EQ(console::ParseNumberIn("0xFFFFFFFFFFFFFFFF", 0, UINT32_MAX), std::nullopt);
    EXPECT_EQ(console::ParseNumberIn("4294967295", 0, UINT32_MAX), 4294967295);
    EXPECT_EQ(console::ParseNumberIn("x", 0, 1), std::nullopt);
    // 2^64 - 2^31 is not INT32_MIN; a 32-bit channel takes 0xFFFFFFFF as its bits.
    EXPECT_EQ(console::ParseNumberIn("18446744071562067968", INT32_MIN, INT32_MAX), std::nullopt);
    EXPECT_EQ(console::ParseNumberIn("0xFFFFFFFF", INT32_MIN, INT32_MAX), std::nullopt);
    EXPECT_EQ(console::ParseNumberIn("0xFFFFFFFF", INT32_MIN, UINT32_MAX), 4294967295);
    EXPECT_EQ(console::ParseNumberIn("-2147483648", INT32_MIN, INT32_MAX), INT32_MIN);

    // Which bound a number broke, at any length.
    using console::NumberFit;
    EXPECT_EQ(console::FitIn("12a", 0, 9), NumberFit::NotANumber);
    EXPECT_EQ(console::FitIn("-99999999999999999999999", 0, 9), NumberFit::Below);
    EXPECT_EQ(console::FitIn("-9223372036854775808", 0, 9), NumberFit::Below);
    EXPECT_EQ(console::FitIn("9", 0, 9), NumberFit::Within);
    EXPECT_EQ(console::FitIn("18446744073709551615", 0, 9), NumberFit::Above);
    EXPECT_EQ(console::FitIn("0x10000000000000000", INT64_MIN, INT64_MAX), NumberFit::Above);
}

TEST(CommandLine, MessageParametersTakeAny64BitValue) {
    EXPECT_EQ(console::ParseBits64("0xFFFFFFFFFFFFFFFF"), UINT64_MAX);
    EXPECT_EQ(console::ParseBits64("18446744073709551615"), UINT64_MAX);
    EXPECT_EQ(console::ParseBits64("-1"), UINT64_MAX);
    EXPECT_EQ(console::ParseBits64("-9223372036854775808"), std::uint64_t{1} << 63);
    EXPECT_EQ(console::ParseBits64("-9223372036854775809"), std::nullopt);
    EXPECT_EQ(console::ParseBits64("18446744073709551616"), std::nullopt);
    EXPECT_EQ(console::ParseBits64("0x"), std::nullopt);
}

}  // namespace
