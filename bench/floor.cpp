// Floor.exe: the least Win32 program of Lumiset's shape, the yardstick of `make bench`. A modal
// dialog "#32770" titled "Property" whose show is suppressed; a one-second tick that loads the
// tray icon, adds or modifies it, destroys the icon and reads one registry value; a right click
// on the icon opens the tray menu with one item marked; the exit command removes the icon. It
// links what any program of this kind needs: common controls 6, SetupAPI and OLE Automation.
//
//   Floor.exe [/com] [/settings]
//   /com       COM is initialised around the host's life, as in a program that talks to a camera
//   /settings  a plain dialog of the settings window's template shows once the host is up
#include <windows.h>
// windows.h first.
#include <commctrl.h>
#include <oleauto.h>
#include <setupapi.h>
#include <shellapi.h>

#include <cstring>
#include <string_view>

#include "bench/floor_resource.h"

namespace {

constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTrayIconId = 148;
constexpr UINT kTrayMessage = WM_APP + 1000;
constexpr UINT kShowSettingsMessage = WM_APP + 1;
constexpr WORD kExitCommand = 32772;
constexpr char kKeyPath[] = "SOFTWARE\\Corvance\\CV Lumen Webcam";
constexpr char kValueName[] = "DeviceEnable";
constexpr char kTip[] = "CV Lumen Webcam";

struct Floor {
    HKEY key = nullptr;
    NOTIFYICONDATAA tray{};
    bool settings_at_start = false;
    HWND settings = nullptr;
};

Floor state;

void Tick(HWND window) {
    const HICON icon =
        static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_FLOOR_TRAY),
                                      IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    const DWORD command = state.tray.uFlags == 0 ? NIM_ADD : NIM_MODIFY;
    state.tray.cbSize = NOTIFYICONDATAA_V2_SIZE;
    state.tray.hWnd = window;
    state.tray.uID = kTrayIconId;
    state.tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    state.tray.uCallbackMessage = kTrayMessage;
    state.tray.hIcon = icon;
    std::memcpy(state.tray.szTip, kTip, sizeof kTip);
    Shell_NotifyIconA(command, &state.tray);
    DestroyIcon(icon);
    DWORD value = 0;
    DWORD size = sizeof value;
    RegQueryValueExA(state.key, kValueName, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                     &size);
}

// The tray menu as a program of this shape shows it: loaded afresh, one item marked with the
// mark bitmap, tracked at the cursor, destroyed.
void OpenTrayMenu(HWND window) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const HMENU menu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_FLOOR_MENU));
    const HMENU popup = GetSubMenu(menu, 0);
    POINT cursor{};
    GetCursorPos(&cursor);
    const HBITMAP mark = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_FLOOR_MARK));
    SetMenuItemBitmaps(popup, ID_FLOOR_OFF, MF_BYCOMMAND, mark, mark);
    SetForegroundWindow(window);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
    DestroyMenu(menu);
    DeleteObject(mark);
}

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

void ShowSettings() {
    state.settings = CreateDialogParamA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_FLOOR_SETTINGS), nullptr, PlainDialog, 0);
    ShowWindow(state.settings, SW_SHOW);
    SetForegroundWindow(state.settings);
}

INT_PTR CALLBACK FloorDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetTimer(window, kTickTimer, 1000, nullptr);
            if (state.settings_at_start) {
                PostMessageA(window, kShowSettingsMessage, 0, 0);
            }
            return TRUE;
        case WM_WINDOWPOSCHANGING:
            reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
            return TRUE;
        case WM_TIMER:
            Tick(window);
            return TRUE;
        case kTrayMessage:
            if (lParam == WM_RBUTTONUP || lParam == WM_LBUTTONDBLCLK) {
                OpenTrayMenu(window);
            }
            return TRUE;
        case kShowSettingsMessage:
            ShowSettings();
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == kExitCommand) {
                if (state.tray.uFlags != 0) {
                    Shell_NotifyIconA(NIM_DELETE, &state.tray);
                }
                KillTimer(window, kTickTimer);
                if (state.settings != nullptr) {
                    DestroyWindow(state.settings);
                }
                EndDialog(window, 0);
            }
            return TRUE;
        default:
            return FALSE;
    }
}

bool HasSwitch(std::string_view command_line, std::string_view name) {
    return command_line.find(name) != std::string_view::npos;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
    const std::string_view switches = command_line != nullptr ? command_line : "";
    const bool com = HasSwitch(switches, "/com");
    state.settings_at_start = HasSwitch(switches, "/settings");
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // Neither call does anything; they keep SetupAPI and OLE Automation among the imports, as
    // in any program that talks to a camera.
    SetupDiDestroyDeviceInfoList(INVALID_HANDLE_VALUE);
    SysFreeString(nullptr);
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ, &state.key);
    if (com) {
        CoInitialize(nullptr);
    }
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_FLOOR), nullptr, FloorDialog, 0);
    if (com) {
        CoUninitialize();
    }
    if (state.key != nullptr) {
        RegCloseKey(state.key);
    }
    return 0;
}
