#include "platform/sim/menus.h"

#include "platform/sim/machine.h"
#include "platform/sim/res/res_file.h"

namespace sim {

namespace {
constexpr std::string_view kMenuKind = "menu";
constexpr DWORD kErrorPopupAlreadyActive = 1446;
}  // namespace

Menus::Menus(Machine& machine) : machine_(machine) {}
Menus::~Menus() = default;

HMENU Menus::NewMenu(bool system) {
    const auto handle = reinterpret_cast<HMENU>(next_handle_);
    next_handle_ += 4;
    menus_[reinterpret_cast<ULONG_PTR>(handle)] = Menu{{}, system};
    if (!system) {
        machine_.resources().Acquired(kMenuKind);
    }
    return handle;
}

Menus::Menu* Menus::Find(HMENU menu) {
    auto it = menus_.find(reinterpret_cast<ULONG_PTR>(menu));
    return it == menus_.end() ? nullptr : &it->second;
}

const Menus::Menu* Menus::Find(HMENU menu) const {
    return const_cast<Menus*>(this)->Find(menu);
}

bool Menus::Exists(HMENU menu) const {
    return Find(menu) != nullptr;
}

const std::vector<MenuItem>* Menus::Items(HMENU menu) const {
    const Menu* found = Find(menu);
    return found ? &found->items : nullptr;
}

HMENU Menus::Load(const res::MenuTemplate& menu_template) {
    // Builds a menu and its popups from the template's items, depth first.
    struct Builder {
        Menus& menus;
        HMENU Build(const std::vector<res::MenuItem>& items) {
            const HMENU menu = menus.NewMenu(false);
            for (const auto& item : items) {
                MenuItem built;
                built.flags = item.flags & ~static_cast<UINT>(MF_END);
                built.id = item.id;
                built.text = item.text;
                if (item.flags & MF_POPUP) {
                    built.submenu = Build(item.children);
                }
                menus.Find(menu)->items.push_back(std::move(built));
            }
            return menu;
        }
    };
    return Builder{*this}.Build(menu_template.items);
}

HMENU Menus::CreatePopup() {
    return NewMenu(false);
}

HMENU Menus::SubMenu(HMENU menu, int position) const {
    const Menu* found = Find(menu);
    if (!found || position < 0 || static_cast<size_t>(position) >= found->items.size()) {
        return nullptr;
    }
    return found->items[static_cast<size_t>(position)].submenu;
}

bool Menus::Destroy(HMENU menu) {
    auto it = menus_.find(reinterpret_cast<ULONG_PTR>(menu));
    if (it == menus_.end()) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return false;
    }
    const Menu doomed = std::move(it->second);
    menus_.erase(it);
    if (!doomed.system) {
        machine_.resources().Released(kMenuKind);
    }
    for (const auto& item : doomed.items) {
        if (item.submenu) {
            Destroy(item.submenu);
        }
    }
    if (open_ && open_->menu == menu) {
        open_->closed = true;
    }
    return true;
}

HMENU Menus::SystemMenu(HWND hwnd) {
    if (auto it = system_menus_.find(hwnd); it != system_menus_.end()) {
        return it->second;
    }
    const Window* window = machine_.windows().Find(hwnd);
    if (!window || !(window->style & WS_SYSMENU)) {
        return nullptr;
    }
    const HMENU menu = NewMenu(true);
    Menu* built = Find(menu);
    built->items.push_back(MenuItem{MF_STRING, SC_MOVE, u"&Move", nullptr, nullptr, nullptr});
    built->items.push_back(MenuItem{MF_SEPARATOR, 0, u"", nullptr, nullptr, nullptr});
    built->items.push_back(
        MenuItem{MF_STRING, SC_CLOSE, u"&Close\tAlt+F4", nullptr, nullptr, nullptr});
    system_menus_[hwnd] = menu;
    machine_.windows().Find(hwnd)->system_menu = menu;
    return menu;
}

bool Menus::Append(HMENU menu, UINT flags, UINT_PTR id, std::u16string text) {
    Menu* found = Find(menu);
    if (!found) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return false;
    }
    MenuItem item;
    item.flags = flags;
    item.id = (flags & MF_POPUP) ? 0 : id;
    item.submenu = (flags & MF_POPUP) ? reinterpret_cast<HMENU>(id) : nullptr;
    if (!(flags & MF_SEPARATOR)) {
        item.text = std::move(text);
    }
    found->items.push_back(std::move(item));
    return true;
}

MenuItem* Menus::FindItem(HMENU menu, UINT position, UINT flags) {
    Menu* found = Find(menu);
    if (!found) {
        return nullptr;
    }
    if (flags & MF_BYPOSITION) {
        return position < found->items.size() ? &found->items[position] : nullptr;
    }
    for (auto& item : found->items) {
        if (item.submenu) {
            if (MenuItem* inner = FindItem(item.submenu, position, flags)) {
                return inner;
            }
        } else if (!(item.flags & MF_SEPARATOR) && item.id == position) {
            return &item;
        }
    }
    return nullptr;
}

bool Menus::SetItemBitmaps(HMENU menu, UINT position, UINT flags, HBITMAP unchecked,
                           HBITMAP checked) {
    MenuItem* item = FindItem(menu, position, flags);
    if (!item) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    item->unchecked_bitmap = unchecked;
    item->checked_bitmap = checked;
    return true;
}

BOOL Menus::Track(HMENU menu, UINT flags, int /*x*/, int /*y*/, HWND owner) {
    if (!Find(menu) || !machine_.windows().Find(owner)) {
        SetLastError(!Find(menu) ? ERROR_INVALID_MENU_HANDLE : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (open_) {
        SetLastError(kErrorPopupAlreadyActive);
        return FALSE;
    }
    auto open = std::make_shared<OpenMenu>();
    open->menu = menu;
    open->owner = owner;
    open_ = open;
    // The menu's own loop: messages for the thread keep being dispatched while it is open.
    WindowManager& windows = machine_.windows();
    while (!open->closed) {
        MSG msg;
        if (windows.Peek(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                windows.PostQuit(static_cast<int>(msg.wParam));
                break;
            }
            windows.Dispatch(&msg);
            continue;
        }
        windows.WaitForMessage([open] { return open->closed; });
        if (!windows.Find(owner)) {
            break;
        }
    }
    open_.reset();
    if (!open->choice) {
        return FALSE;
    }
    if (flags & TPM_RETURNCMD) {
        return static_cast<BOOL>(*open->choice);
    }
    windows.Post(owner, WM_COMMAND, *open->choice, 0);
    return TRUE;
}

void Menus::OnWindowDestroyed(HWND hwnd, HMENU system_menu) {
    if (system_menu) {
        Destroy(system_menu);
        system_menus_.erase(hwnd);
    }
    if (open_ && open_->owner == hwnd) {
        open_->closed = true;
    }
}

std::vector<MenuItemView> Menus::OpenItems() const {
    std::vector<MenuItemView> views;
    if (!open_) {
        return views;
    }
    const Menu* menu = Find(open_->menu);
    if (!menu) {
        return views;
    }
    for (const auto& item : menu->items) {
        MenuItemView view;
        view.text = item.text;
        view.separator = (item.flags & MF_SEPARATOR) != 0;
        view.popup = item.submenu != nullptr;
        view.grayed = (item.flags & (MF_GRAYED | MF_DISABLED)) != 0;
        view.checked = (item.flags & MF_CHECKED) != 0;
        const HBITMAP image = view.checked ? item.checked_bitmap : item.unchecked_bitmap;
        view.shows_bitmap = image && machine_.gdi().Exists(image);
        views.push_back(std::move(view));
    }
    return views;
}

bool Menus::Choose(std::u16string_view text) {
    if (!open_) {
        return false;
    }
    const Menu* menu = Find(open_->menu);
    if (!menu) {
        return false;
    }
    for (const auto& item : menu->items) {
        const bool command =
            !(item.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)) && !item.submenu;
        if (command && item.text == text) {
            open_->choice = item.id;
            open_->closed = true;
            machine_.kernel().Settle();
            return true;
        }
    }
    return false;
}

bool Menus::Dismiss() {
    if (!open_) {
        return false;
    }
    open_->closed = true;
    machine_.kernel().Settle();
    return true;
}

bool Menus::End() {
    if (!open_) {
        return false;
    }
    open_->closed = true;
    return true;
}

}  // namespace sim
