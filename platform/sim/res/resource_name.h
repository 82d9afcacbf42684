// The type or name of a resource: a 16-bit ordinal or a UTF-16 string.
#pragma once

#include <string>
#include <string_view>

#include "platform/sim/api/win32_types.h"

namespace sim::res {

struct ResourceName {
    bool is_ordinal = true;
    WORD ordinal = 0;
    std::u16string name;

    static ResourceName Id(WORD id) { return {true, id, {}}; }
    static ResourceName Named(std::u16string text) { return {false, 0, std::move(text)}; }

    // "#12" for an ordinal, else the name with its characters above 0x7F as '?'; for messages.
    std::string ToString() const;
};

// String names compare without regard to ASCII case, as Windows' lookup does.
bool operator==(const ResourceName& a, const ResourceName& b);

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);

// Predefined resource types (RT_* of winuser.h).
inline constexpr WORD kTypeCursor = 1;
inline constexpr WORD kTypeBitmap = 2;
inline constexpr WORD kTypeIcon = 3;
inline constexpr WORD kTypeMenu = 4;
inline constexpr WORD kTypeDialog = 5;
inline constexpr WORD kTypeString = 6;
inline constexpr WORD kTypeGroupIcon = 14;
inline constexpr WORD kTypeVersion = 16;
inline constexpr WORD kTypeManifest = 24;

// Language ids (MAKELANGID(primary, sub)).
inline constexpr WORD kLangNeutral = 0x0000;
inline constexpr WORD kLangEnglishUs = 0x0409;
inline constexpr WORD kLangChineseSimplified = 0x0804;
inline constexpr WORD kLangChineseTraditional = 0x0404;
inline constexpr WORD PrimaryLanguage(WORD lang) {
    return lang & 0x03FF;
}

}  // namespace sim::res
