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

// A decimal or 0x-prefixed hexadecimal number, optionally negative; nullopt for anything else,
// including values beyond 64 bits.
std::optional<std::int64_t> ParseNumber(std::string_view text);

// ParseNumber's number when it lies from `min` to `max`; nullopt for anything else.
std::optional<std::int64_t> ParseNumberIn(std::string_view text, std::int64_t min,
                                          std::int64_t max);

// The rest of the line after the first `skip` words, as a title: a quoted text keeps its blanks,
// otherwise the words as typed with surrounding blanks removed.
std::optional<std::string> RestOfLine(std::string_view line, size_t skip);

}  // namespace console
