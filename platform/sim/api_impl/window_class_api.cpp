// Window classes of the program's own and the windows made from them; layered windows and the
// accessibility events windows raise.
#include "platform/sim/api/win32_user.h"
#include "platform/sim/api_impl/api_support.h"
#include "platform/sim/codepage.h"
#include "platform/sim/machine.h"

using sim::api::M;

namespace {

sim::ProcessId CallingProcess() {
    return M().kernel().ProcessOf(sim::Kernel::CurrentThread());
}

// A class named by a string or by the atom RegisterClassA gave.
std::u16string ClassName(LPCSTR name) {
    if (IS_INTRESOURCE(name)) {
        return M().windows().ClassAtomName(
            static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name) & 0xFFFF));
    }
    return sim::AnsiToUtf16(name, M().locale().ansi_code_page);
}

}  // namespace

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
    if (sim::api::FailsByInjection("RegisterClassA", ERROR_NOT_ENOUGH_MEMORY)) {
        return 0;
    }
    if (!lpWndClass || !lpWndClass->lpszClassName || IS_INTRESOURCE(lpWndClass->lpszClassName) ||
        !lpWndClass->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    ATOM atom = 0;
    const DWORD error = M().windows().RegisterProgramClass(
        CallingProcess(), ClassName(lpWndClass->lpszClassName), lpWndClass->lpfnWndProc, &atom);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return 0;
    }
    return atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE /*hInstance*/) {
    const DWORD error =
        M().windows().UnregisterProgramClass(CallingProcess(), ClassName(lpClassName));
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                            int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                            HINSTANCE hInstance, LPVOID lpParam) {
    if (sim::api::FailsByInjection("CreateWindowExA", ERROR_NOT_ENOUGH_MEMORY)) {
        return nullptr;
    }
    sim::WindowManager& windows = M().windows();
    const std::u16string class_name = lpClassName ? ClassName(lpClassName) : std::u16string();
    const WNDPROC procedure = windows.ProgramClassProcedure(CallingProcess(), class_name);
    if (!procedure && (class_name.empty() || !windows.IsSystemClass(class_name))) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (hWndParent && !windows.Find(hWndParent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if ((dwStyle & WS_CHILD) && !hWndParent) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    const int x = X == CW_USEDEFAULT ? 0 : X;
    const int y = X == CW_USEDEFAULT ? 0 : Y;
    const int cx = nWidth == CW_USEDEFAULT ? 0 : nWidth;
    const int cy = nWidth == CW_USEDEFAULT ? 0 : nHeight;
    const int id = (dwStyle & WS_CHILD) ? static_cast<int>(reinterpret_cast<INT_PTR>(hMenu)) : 0;
    const std::u16string title = lpWindowName
                                     ? sim::AnsiToUtf16(lpWindowName, M().locale().ansi_code_page)
                                     : std::u16string();
    const HWND hwnd =
        windows.Create(class_name, title, dwStyle & ~static_cast<DWORD>(WS_VISIBLE), dwExStyle,
                       hWndParent, id, RECT{x, y, x + cx, y + cy}, procedure);
    CREATESTRUCTA create{
        lpParam,      hInstance,   hMenu,    hWndParent, cy, cx, y, x, static_cast<LONG>(dwStyle),
        lpWindowName, lpClassName, dwExStyle};
    const auto lparam = reinterpret_cast<LPARAM>(&create);
    if (!windows.Send(hwnd, WM_NCCREATE, 0, lparam) ||
        windows.Send(hwnd, WM_CREATE, 0, lparam) == -1) {
        windows.Destroy(hwnd);
        return nullptr;
    }
    if (!windows.Find(hwnd)) {
        return nullptr;
    }
    if (dwStyle & WS_VISIBLE) {
        windows.Show(hwnd, (dwExStyle & WS_EX_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    }
    return windows.Find(hwnd) ? hwnd : nullptr;
}

BOOL WINAPI SetLayeredWindowAttributes(HWND hwnd, COLORREF crKey, BYTE bAlpha, DWORD dwFlags) {
    sim::Window* window = M().windows().Find(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!(window->ex_style & WS_EX_LAYERED) ||
        (dwFlags & ~static_cast<DWORD>(LWA_COLORKEY | LWA_ALPHA))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    window->layered = sim::Window::Layered{crKey, bAlpha, dwFlags};
    return TRUE;
}

void WINAPI NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild) {
    M().win_events().Record(sim::WinEvent{event, hwnd, idObject, idChild});
}
