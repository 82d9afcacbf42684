// Dialog templates as stored in RT_DIALOG resources: the classic DLGTEMPLATE and the extended
// DLGTEMPLATEEX, with their items.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/api/win32_types.h"

namespace sim::res {

struct DialogItem {
    DWORD help_id = 0;  // extended templates only
    DWORD ex_style = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;  // 16 bits in classic templates
    // The predefined ordinal classes 0x80 to 0x85 come out as "Button", "Edit", "Static",
    // "ListBox", "ScrollBar" and "ComboBox"; any other ordinal as "#<number>". Class names
    // given as strings keep the template's spelling, which windres turns to upper case
    // ("MSCTLS_TRACKBAR32"); compare them with IsClass, as Windows' class lookup ignores case.
    std::u16string class_name;
    std::u16string text;
    bool text_is_ordinal = false;  // e.g. an icon static naming its icon resource
    WORD text_ordinal = 0;
    std::vector<BYTE> creation_data;

    bool IsClass(std::u16string_view name) const;
};

struct DialogTemplate {
    bool extended = false;
    DWORD help_id = 0;  // extended templates only
    DWORD ex_style = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    // Empty when the template names none; an ordinal menu or class comes out as "#<number>".
    std::u16string menu;
    std::u16string class_name;
    std::u16string title;
    // Present only with DS_SETFONT; weight, italic and charset only in extended templates.
    WORD point_size = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::u16string typeface;
    std::vector<DialogItem> items;
};

inline constexpr DWORD kDialogStyleSetFont = 0x40;  // DS_SETFONT

// nullopt when the bytes are not a whole, well-formed template.
std::optional<DialogTemplate> ParseDialogTemplate(std::span<const BYTE> bytes);

}  // namespace sim::res
