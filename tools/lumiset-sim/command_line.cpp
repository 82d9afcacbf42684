#include "tools/lumiset-sim/command_line.h"

#include <charconv>
#include <cstdint>

namespace console {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Removes a comment: a `#` that begins a word outside quotes. A class atom such as #32770 is a
// word, not a comment.
std::string_view WithoutComment(std::string_view line) {
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') {
            quoted = !quoted;
        } else if (line[i] == '#' && !quoted && (i == 0 || IsBlank(line[i - 1])) &&
                   !(i + 1 < line.size() && IsDigit(line[i + 1]))) {
            return line.substr(0, i);
        }
    }
    return line;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// A number as written: its sign and its magnitude, exact up to 64 bits.
struct WrittenNumber {
    bool negative = false;
    bool beyond_64_bits = false;  // the magnitude does not fit; `magnitude` means nothing then
    std::uint64_t magnitude = 0;
};

// Decimal or 0x-prefixed hexadecimal digits, optionally after a minus sign, of any length.
std::optional<WrittenNumber> Read(std::string_view text) {
    WrittenNumber number;
    if (!text.empty() && text.front() == '-') {
        number.negative = true;
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), number.magnitude, base);
    if (end != text.data() + text.size()) {
        return std::nullopt;
    }
    if (error == std::errc::result_out_of_range) {
        number.beyond_64_bits = true;
    } else if (error != std::errc()) {
        return std::nullopt;
    }
    return number;
}

// The value of a number that FitIn found within int64.
std::int64_t ValueOf(const WrittenNumber& number) {
    if (!number.negative) {
        return static_cast<std::int64_t>(number.magnitude);
    }
    // -2^63 has no positive counterpart in int64: negate one less, then step down.
    return number.magnitude == 0 ? 0 : -static_cast<std::int64_t>(number.magnitude - 1) - 1;
}

}  // namespace

std::optional<std::vector<std::string>> SplitWords(std::string_view line) {
    line = WithoutComment(line);
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        std::string word;
        if (line[i] == '"') {
            const size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) {
                return std::nullopt;
            }
            word = std::string(line.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            while (i < line.size() && !IsBlank(line[i])) {
                word.push_back(line[i++]);
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

NumberFit FitIn(std::string_view text, std::int64_t min, std::int64_t max) {
    const auto number = Read(text);
    if (!number) {
        return NumberFit::NotANumber;
    }
    if (number->beyond_64_bits) {
        return number->negative ? NumberFit::Below : NumberFit::Above;
    }
    // Both sides in magnitudes first, so that nothing outside int64 is ever converted.
    constexpr std::uint64_t kMostNegative = std::uint64_t{1} << 63;
    if (number->negative ? number->magnitude > kMostNegative
                         : number->magnitude > static_cast<std::uint64_t>(INT64_MAX)) {
        return number->negative ? NumberFit::Below : NumberFit::Above;
    }
    const std::int64_t value = ValueOf(*number);
    if (value < min) {
        return NumberFit::Below;
    }
    return value > max ? NumberFit::Above : NumberFit::Within;
}

std::optional<std::int64_t> ParseNumberIn(std::string_view text, std::int64_t min,
                                          std::int64_t max) {
    if (FitIn(text, min, max) != NumberFit::Within) {
        return std::nullopt;
    }
    return ValueOf(*Read(text));
}

std::optional<std::int64_t> ParseNumber(std::string_view text) {
    return ParseNumberIn(text, INT64_MIN, INT64_MAX);
}

std::optional<std::uint64_t> ParseBits64(std::string_view text) {
    const auto number = Read(text);
    if (!number || number->beyond_64_bits ||
        (number->negative && number->magnitude > std::uint64_t{1} << 63)) {
        return std::nullopt;
    }
    return number->negative ? 0 - number->magnitude : number->magnitude;
}

std::optional<std::string> RestOfLine(std::string_view line, size_t skip) {
    line = WithoutComment(line);
    size_t i = 0;
    for (size_t word = 0; word < skip; ++word) {
        while (i < line.size() && IsBlank(line[i])) {
            ++i;
        }
        if (i < line.size() && line[i] == '"') {
            const size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) {
                return std::nullopt;
            }
            i = close + 1;
        } else {
            while (i < line.size() && !IsBlank(line[i])) {
                ++i;
            }
        }
    }
    std::string_view rest = Trimmed(line.substr(i));
    if (!rest.empty() && rest.front() == '"') {
        const size_t close = rest.find('"', 1);
        if (close == std::string_view::npos || !Trimmed(rest.substr(close + 1)).empty()) {
            return std::nullopt;
        }
        return std::string(rest.substr(1, close - 1));
    }
    return std::string(rest);
}

}  // namespace console
