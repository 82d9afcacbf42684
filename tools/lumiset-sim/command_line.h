// Splitting a console line into words and reading the numbers in it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace console {

// Words separated by blanks; `#` outside quotes starts a comment. A word in double quotes keeps
// its blanks. nullopt when a quote is not closed.
std::optional<std::vector<std::string>> SplitWords(std::string_view line);

// A decimal or 0x-prefixed hexadecimal number, optionally negative, from INT64_MIN to INT64_MAX;
// nullopt for anything else. A number is the value written: 0xFFFFFFFFFFFFFFFF and
// 18446744073709551615 lie beyond, they are not -1.
std::optional<std::int64_t> ParseNumber(std::string_view text);

// ParseNumber's number when it lies from `min` to `max`; nullopt for anything else. The range is
// checked on the value written, before anything is converted.
std::optional<std::int64_t> ParseNumberIn(std::string_view text, std::int64_t min,
                                          std::int64_t max);

// Where a word lies against a range, for an error that names the bound it broke. A number of
// any length counts, by its value.
enum class NumberFit { NotANumber, Below, Within, Above };
NumberFit FitIn(std::string_view text, std::int64_t min, std::int64_t max);

// A 64-bit message parameter: a number from -0x8000000000000000 to 0xFFFFFFFFFFFFFFFF, as its 64
// bits (a negative one in two's complement); nullopt for anything else.
std::optional<std::uint64_t> ParseBits64(std::string_view text);

// The rest of the line after the first `skip` words, as a title: a quoted text keeps its blanks,
// otherwise the words as typed with surrounding blanks removed.
std::optional<std::string> RestOfLine(std::string_view line, size_t skip);

}  // namespace console
