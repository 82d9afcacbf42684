#include "platform/sim/controls.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/sim/codepage.h"
#include "platform/sim/machine.h"

namespace sim {

namespace {

// The tab control's row of tabs: equal tabs from the left edge, a row high.
constexpr LONG kTabLeft = 2;
constexpr LONG kTabWidth = 60;
constexpr LONG kTabRowHeight = 20;
// Between the control's edges and its display area.
constexpr LONG kTabPadding = 2;

DWORD ButtonType(const Window& window) {
    return window.style & BS_TYPEMASK;
}

// A radio button's check mark carries its tab stop: the checked button of a group is the one the
// Tab key reaches.
void SetCheck(Window& button, int check) {
    button.check = check;
    const DWORD type = ButtonType(button);
    if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
        if (check != BST_UNCHECKED) {
            button.style |= WS_TABSTOP;
        } else {
            button.style &= ~static_cast<DWORD>(WS_TABSTOP);
        }
    }
}

int Clamped(const TrackbarState& bar, LONG value) {
    if (value < bar.min) {
        value = bar.min;
    }
    if (value > bar.max) {
        value = bar.max;
    }
    return value;
}

// After a range change, the page follows the range, as on Windows.
void UpdatePageSize(TrackbarState& bar) {
    bar.page_size = std::max((bar.max - bar.min) / 5, 1);
}

}  // namespace

Controls::Controls(Machine& machine) : machine_(machine) {
    WindowManager& windows = machine_.windows();
    windows.RegisterClassProcedure(
        u"Button", [this](HWND h, UINT m, WPARAM w, LPARAM l) { return Button(h, m, w, l); });
    windows.RegisterClassProcedure(
        u"Edit", [this](HWND h, UINT m, WPARAM w, LPARAM l) { return Edit(h, m, w, l); });
    windows.RegisterClassProcedure(
        u"msctls_trackbar32",
        [this](HWND h, UINT m, WPARAM w, LPARAM l) { return Trackbar(h, m, w, l); });
    windows.RegisterClassProcedure(
        u"SysTabControl32", [this](HWND h, UINT m, WPARAM w, LPARAM l) { return Tab(h, m, w, l); });
    windows.RegisterClassProcedure(u"msctls_hotkey32", [this](HWND h, UINT m, WPARAM w, LPARAM l) {
        return HotkeyControl(h, m, w, l);
    });
}

POINT Controls::TabPoint(int index) {
    return POINT{kTabLeft + index * kTabWidth + kTabWidth / 2, kTabRowHeight / 2};
}

std::optional<LRESULT> Controls::Button(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    WindowManager& windows = machine_.windows();
    Window* button = windows.Find(hwnd);
    if (!button) {
        return LRESULT{0};
    }
    switch (message) {
        case WM_LBUTTONDOWN:
            if (button->Enabled() && ButtonType(*button) != BS_GROUPBOX) {
                // The button keeps the mouse until it is let go.
                windows.SetCapture(hwnd);
                windows.SetFocus(hwnd);
                button->mouse_down = true;
                button->pushed = true;
            }
            return LRESULT{0};
        case WM_LBUTTONUP: {
            // Only a press that began on the button, and still shows pushed, clicks it.
            if (!button->mouse_down) {
                return LRESULT{0};
            }
            const bool pushed = button->pushed;
            button->mouse_down = false;
            button->pushed = false;
            windows.ReleaseCapture(hwnd);
            if (pushed) {
                Click(hwnd);
            }
            return LRESULT{0};
        }
        case WM_CAPTURECHANGED:
            // The mouse taken away on the way (the button disabled, say) ends the press unclicked.
            if (reinterpret_cast<HWND>(lparam) != hwnd && button->mouse_down) {
                button->mouse_down = false;
                button->pushed = false;
            }
            return LRESULT{0};
        case BM_CLICK:
            windows.Send(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            windows.Send(hwnd, WM_LBUTTONUP, 0, 0);
            return LRESULT{0};
        case BM_GETCHECK:
            return LRESULT{button->check};
        case BM_SETCHECK:
            SetCheck(*button, static_cast<int>(wparam));
            return LRESULT{0};
        case WM_KEYDOWN:
            // The space bar pushes a button as the mouse does, and letting it go clicks it.
            if (wparam == VK_SPACE && button->Enabled() && ButtonType(*button) != BS_GROUPBOX) {
                button->pushed = true;
            }
            return LRESULT{0};
        case WM_KEYUP:
            if (wparam == VK_SPACE && button->pushed && !button->mouse_down) {
                button->pushed = false;
                Click(hwnd);
            }
            return LRESULT{0};
        case BM_GETSTATE:
            return LRESULT{button->check | (button->pushed ? BST_PUSHED : 0)};
        case BM_SETSTATE:
            button->pushed = wparam != 0;
            return LRESULT{0};
        case BM_SETIMAGE: {
            // Version 6 keeps an image of either type on any button; the caller still owns it.
            const HANDLE previous = button->image;
            button->image = reinterpret_cast<HANDLE>(lparam);
            return reinterpret_cast<LRESULT>(previous);
        }
        case BM_GETIMAGE:
            return reinterpret_cast<LRESULT>(button->image);
        default:
            return std::nullopt;
    }
}

void Controls::Click(HWND hwnd) {
    WindowManager& windows = machine_.windows();
    Window* button = windows.Find(hwnd);
    if (!button || !button->Enabled()) {
        return;
    }
    switch (ButtonType(*button)) {
        case BS_GROUPBOX:
            return;
        case BS_AUTOCHECKBOX:
            button->check = button->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
            break;
        case BS_AUTO3STATE:
            button->check = (button->check + 1) % 3;
            break;
        case BS_AUTORADIOBUTTON:
            SetCheck(*button, BST_CHECKED);
            UncheckRadioGroup(hwnd);
            break;
        default:
            break;
    }
    const HWND parent = button->parent;
    const int id = button->id;
    windows.Send(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
}

void Controls::UncheckRadioGroup(HWND checked) {
    WindowManager& windows = machine_.windows();
    const std::vector<HWND> siblings = windows.Children(windows.Find(checked)->parent);
    const auto at = std::find(siblings.begin(), siblings.end(), checked);
    auto starts_group = [&windows](HWND sibling) {
        return (windows.Find(sibling)->style & WS_GROUP) != 0;
    };
    // The group runs from the nearest sibling at or before the button that starts one up to the
    // next sibling that starts another. The dialog manager's walk goes round: before the first
    // group start the last group goes on, and without any group start every sibling is one group.
    const std::size_t count = siblings.size();
    const std::size_t index = static_cast<std::size_t>(at - siblings.begin());
    std::size_t first = index;
    for (std::size_t step = 0; step < count && !starts_group(siblings[first]); ++step) {
        first = (first + count - 1) % count;
    }
    std::vector<HWND> group{siblings[first]};
    for (std::size_t next = (first + 1) % count; next != first && !starts_group(siblings[next]);
         next = (next + 1) % count) {
        group.push_back(siblings[next]);
    }
    for (HWND sibling : group) {
        Window* other = windows.Find(sibling);
        // The dialog manager's walk through a group passes over hidden and disabled controls.
        if (sibling != checked && ButtonType(*other) == BS_AUTORADIOBUTTON && other->Visible() &&
            other->Enabled() && SameTextIgnoringCase(other->class_name, u"Button")) {
            SetCheck(*other, BST_UNCHECKED);
        }
    }
}

std::optional<LRESULT> Controls::Edit(HWND hwnd, UINT message, WPARAM wparam, LPARAM /*lparam*/) {
    WindowManager& windows = machine_.windows();
    Window* edit = windows.Find(hwnd);
    if (!edit) {
        return LRESULT{0};
    }
    switch (message) {
        case EM_SETREADONLY:
            if (wparam) {
                edit->style |= ES_READONLY;
            } else {
                edit->style &= ~static_cast<DWORD>(ES_READONLY);
            }
            return LRESULT{TRUE};
        case WM_LBUTTONDOWN:
            if (edit->Enabled()) {
                windows.SetFocus(hwnd);
            }
            return LRESULT{0};
        case WM_SETFOCUS:
        case WM_KILLFOCUS: {
            const WORD code = message == WM_SETFOCUS ? EN_SETFOCUS : EN_KILLFOCUS;
            if (edit->parent) {
                windows.Send(edit->parent, WM_COMMAND, MAKEWPARAM(edit->id, code),
                             reinterpret_cast<LPARAM>(hwnd));
            }
            return LRESULT{0};
        }
        default:
            return std::nullopt;
    }
}

std::optional<LRESULT> Controls::Trackbar(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    WindowManager& windows = machine_.windows();
    Window* window = windows.Find(hwnd);
    if (!window) {
        return LRESULT{0};
    }
    TrackbarState& bar = window->trackbar;
    switch (message) {
        case TBM_GETPOS:
            return LRESULT{bar.pos};
        case TBM_GETRANGEMIN:
            return LRESULT{bar.min};
        case TBM_GETRANGEMAX:
            return LRESULT{bar.max};
        case TBM_GETPAGESIZE:
            return LRESULT{bar.page_size};
        case TBM_GETLINESIZE:
            return LRESULT{bar.line_size};
        case TBM_SETPOS:
            bar.pos = Clamped(bar, static_cast<LONG>(lparam));
            return LRESULT{0};
        case TBM_SETRANGE:
            // Two 16-bit halves, each signed.
            bar.min = static_cast<SHORT>(LOWORD(lparam));
            bar.max = static_cast<SHORT>(HIWORD(lparam));
            bar.pos = Clamped(bar, bar.pos);
            UpdatePageSize(bar);
            return LRESULT{0};
        case TBM_SETRANGEMIN:
            bar.min = static_cast<LONG>(lparam);
            bar.pos = std::max(bar.pos, bar.min);
            UpdatePageSize(bar);
            return LRESULT{0};
        case TBM_SETRANGEMAX:
            bar.max = static_cast<LONG>(lparam);
            // A maximum below the minimum leaves the position at the minimum.
            bar.pos = std::min(bar.pos, std::max(bar.max, bar.min));
            UpdatePageSize(bar);
            return LRESULT{0};
        case WM_KEYDOWN:
            return LRESULT{TrackbarKey(hwnd, static_cast<UINT>(wparam)) ? TRUE : FALSE};
        case WM_KEYUP:
            switch (wparam) {
                case VK_LEFT:
                case VK_UP:
                case VK_RIGHT:
                case VK_DOWN:
                case VK_PRIOR:
                case VK_NEXT:
                case VK_HOME:
                case VK_END:
                    NotifyScroll(hwnd, TB_ENDTRACK);
                    break;
                default:
                    break;
            }
            return LRESULT{TRUE};
        case WM_LBUTTONDOWN: {
            if (!window->Enabled()) {
                return LRESULT{0};
            }
            windows.SetFocus(hwnd);
            // The simulated trackbar's track shows at its two ends, on either side of the thumb;
            // anywhere else (and on a bar too small to have ends) the mouse goes down on the thumb.
            const bool vertical = (window->style & TBS_VERT) != 0;
            const LONG along =
                vertical ? static_cast<SHORT>(HIWORD(lparam)) : static_cast<SHORT>(LOWORD(lparam));
            const LONG length = vertical ? window->rect.bottom - window->rect.top
                                         : window->rect.right - window->rect.left;
            if (length > 2 && (along <= 0 || along >= length - 1)) {
                // A press on the track moves the thumb a page toward it.
                window->mouse_down = true;
                const bool toward_max = along > 0;
                bar.pos = Clamped(bar, bar.pos + (toward_max ? bar.page_size : -bar.page_size));
                NotifyScroll(hwnd, toward_max ? TB_PAGEDOWN : TB_PAGEUP);
                return LRESULT{0};
            }
            bar.dragging = true;
            return LRESULT{0};
        }
        case WM_MOUSEMOVE: {
            if (!bar.dragging || !bar.drag_to) {
                return LRESULT{0};
            }
            const int target = Clamped(bar, *bar.drag_to);
            bar.drag_to.reset();
            if (target != bar.pos) {
                bar.pos = target;
                NotifyScroll(hwnd, TB_THUMBTRACK, target);
            }
            return LRESULT{0};
        }
        case WM_LBUTTONUP: {
            if (!bar.dragging && !window->mouse_down) {
                return LRESULT{0};
            }
            if (bar.dragging) {
                bar.dragging = false;
                NotifyScroll(hwnd, TB_THUMBPOSITION, bar.pos);
            }
            window->mouse_down = false;
            NotifyScroll(hwnd, TB_ENDTRACK);
            // Letting go of the mouse releases its capture; the parent hears of that last.
            Notify(hwnd, NM_RELEASEDCAPTURE);
            return LRESULT{0};
        }
        default:
            return std::nullopt;
    }
}

bool Controls::TrackbarKey(HWND hwnd, UINT virtual_key) {
    Window* window = machine_.windows().Find(hwnd);
    TrackbarState& bar = window->trackbar;
    // A step toward the minimum or the maximum; none at the end of the range.
    auto step = [&](int delta, WORD code) {
        if (bar.pos == (delta < 0 ? bar.min : bar.max)) {
            return false;
        }
        bar.pos = Clamped(bar, bar.pos + delta);
        NotifyScroll(hwnd, code);
        return true;
    };
    switch (virtual_key) {
        case VK_LEFT:
        case VK_UP:
            return step(-bar.line_size, TB_LINEUP);
        case VK_RIGHT:
        case VK_DOWN:
            return step(bar.line_size, TB_LINEDOWN);
        case VK_PRIOR:
            return step(-bar.page_size, TB_PAGEUP);
        case VK_NEXT:
            return step(bar.page_size, TB_PAGEDOWN);
        case VK_HOME:
            if (bar.pos == bar.min) {
                return false;
            }
            bar.pos = bar.min;
            NotifyScroll(hwnd, TB_TOP);
            return true;
        case VK_END:
            if (bar.pos == bar.max) {
                return false;
            }
            bar.pos = bar.max;
            NotifyScroll(hwnd, TB_BOTTOM);
            return true;
        default:
            return true;
    }
}

void Controls::SelectTabByUser(HWND hwnd, int index) {
    const Window* window = machine_.windows().Find(hwnd);
    if (!window || index < 0 || index >= static_cast<int>(window->tab.items.size()) ||
        index == window->tab.selected) {
        return;
    }
    // The parent may refuse the change while it is being asked.
    if (Notify(hwnd, TCN_SELCHANGING) != 0) {
        return;
    }
    if (Window* after = machine_.windows().Find(hwnd)) {
        after->tab.selected = index;
        Notify(hwnd, TCN_SELCHANGE);
    }
}

void Controls::NotifyScroll(HWND trackbar, WORD code, int position) {
    WindowManager& windows = machine_.windows();
    const Window* window = windows.Find(trackbar);
    if (!window) {
        return;
    }
    const UINT message = (window->style & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    windows.Send(window->parent, message, MAKEWPARAM(code, position),
                 reinterpret_cast<LPARAM>(trackbar));
}

LRESULT Controls::Notify(HWND control, UINT code) {
    WindowManager& windows = machine_.windows();
    const Window* window = windows.Find(control);
    if (!window) {
        return 0;
    }
    NMHDR header{control, static_cast<UINT_PTR>(window->id), code};
    return windows.Send(window->parent, WM_NOTIFY, static_cast<WPARAM>(window->id),
                        reinterpret_cast<LPARAM>(&header));
}

std::optional<LRESULT> Controls::Tab(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    WindowManager& windows = machine_.windows();
    Window* window = windows.Find(hwnd);
    if (!window) {
        return LRESULT{0};
    }
    TabState& tab = window->tab;
    const auto count = static_cast<int>(tab.items.size());
    const unsigned code_page = machine_.locale().ansi_code_page;
    switch (message) {
        case TCM_GETITEMCOUNT:
            return LRESULT{count};
        case TCM_GETCURSEL:
            return LRESULT{tab.selected};
        case TCM_SETCURSEL: {
            // Changed quietly: only a person's click notifies the parent.
            const auto index = static_cast<int>(wparam);
            if (index < 0 || index >= count) {
                return LRESULT{-1};
            }
            const int previous = tab.selected;
            tab.selected = index;
            return LRESULT{previous};
        }
        case TCM_INSERTITEMA: {
            const auto* item = reinterpret_cast<const TCITEMA*>(lparam);
            auto index = static_cast<int>(wparam);
            if (!item || index < 0) {
                return LRESULT{-1};
            }
            index = std::min(index, count);
            std::u16string text;
            if ((item->mask & TCIF_TEXT) && item->pszText) {
                text = AnsiToUtf16(item->pszText, code_page);
            }
            tab.items.insert(tab.items.begin() + index, std::move(text));
            // The first tab is selected; one inserted before the selection moves it along.
            if (count == 0) {
                tab.selected = 0;
            } else if (index <= tab.selected) {
                ++tab.selected;
            }
            return LRESULT{index};
        }
        case TCM_GETITEMA: {
            auto* item = reinterpret_cast<TCITEMA*>(lparam);
            const auto index = static_cast<int>(wparam);
            if (!item || index < 0 || index >= count) {
                return LRESULT{FALSE};
            }
            if ((item->mask & TCIF_TEXT) && item->pszText && item->cchTextMax > 0) {
                const std::string text = Utf16ToAnsi(tab.items[index], code_page);
                const size_t length =
                    std::min(text.size(), static_cast<size_t>(item->cchTextMax - 1));
                std::copy_n(text.begin(), length, item->pszText);
                item->pszText[length] = '\0';
            }
            return LRESULT{TRUE};
        }
        case TCM_DELETEALLITEMS:
            tab.items.clear();
            tab.selected = -1;
            return LRESULT{TRUE};
        case TCM_ADJUSTRECT: {
            // FALSE: the display area inside a window rectangle; TRUE: the other way round.
            auto* rect = reinterpret_cast<RECT*>(lparam);
            if (!rect) {
                return LRESULT{0};
            }
            const LONG sign = wparam ? -1 : 1;
            rect->left += sign * kTabPadding;
            rect->top += sign * (kTabRowHeight + kTabPadding);
            rect->right -= sign * kTabPadding;
            rect->bottom -= sign * kTabPadding;
            return LRESULT{0};
        }
        case WM_LBUTTONDOWN: {
            if (!window->Enabled()) {
                return LRESULT{0};
            }
            windows.SetFocus(hwnd);
            const auto x = static_cast<SHORT>(LOWORD(lparam));
            const auto y = static_cast<SHORT>(HIWORD(lparam));
            if (y < 0 || y >= kTabRowHeight || x < kTabLeft) {
                return LRESULT{0};
            }
            SelectTabByUser(hwnd, (x - kTabLeft) / kTabWidth);
            return LRESULT{0};
        }
        case WM_KEYDOWN:
            // The arrow keys go to the tab beside the selected one, without going round.
            if (wparam == VK_LEFT || wparam == VK_RIGHT) {
                SelectTabByUser(hwnd, tab.selected + (wparam == VK_LEFT ? -1 : 1));
            }
            return LRESULT{0};
        default:
            return std::nullopt;
    }
}

namespace {

BYTE HotkeyFlagOf(WPARAM virtual_key) {
    switch (virtual_key) {
        case VK_SHIFT:
            return HOTKEYF_SHIFT;
        case VK_CONTROL:
            return HOTKEYF_CONTROL;
        case VK_MENU:
            return HOTKEYF_ALT;
        default:
            return 0;
    }
}

}  // namespace

std::optional<LRESULT> Controls::HotkeyControl(HWND hwnd, UINT message, WPARAM wparam,
                                               LPARAM /*lparam*/) {
    WindowManager& windows = machine_.windows();
    Window* control = windows.Find(hwnd);
    if (!control) {
        return LRESULT{0};
    }
    // As comctl32 does (Wine's hotkey.c): every key pressed starts the key afresh, the modifiers
    // held go with it, and any change is told to the parent as EN_CHANGE. The keys that only
    // clear it (Enter, Tab, Space, Delete, Esc, Backspace) tell nothing.
    const auto tell_parent = [&windows, hwnd] {
        const Window* after = windows.Find(hwnd);
        if (after && after->parent) {
            windows.Send(after->parent, WM_COMMAND, MAKEWPARAM(after->id, EN_CHANGE),
                         reinterpret_cast<LPARAM>(hwnd));
        }
    };
    switch (message) {
        case HKM_SETHOTKEY:
            control->hotkey = LOWORD(wparam);
            return LRESULT{0};
        case HKM_GETHOTKEY:
            return LRESULT{control->hotkey};
        case HKM_SETRULES:
            return LRESULT{0};  // the rules only shape what a person may type; kept as given
        case WM_LBUTTONDOWN:
            if (control->Enabled()) {
                windows.SetFocus(hwnd);
            }
            return LRESULT{0};
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            if (!control->Enabled()) {
                return LRESULT{0};
            }
            const WORD old_key = control->hotkey;
            const BYTE old_held = control->hotkey_held;
            control->hotkey = 0;
            switch (wparam) {
                case VK_RETURN:
                case VK_TAB:
                case VK_SPACE:
                case VK_DELETE:
                case VK_ESCAPE:
                case VK_BACK:
                    return LRESULT{0};
                default:
                    break;
            }
            if (const BYTE flag = HotkeyFlagOf(wparam)) {
                control->hotkey_held |= flag;
            } else {
                control->hotkey = static_cast<WORD>((wparam & 0xFF) | (control->hotkey_held << 8));
            }
            if (control->hotkey != old_key || control->hotkey_held != old_held) {
                tell_parent();
            }
            return LRESULT{0};
        }
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            const BYTE flag = HotkeyFlagOf(wparam);
            if (!control->Enabled() || !flag) {
                return LRESULT{control->Enabled() ? 1 : 0};
            }
            const BYTE old_held = control->hotkey_held;
            control->hotkey_held &= static_cast<BYTE>(~flag);
            if (control->hotkey_held != old_held) {
                tell_parent();
            }
            return LRESULT{0};
        }
        default:
            return std::nullopt;
    }
}

}  // namespace sim
