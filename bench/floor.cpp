// Floor.exe: the least Win32 program of Lumiset's shape, the yardstick of `make bench`. A modal
// dialog "#32770" titled "Property" whose show is suppressed; a one-second tick that loads the
// tray icon, adds or modifies it, destroys the icon and reads one registry value; the exit
// command removes the icon. It links what any program of this kind needs: common controls 6,
// SetupAPI and OLE Automation.
#include <windows.h>
// windows.h first.
#include <commctrl.h>
#include <oleauto.h>
#include <setupapi.h>
#include <shellapi.h>

#include <cstring>

#include "bench/floor_resource.h"

namespace {

constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTrayIconId = 148;
constexpr UINT kTrayMessage = WM_APP + 1000;
constexpr WORD kExitCommand = 32772;
constexpr char kKeyPath[] = "SOFTWARE\\Corvance\\CV Lumen Webcam";
constexpr char kValueName[] = "DeviceEnable";
constexpr char kTip[] = "CV Lumen Webcam";

struct Floor {
    HKEY key = nullptr;
    NOTIFYICONDATAA tray{};
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

INT_PTR CALLBACK FloorDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetTimer(window, kTickTimer, 1000, nullptr);
            return TRUE;
        case WM_WINDOWPOSCHANGING:
            reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
            return TRUE;
        case WM_TIMER:
            Tick(window);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == kExitCommand) {
                if (state.tray.uFlags != 0) {
                    Shell_NotifyIconA(NIM_DELETE, &state.tray);
                }
                KillTimer(window, kTickTimer);
                EndDialog(window, 0);
            }
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    // Neither call does anything; they keep SetupAPI and OLE Automation among the imports, as
    // in any program that talks to a camera.
    SetupDiDestroyDeviceInfoList(INVALID_HANDLE_VALUE);
    SysFreeString(nullptr);
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ, &state.key);
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_FLOOR), nullptr, FloorDialog, 0);
    if (state.key != nullptr) {
        RegCloseKey(state.key);
    }
    return 0;
}
