#pragma once
#include <optional>
#include <span>
#include <string>
#include <vector>
#include "platform/sim/api/win32_types.h"
namespace sim::res {
struct DialogItem { DWORD help_id, ex_style, style; short x, y, cx, cy; DWORD id; std::u16string class_name; std::u16string text; bool text_is_ordinal; WORD text_ordinal; std::vector<BYTE> creation_data; };
struct DialogTemplate { bool extended; DWORD help_id, ex_style, style; short x, y, cx, cy; std::u16string menu, class_name, title; WORD point_size, weight; BYTE italic, charset; std::u16string typeface; std::vector<DialogItem> items; };
struct MenuItem { UINT flags; UINT id; std::u16string text; std::vector<MenuItem> children; };
struct MenuTemplate { std::vector<MenuItem> items; };
struct IconImage { int width, height, bit_count; std::vector<BYTE> data; };
struct BitmapInfo { int width, height, bit_count; std::vector<BYTE> dib; };
class ResFile { public:
 static std::optional<ResFile> Parse(std::span<const BYTE> bytes);
 std::optional<DialogTemplate> Dialog(WORD id, WORD lang) const;
 std::optional<MenuTemplate> Menu(WORD id, WORD lang) const;
 std::optional<std::u16string> String(UINT id, WORD lang) const;
 std::optional<IconImage> Icon(WORD group_id, int cx, int cy, WORD lang) const;
 std::optional<BitmapInfo> Bitmap(WORD id, WORD lang) const;
};
}
