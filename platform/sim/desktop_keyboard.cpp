// The desktop's keyboard beyond single keys on a control: keys pressed with Shift, Ctrl or Alt
// held, where the focus is, and clicks on a trackbar's track.
#include <utility>
#include <vector>

#include "platform/sim/desktop.h"

namespace sim {

bool Desktop::PressKeyWith(HWND top_level, const std::vector<UINT>& held, UINT virtual_key) {
    WindowManager& windows = machine_.windows();
    const Window* window = windows.Find(top_level);
    if (!window) {
        return false;
    }
    HWND target = windows.Focus(window->thread);
    if (target != top_level && !windows.IsDescendant(top_level, target)) {
        target = top_level;
    }
    DialogNavigation& keyboard = machine_.navigation();
    bool alt = false;
    for (UINT key : held) {
        keyboard.Hold(key);
        alt = alt || key == VK_MENU;
    }
    // With Alt down the keys are system keys, and their lParam says so.
    const LPARAM alt_flag = alt ? static_cast<LPARAM>(KF_ALTDOWN) << 16 : 0;
    windows.Post(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, virtual_key, 1 | alt_flag);
    windows.Post(target, alt ? WM_SYSKEYUP : WM_KEYUP, virtual_key,
                 static_cast<LPARAM>(0xC0000001u) | alt_flag);
    Settle();
    for (UINT key : held) {
        keyboard.Release(key);
    }
    return true;
}

std::optional<ControlView> Desktop::FocusedControl(HWND top_level) const {
    const WindowManager& windows = machine_.windows();
    const Window* window = windows.Find(top_level);
    if (!window || !windows.ShownOnScreen(top_level)) {
        return std::nullopt;
    }
    const HWND focus = windows.Focus(window->thread);
    if (!focus || !windows.IsDescendant(top_level, focus)) {
        return std::nullopt;
    }
    for (const ControlView& control : VisibleControls(top_level)) {
        if (control.hwnd == focus) {
            return control;
        }
    }
    const Window& focused = *windows.Find(focus);
    ControlView view{};
    view.hwnd = focus;
    view.id = focused.id;
    view.enabled = windows.EnabledWithParents(focus);
    if (SameTextIgnoringCase(focused.class_name, u"SysTabControl32")) {
        view.kind = "tab";
        const int selected = focused.tab.selected;
        if (selected >= 0 && selected < static_cast<int>(focused.tab.items.size())) {
            view.text = focused.tab.items[static_cast<std::size_t>(selected)];
        }
    } else {
        view.kind = "window";
        view.text = focused.title;
    }
    return view;
}

bool Desktop::TypeIntoHotkeyControl(HWND control, UINT modifiers, UINT virtual_key) {
    WindowManager& windows = machine_.windows();
    if (!Operable(control) ||
        !SameTextIgnoringCase(windows.Find(control)->class_name, u"msctls_hotkey32") ||
        (modifiers & MOD_WIN) != 0) {
        return false;
    }
    windows.SetFocus(control);
    std::vector<UINT> held;
    for (const auto& [flag, key] : {std::pair<UINT, UINT>{MOD_CONTROL, VK_CONTROL},
                                    {MOD_ALT, VK_MENU},
                                    {MOD_SHIFT, VK_SHIFT}}) {
        if (modifiers & flag) {
            held.push_back(key);
        }
    }
    // With Alt down every key is a system key, and its lParam says so.
    bool alt = false;
    auto post = [&](bool down, UINT key) {
        const LPARAM alt_flag = alt ? static_cast<LPARAM>(KF_ALTDOWN) << 16 : 0;
        const UINT message =
            alt ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
        windows.Post(control, message, key,
                     (down ? 1 : static_cast<LPARAM>(0xC0000001u)) | alt_flag);
    };
    DialogNavigation& keyboard = machine_.navigation();
    for (UINT key : held) {
        keyboard.Hold(key);
        alt = alt || key == VK_MENU;
        post(true, key);
    }
    post(true, virtual_key);
    post(false, virtual_key);
    for (auto key = held.rbegin(); key != held.rend(); ++key) {
        post(false, *key);
        alt = alt && *key != VK_MENU;
    }
    Settle();
    for (UINT key : held) {
        keyboard.Release(key);
    }
    return true;
}

bool Desktop::ClickTrack(HWND trackbar, bool after_thumb) {
    WindowManager& windows = machine_.windows();
    if (!Operable(trackbar) ||
        !SameTextIgnoringCase(windows.Find(trackbar)->class_name, u"msctls_trackbar32")) {
        return false;
    }
    // The track's ends, where the simulated trackbar takes a press on the track.
    const Window& bar = *windows.Find(trackbar);
    const LONG width = bar.rect.right - bar.rect.left;
    const LONG height = bar.rect.bottom - bar.rect.top;
    const LPARAM point = (bar.style & TBS_VERT)
                             ? MAKELPARAM(width / 2, after_thumb ? height - 1 : 0)
                             : MAKELPARAM(after_thumb ? width - 1 : 0, height / 2);
    windows.Post(trackbar, WM_LBUTTONDOWN, MK_LBUTTON, point);
    windows.Post(trackbar, WM_LBUTTONUP, 0, point);
    Settle();
    return true;
}

}  // namespace sim
