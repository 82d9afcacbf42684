#include "platform/sim/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

namespace sim {

namespace {

const char* IconvName(unsigned code_page) {
    switch (code_page) {
        case 1252:
            return "CP1252";
        case 936:
            return "CP936";
        case 950:
            return "CP950";
        case 65001:
            return "UTF-8";
        default:
            return nullptr;
    }
}

struct IconvCloser {
    void operator()(iconv_t* cd) const {
        iconv_close(*cd);
        delete cd;
    }
};

// Converts character by character so that one unmappable character costs only itself.
std::string Convert(const char* from, const char* to, std::string_view input, size_t unit,
                    std::string_view replacement) {
    iconv_t raw = iconv_open(to, from);
    if (raw == reinterpret_cast<iconv_t>(-1)) {
        return std::string(replacement);
    }
    std::unique_ptr<iconv_t, IconvCloser> cd(new iconv_t(raw));
    std::string output;
    size_t pos = 0;
    while (pos < input.size()) {
        char buffer[16];
        char* in = const_cast<char*>(input.data() + pos);
        size_t in_left = input.size() - pos;
        char* out = buffer;
        size_t out_left = sizeof buffer;
        const size_t result = iconv(*cd, &in, &in_left, &out, &out_left);
        output.append(buffer, static_cast<size_t>(out - buffer));
        const size_t consumed = input.size() - pos - in_left;
        if (result != static_cast<size_t>(-1)) {
            break;
        }
        if (errno == E2BIG && consumed > 0) {
            pos += consumed;
            continue;
        }
        // EILSEQ/EINVAL: skip one unit (two for a surrogate pair in UTF-16 is close enough).
        output.append(replacement);
        pos += consumed + unit;
        iconv(*cd, nullptr, nullptr, nullptr, nullptr);
    }
    return output;
}

std::string_view AsBytes(std::u16string_view text) {
    return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)};
}

std::u16string FromBytes(const std::string& bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return text;
}

// Every code page here keeps the 128 ASCII characters as they are: texts that hold only those (all
// the program's own texts) need no conversion at all.
template <typename Text>
bool IsAscii(const Text& text) {
    for (const auto c : text) {
        if (static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<decltype(c)>>(c)) >= 0x80) {
            return false;
        }
    }
    return true;
}

template <typename To, typename From>
To Widen(const From& text) {
    To result(text.size(), typename To::value_type{});
    for (size_t i = 0; i < text.size(); ++i) {
        result[i] = static_cast<typename To::value_type>(text[i]);
    }
    return result;
}

}  // namespace

bool IsSupportedCodePage(unsigned code_page) {
    return code_page == 1252 || code_page == 936 || code_page == 950;
}

std::string Utf16ToAnsi(std::u16string_view text, unsigned code_page) {
    const char* name = IconvName(code_page);
    if (name && IsAscii(text)) {
        return Widen<std::string>(text);
    }
    return name ? Convert("UTF-16LE", name, AsBytes(text), 2, "?") : std::string();
}

std::u16string AnsiToUtf16(std::string_view text, unsigned code_page) {
    const char* name = IconvName(code_page);
    if (!name) {
        return {};
    }
    if (IsAscii(text)) {
        return Widen<std::u16string>(text);
    }
    return FromBytes(Convert(name, "UTF-16LE", text, 1, std::string("?\0", 2)));
}

std::u16string WideToUtf16(std::wstring_view text) {
    std::u16string result;
    for (wchar_t c : text) {
        auto code = static_cast<char32_t>(c);
        if (code >= 0x10000 && code <= 0x10FFFF) {
            code -= 0x10000;
            result.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            result.push_back(static_cast<char16_t>(code));
        }
    }
    return result;
}

std::wstring Utf16ToWide(std::u16string_view text) {
    std::wstring result;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        result.push_back(static_cast<wchar_t>(code));
    }
    return result;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    if (IsAscii(text)) {
        return Widen<std::string>(text);
    }
    return Convert("UTF-16LE", "UTF-8", AsBytes(text), 2, "?");
}

std::u16string Utf8ToUtf16(std::string_view text) {
    if (IsAscii(text)) {
        return Widen<std::u16string>(text);
    }
    return FromBytes(Convert("UTF-8", "UTF-16LE", text, 1, std::string("?\0", 2)));
}

}  // namespace sim
