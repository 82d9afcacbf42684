// lumiset_menu_probe: builds Lumiset's tray menu with Lumiset's own code, in this process (Wine
// lets no process read another's menus), opens it as Lumiset does, reads it back through the open
// menu window's handle and prints it in the console's `menu` format: "[*] 50Hz" for a marked
// item, "[ ] 60Hz" for an unmarked one, "---" for a separator.
//
// Exit status: 0 the menu opened and was read, 1 it did not open or could not be read.
#include <cstdio>
#include <string>
#include <vector>

#include "app/tray_popup.h"
#include "framework/unique_handle.h"
#include "platform/win32.h"

namespace {

constexpr UINT kPollIntervalMs = 50;
constexpr int kPollLimit = 100;  // five seconds for the menu window to appear

struct Reading {
    HMENU expected = nullptr;
    std::vector<std::string> lines;
    bool read = false;
    bool sameMenu = false;
    int polls = 0;
};

Reading g_reading;  // the timer procedure's only way to its caller's state

HWND OwnOpenMenuWindow() {
    for (HWND window = FindWindowExA(nullptr, nullptr, "#32768", nullptr); window;
         window = FindWindowExA(nullptr, window, "#32768", nullptr)) {
        if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() &&
            IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

std::vector<std::string> ReadItems(HMENU menu) {
    std::vector<std::string> lines;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        char text[128] = {};
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_CHECKMARKS;
        item.dwTypeData = text;
        item.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &item)) {
            lines.push_back("(unreadable)");
        } else if (item.fType & MFT_SEPARATOR) {
            lines.push_back("---");
        } else {
            // Lumiset never checks an item; its mark is the unchecked image.
            lines.push_back(std::string(item.hbmpUnchecked ? "[*] " : "[ ] ") + text);
        }
    }
    return lines;
}

void CALLBACK PollForMenu(HWND, UINT, UINT_PTR, DWORD) {
    if (const HWND window = OwnOpenMenuWindow()) {
        const auto menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
        g_reading.sameMenu = menu == g_reading.expected;
        g_reading.lines = ReadItems(menu);
        g_reading.read = true;
        EndMenu();
    } else if (++g_reading.polls >= kPollLimit) {
        EndMenu();
    }
}

struct WindowTraits {
    using Handle = HWND;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle window) { DestroyWindow(window); }
};

}  // namespace

int main() {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int status = 1;
    {
        // A hidden owner, as Lumiset's hidden host window owns its menu.
        const framework::UniqueHandle<WindowTraits> owner(CreateWindowExA(
            0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr));
        TrayPopup menu;
        g_reading.expected = menu.Popup().GetSafeHmenu();
        const UINT_PTR timer = SetTimer(nullptr, 0, kPollIntervalMs, PollForMenu);
        if (owner && g_reading.expected && timer) {
            SetForegroundWindow(owner.Get());
            TrackPopupMenu(g_reading.expected, TPM_LEFTALIGN | TPM_LEFTBUTTON, 100, 100, 0,
                           owner.Get(), nullptr);
        }
        if (timer) {
            KillTimer(nullptr, timer);
        }
        if (!g_reading.read) {
            std::printf("the menu did not open\n");
        } else if (!g_reading.sameMenu) {
            std::printf("the open menu is not the one built\n");
        } else {
            for (const std::string& line : g_reading.lines) {
                std::printf("%s\n", line.c_str());
            }
            status = 0;
        }
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return status;
}
