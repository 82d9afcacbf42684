#include "platform/sim/dialog_navigation.h"

#include <algorithm>

#include "platform/sim/machine.h"

namespace sim {

namespace {

bool IsButtonClass(const Window& window) {
    return SameTextIgnoringCase(window.class_name, u"Button");
}

bool IsGroupBox(const Window& window) {
    return IsButtonClass(window) && (window.style & BS_TYPEMASK) == BS_GROUPBOX;
}

bool IsAutoRadio(const Window& window) {
    return IsButtonClass(window) && (window.style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

}  // namespace

bool DialogNavigation::IsDialog(HWND hwnd) const {
    const Window* window = machine_.windows().Find(hwnd);
    return window &&
           (window->dialog_proc != nullptr || SameTextIgnoringCase(window->class_name, u"#32770"));
}

HWND DialogNavigation::Destination(HWND dialog) const {
    const WindowManager& windows = machine_.windows();
    HWND target = dialog;
    for (const Window* window = windows.Find(target);
         window && !window->TopLevel() && (window->style & DS_CONTROL) && IsDialog(window->parent);
         window = windows.Find(target)) {
        target = window->parent;
    }
    return target;
}

void DialogNavigation::CollectControls(HWND parent, std::vector<HWND>& controls) const {
    const WindowManager& windows = machine_.windows();
    for (HWND child : windows.ChildrenInZOrder(parent)) {
        if (windows.Find(child)->ex_style & WS_EX_CONTROLPARENT) {
            CollectControls(child, controls);
        } else {
            controls.push_back(child);
        }
    }
}

bool DialogNavigation::Reachable(HWND dialog, HWND control) const {
    const WindowManager& windows = machine_.windows();
    const Window* window = windows.Find(control);
    if (!window || !(window->style & WS_TABSTOP)) {
        return false;
    }
    for (; window && window->handle != dialog; window = windows.Find(window->parent)) {
        if (!window->Visible() || !window->Enabled() || window->TopLevel()) {
            return false;
        }
    }
    return window != nullptr;
}

HWND DialogNavigation::NextTabItem(HWND dialog, HWND from, bool previous) const {
    std::vector<HWND> controls;
    CollectControls(dialog, controls);
    if (previous) {
        std::reverse(controls.begin(), controls.end());
    }
    const auto at = std::find(controls.begin(), controls.end(), from);
    if (at == controls.end()) {
        // Not in the dialog: the walk starts at the first.
        const auto first = std::find_if(controls.begin(), controls.end(),
                                        [&](HWND control) { return Reachable(dialog, control); });
        return first == controls.end() ? from : *first;
    }
    const std::size_t count = controls.size();
    const auto start = static_cast<std::size_t>(at - controls.begin());
    for (std::size_t step = 1; step < count; ++step) {
        const HWND candidate = controls[(start + step) % count];
        if (Reachable(dialog, candidate)) {
            return candidate;
        }
    }
    return from;
}

HWND DialogNavigation::NextGroupItem(HWND from, bool previous) const {
    const WindowManager& windows = machine_.windows();
    const Window* window = windows.Find(from);
    if (!window || window->TopLevel()) {
        return from;
    }
    const std::vector<HWND> siblings = windows.ChildrenInZOrder(window->parent);
    const std::size_t count = siblings.size();
    const auto at = std::find(siblings.begin(), siblings.end(), from);
    if (at == siblings.end()) {
        return from;
    }
    auto starts_group = [&](std::size_t index) {
        return (windows.Find(siblings[index])->style & WS_GROUP) != 0;
    };
    // The group runs from the nearest sibling at or before `from` that starts one, going round,
    // up to the next that starts another.
    std::size_t first = static_cast<std::size_t>(at - siblings.begin());
    for (std::size_t step = 0; step < count && !starts_group(first); ++step) {
        first = (first + count - 1) % count;
    }
    std::vector<HWND> group{siblings[first]};
    for (std::size_t next = (first + 1) % count; next != first && !starts_group(next);
         next = (next + 1) % count) {
        group.push_back(siblings[next]);
    }
    if (previous) {
        std::reverse(group.begin(), group.end());
    }
    const auto in_group = std::find(group.begin(), group.end(), from);
    const std::size_t start = static_cast<std::size_t>(in_group - group.begin());
    for (std::size_t step = 1; step < group.size(); ++step) {
        const Window* candidate = windows.Find(group[(start + step) % group.size()]);
        const bool control = (IsButtonClass(*candidate) && !IsGroupBox(*candidate)) ||
                             (candidate->style & WS_TABSTOP);
        if (control && candidate->Visible() && candidate->Enabled()) {
            return candidate->handle;
        }
    }
    return from;
}

void DialogNavigation::NextDialogControl(HWND dialog, WPARAM wparam, LPARAM lparam) {
    WindowManager& windows = machine_.windows();
    const Window* window = windows.Find(dialog);
    if (!window) {
        return;
    }
    const HWND target = LOWORD(lparam) != 0
                            ? reinterpret_cast<HWND>(wparam)
                            : NextTabItem(dialog, windows.Focus(window->thread), wparam != 0);
    if (target && windows.Find(target)) {
        windows.SetFocus(target);
    }
}

bool DialogNavigation::TakesArrowsAsNavigation(HWND control) const {
    const Window* window = machine_.windows().Find(control);
    return window && IsButtonClass(*window) && !IsGroupBox(*window);
}

bool DialogNavigation::HandleKey(HWND dialog, const MSG& msg) {
    if (msg.message != WM_KEYDOWN) {
        return false;
    }
    WindowManager& windows = machine_.windows();
    switch (msg.wParam) {
        case VK_TAB:
            windows.Send(dialog, WM_NEXTDLGCTL, Down(VK_SHIFT) ? 1 : 0, 0);
            return true;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            if (!TakesArrowsAsNavigation(msg.hwnd)) {
                return false;
            }
            const HWND next = NextGroupItem(msg.hwnd, msg.wParam == VK_LEFT || msg.wParam == VK_UP);
            const Window* target = windows.Find(next);
            if (next == msg.hwnd || !target) {
                return true;
            }
            // An automatic radio button that the keyboard comes to is chosen.
            if (IsAutoRadio(*target)) {
                const bool checked = target->check == BST_CHECKED;
                windows.SetFocus(next);
                if (!checked) {
                    windows.Send(next, BM_CLICK, 0, 0);
                }
                return true;
            }
            windows.Send(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), 1);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace sim
