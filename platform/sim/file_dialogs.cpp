#include "platform/sim/file_dialogs.h"

#include <algorithm>

#include "platform/sim/machine.h"

namespace sim {

namespace {

constexpr LONG kLeft = 160;
constexpr LONG kTop = 120;
constexpr LONG kWidth = 620;
constexpr LONG kHeight = 440;

}  // namespace

INT_PTR CALLBACK FileDialogs::DialogProc(HWND hwnd, UINT message, WPARAM wparam,
                                         LPARAM /*lparam*/) {
    // Cancel, Esc and the close box (which the dialog class turns into Cancel) end the dialog;
    // Open with no file picked does nothing, as with an empty name box.
    if (message != WM_COMMAND || LOWORD(wparam) != IDCANCEL) {
        return FALSE;
    }
    for (const auto& open : Machine::Current().file_dialogs().open_) {
        if (open->window == hwnd) {
            open->ended = true;
        }
    }
    return TRUE;
}

std::optional<std::u16string> FileDialogs::Run(HWND owner, std::u16string title) {
    WindowManager& windows = machine_.windows();
    auto open = std::make_shared<Open>();
    const HWND window = windows.Create(
        u"#32770", std::move(title), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
        WS_EX_DLGMODALFRAME, owner, 0, RECT{kLeft, kTop, kLeft + kWidth, kTop + kHeight}, nullptr);
    open->window = window;
    windows.Find(window)->dialog_proc = &FileDialogs::DialogProc;
    open_.push_back(open);

    const HWND disabled_owner = windows.Find(window)->owner;
    // A modal dialog disables its owner; one that was disabled already stays so afterwards.
    const bool owner_was_disabled = disabled_owner && windows.Enable(disabled_owner, false);
    windows.Show(window, SW_SHOWNORMAL);

    auto gone = [&windows, open] { return open->ended || windows.Find(open->window) == nullptr; };
    while (!gone()) {
        MSG msg;
        if (windows.Peek(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                windows.PostQuit(static_cast<int>(msg.wParam));
                break;
            }
            if (!machine_.dialogs().IsDialogMessage(window, &msg)) {
                windows.Dispatch(&msg);
            }
            continue;
        }
        windows.WaitForMessage(gone);
    }

    if (disabled_owner && !owner_was_disabled && windows.Find(disabled_owner)) {
        windows.Enable(disabled_owner, true);
    }
    if (windows.Find(window)) {
        windows.Destroy(window);
    }
    open_.erase(std::find(open_.begin(), open_.end(), open));
    return open->ended ? open->choice : std::nullopt;
}

FileDialogs::Open* FileDialogs::Top() const {
    const WindowManager& windows = machine_.windows();
    const Open* top = nullptr;
    for (const auto& open : open_) {
        const Window* window = windows.Find(open->window);
        if (!open->ended && window && (!top || window->shown > windows.Find(top->window)->shown)) {
            top = open.get();
        }
    }
    return const_cast<Open*>(top);
}

bool FileDialogs::IsOpen() const {
    return Top() != nullptr;
}

bool FileDialogs::Answer(std::optional<std::u16string> path) {
    Open* open = Top();
    if (!open || (path && path->empty())) {
        return false;
    }
    open->choice = std::move(path);
    open->ended = true;
    machine_.kernel().Settle();
    return true;
}

}  // namespace sim
