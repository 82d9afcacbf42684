// Menu templates as stored in RT_MENU resources, in the classic MENU and the extended MENUEX
// formats, read into one tree.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/sim/api/win32_types.h"

namespace sim::res {

// Item flags as winuser.h gives them (MF_* and the matching MFT_* and MFS_* bits).
inline constexpr UINT kMenuGrayed = 0x0001;
inline constexpr UINT kMenuDisabled = 0x0002;
inline constexpr UINT kMenuChecked = 0x0008;
inline constexpr UINT kMenuPopup = 0x0010;
inline constexpr UINT kMenuSeparator = 0x0800;

struct MenuItem {
    // MF_* flags as LoadMenu gives them to the item: the template's end marker is dropped, a
    // popup carries MF_POPUP and a classic item without text carries MF_SEPARATOR.
    UINT flags = 0;
    UINT id = 0;  // 0 for a popup of a classic template
    std::u16string text;
    std::vector<MenuItem> children;  // a popup's items

    bool IsPopup() const { return (flags & kMenuPopup) != 0; }
    bool IsSeparator() const { return (flags & kMenuSeparator) != 0; }
};

struct MenuTemplate {
    std::vector<MenuItem> items;
};

// nullopt when the bytes are not a whole, well-formed template (popups nest at most 32 deep).
std::optional<MenuTemplate> ParseMenuTemplate(std::span<const BYTE> bytes);

}  // namespace sim::res
