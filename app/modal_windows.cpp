#include "app/modal_windows.h"

#include <vector>

namespace {

struct ThreadWindows {
    HWND keep;
    HWND alsoKeep;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam) {
    auto* windows = reinterpret_cast<ThreadWindows*>(lParam);
    // The program's own dialogs, shown or not yet (one asked for in a row with another waits
    // for its first idle moment), and the system's captioned windows on the screen: the system
    // keeps hidden windows of its own on the thread, and a popup menu is no dialog.
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(hWnd, GWL_STYLE));
    const bool dialog_on_screen = (style & WS_VISIBLE) != 0 && (style & WS_CAPTION) == WS_CAPTION;
    const bool ours = CWnd::FromHandlePermanent(hWnd) != nullptr;
    if ((ours || dialog_on_screen) && hWnd != windows->keep && hWnd != windows->alsoKeep) {
        windows->found.push_back(hWnd);
    }
    return TRUE;
}

}  // namespace

ModalWindows::Running::Running(ModalWindows& windows, Kind kind, CWnd* window)
    : windows_(windows), kind_(kind) {
    windows_.open_[kind_] = true;
    windows_.windows_[kind_] = window;
}

ModalWindows::Running::~Running() {
    windows_.open_[kind_] = false;
    windows_.windows_[kind_] = nullptr;
}

void ModalWindows::CloseThreadWindows(HWND keep, HWND alsoKeep) {
    ThreadWindows windows{keep, alsoKeep, {}};
    EnumThreadWindows(GetCurrentThreadId(), &CollectWindow, reinterpret_cast<LPARAM>(&windows));
    // The last one opened sits in the innermost loop.
    for (auto it = windows.found.rbegin(); it != windows.found.rend(); ++it) {
        if (IsWindow(*it)) {
            SendMessageA(*it, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
    }
}
