// Menus, strings, icons and bitmaps from the program's resources, and the notification area.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/sim/api/win32_user.h"
#include "platform/sim/api_impl/api_support.h"
#include "platform/sim/codepage.h"
#include "platform/sim/machine.h"
#include "platform/sim/res/res_file.h"

namespace {

using sim::api::CopyAnsi;
using sim::api::M;

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool Injected(const char* operation, DWORD error) {
    return sim::api::FailsByInjection(operation, error);
}

// The program's resources, for a module handle and an integer resource name.
const sim::res::ResFile* ProgramResources(HINSTANCE module, LPCSTR name) {
    if (!M().program().IsProgram(module) || !IS_INTRESOURCE(name) || !M().program().Resources()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return M().program().Resources();
}

WORD IdOf(LPCSTR name) {
    return static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
}
WORD Language() {
    return M().locale().ui_language;
}

}  // namespace

HMENU WINAPI LoadMenuA(HINSTANCE hInstance, LPCSTR lpMenuName) {
    M().trace().Record("LoadMenuA");
    if (Injected("LoadMenuA", ERROR_RESOURCE_NAME_NOT_FOUND)) {
        return nullptr;
    }
    const auto* resources = ProgramResources(hInstance, lpMenuName);
    const auto menu = resources ? resources->Menu(IdOf(lpMenuName), Language()) : std::nullopt;
    if (!menu) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return M().menus().Load(*menu);
}

HMENU WINAPI GetSubMenu(HMENU hMenu, int nPos) {
    if (Injected("GetSubMenu", ERROR_INVALID_MENU_HANDLE)) {
        return nullptr;
    }
    return M().menus().SubMenu(hMenu, nPos);
}

HMENU WINAPI GetSystemMenu(HWND hWnd, BOOL /*bRevert*/) {
    if (Injected("GetSystemMenu", ERROR_INVALID_WINDOW_HANDLE)) {
        return nullptr;
    }
    return M().menus().SystemMenu(hWnd);
}

BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
    if (Injected("AppendMenuA", ERROR_NOT_ENOUGH_MEMORY)) {
        return FALSE;
    }
    std::u16string text;
    if (!(uFlags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW)) && lpNewItem) {
        text = sim::AnsiToUtf16(lpNewItem, M().locale().ansi_code_page);
    }
    return M().menus().Append(hMenu, uFlags, uIDNewItem, std::move(text)) ? TRUE : FALSE;
}

BOOL WINAPI SetMenuItemBitmaps(HMENU hMenu, UINT uPosition, UINT uFlags, HBITMAP hBitmapUnchecked,
                               HBITMAP hBitmapChecked) {
    if (Injected("SetMenuItemBitmaps", ERROR_INVALID_PARAMETER)) {
        return FALSE;
    }
    return M().menus().SetItemBitmaps(hMenu, uPosition, uFlags, hBitmapUnchecked, hBitmapChecked)
               ? TRUE
               : FALSE;
}

BOOL WINAPI EndMenu() {
    return M().menus().End() ? TRUE : FALSE;
}

BOOL WINAPI TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int /*nReserved*/, HWND hWnd,
                           const RECT* /*prcRect*/) {
    if (Injected("TrackPopupMenu", ERROR_INVALID_PARAMETER)) {
        return FALSE;
    }
    return M().menus().Track(hMenu, uFlags, x, y, hWnd);
}

BOOL WINAPI DestroyMenu(HMENU hMenu) {
    if (Injected("DestroyMenu", ERROR_INVALID_MENU_HANDLE)) {
        return FALSE;
    }
    return M().menus().Destroy(hMenu) ? TRUE : FALSE;
}

int WINAPI GetMenuItemCount(HMENU hMenu) {
    const auto* items = M().menus().Items(hMenu);
    return items ? static_cast<int>(items->size()) : -1;
}

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
    M().trace().Record("GetCursorPos");
    if (Injected("GetCursorPos", ERROR_ACCESS_DENIED)) {
        return FALSE;
    }
    if (!lpPoint) {
        return FALSE;
    }
    *lpPoint = M().windows().cursor();
    return TRUE;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    if (lpModuleName && (SameIgnoringCase(lpModuleName, "user32.dll") ||
                         SameIgnoringCase(lpModuleName, "user32"))) {
        return sim::api::User32Module();
    }
    return lpModuleName ? nullptr : M().program().Handle();
}

int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
    if (!lpBuffer || cchBufferMax <= 0) {
        return 0;
    }
    lpBuffer[0] = '\0';
    if (Injected("LoadStringA", ERROR_RESOURCE_NAME_NOT_FOUND)) {
        return 0;
    }
    if (!M().program().IsProgram(hInstance) || !M().program().Resources()) {
        return 0;
    }
    const auto text = M().program().Resources()->String(uID, Language());
    return text ? CopyAnsi(*text, lpBuffer, cchBufferMax) : 0;
}

HANDLE WINAPI LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT /*fuLoad*/) {
    if (Injected("LoadImageA", ERROR_RESOURCE_NAME_NOT_FOUND)) {
        return nullptr;
    }
    const auto* resources = ProgramResources(hInst, name);
    if (!resources) {
        return nullptr;
    }
    if (type == IMAGE_ICON) {
        const auto image = resources->Icon(IdOf(name), cx, cy, Language());
        if (!image) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return nullptr;
        }
        // The image is scaled to the size asked for.
        return M().gdi().AddIcon(IdOf(name), cx ? cx : image->width, cy ? cy : image->height,
                                 image->bit_count);
    }
    if (type == IMAGE_BITMAP) {
        return LoadBitmapA(hInst, name);
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

BOOL WINAPI DestroyIcon(HICON hIcon) {
    if (Injected("DestroyIcon", ERROR_INVALID_CURSOR_HANDLE)) {
        return FALSE;
    }
    return M().gdi().DestroyIcon(hIcon) ? TRUE : FALSE;
}

HBITMAP WINAPI LoadBitmapA(HINSTANCE hInstance, LPCSTR lpBitmapName) {
    if (Injected("LoadBitmapA", ERROR_RESOURCE_NAME_NOT_FOUND)) {
        return nullptr;
    }
    const auto* resources = ProgramResources(hInstance, lpBitmapName);
    const auto bitmap =
        resources ? resources->Bitmap(IdOf(lpBitmapName), Language()) : std::nullopt;
    if (!bitmap) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return M().gdi().AddBitmap(IdOf(lpBitmapName), bitmap->width, bitmap->height,
                               bitmap->bit_count);
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    if (Injected("DeleteObject", ERROR_INVALID_HANDLE)) {
        return FALSE;
    }
    return M().gdi().DeleteObject(ho) ? TRUE : FALSE;
}

BOOL WINAPI Shell_NotifyIconA(DWORD dwMessage, PNOTIFYICONDATAA lpData) {
    static constexpr const char* kNames[] = {"NIM_ADD", "NIM_MODIFY", "NIM_DELETE"};
    const std::string name = dwMessage < 3 ? kNames[dwMessage] : std::to_string(dwMessage);
    M().trace().Record("Shell_NotifyIconA " + name);
    if (Injected("Shell_NotifyIconA", ERROR_GEN_FAILURE)) {
        return FALSE;
    }
    return M().tray().Notify(dwMessage, lpData);
}
