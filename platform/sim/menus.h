// Menus: loaded from resources or built by AppendMenu, the windows' system menus, and the one
// popup menu that can be open at a time, tracked in a loop that keeps dispatching messages
// until the desktop's user chooses an item or closes it.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/api/win32_user.h"
#include "platform/sim/kernel.h"

namespace sim {

class Machine;

namespace res {
struct MenuTemplate;
}

struct MenuItem {
    UINT flags = 0;
    UINT_PTR id = 0;
    std::u16string text;
    HMENU submenu = nullptr;
    HBITMAP unchecked_bitmap = nullptr;
    HBITMAP checked_bitmap = nullptr;
};

// An item as the user sees it in the open popup menu.
struct MenuItemView {
    std::u16string text;
    bool separator = false;
    bool popup = false;
    bool grayed = false;
    bool checked = false;
    bool shows_bitmap = false;  // the item's image for its check state is set and exists
};

class Menus {
public:
    explicit Menus(Machine& machine);
    ~Menus();
    Menus(const Menus&) = delete;
    Menus& operator=(const Menus&) = delete;

    HMENU Load(const res::MenuTemplate& menu_template);
    HMENU CreatePopup();
    bool Exists(HMENU menu) const;
    const std::vector<MenuItem>* Items(HMENU menu) const;
    HMENU SubMenu(HMENU menu, int position) const;
    bool Destroy(HMENU menu);
    HMENU SystemMenu(HWND hwnd);
    bool Append(HMENU menu, UINT flags, UINT_PTR id, std::u16string text);
    bool SetItemBitmaps(HMENU menu, UINT position, UINT flags, HBITMAP unchecked, HBITMAP checked);
    BOOL Track(HMENU menu, UINT flags, int x, int y, HWND owner);
    void OnWindowDestroyed(HWND hwnd, HMENU system_menu);

    // The desktop's side of the open popup menu.
    bool IsOpen() const { return open_ != nullptr; }
    std::vector<MenuItemView> OpenItems() const;
    // Chooses the enabled command item with that text; false when there is none.
    bool Choose(std::u16string_view text);
    bool Dismiss();
    // EndMenu: the program closes its own open menu, without a choice; the menu's loop ends once
    // the message being handled returns. False when no menu is open.
    bool End();

private:
    struct Menu {
        std::vector<MenuItem> items;
        bool system = false;
    };
    struct OpenMenu {
        HMENU menu = nullptr;
        HWND owner = nullptr;
        std::optional<UINT_PTR> choice;
        bool closed = false;
    };

    HMENU NewMenu(bool system);
    Menu* Find(HMENU menu);
    const Menu* Find(HMENU menu) const;
    MenuItem* FindItem(HMENU menu, UINT position, UINT flags);

    Machine& machine_;
    std::map<ULONG_PTR, Menu> menus_;
    std::map<HWND, HMENU> system_menus_;
    std::shared_ptr<OpenMenu> open_;
    ULONG_PTR next_handle_ = 0x30010;
};

}  // namespace sim
