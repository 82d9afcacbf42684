// Window rectangles in screen coordinates. A child's rectangle is kept relative to its parent's
// client area, whose origin is the parent's own top-left corner (the simulated windows have no
// frames).
#include "platform/sim/api/win32_user.h"
#include "platform/sim/machine.h"

namespace {

// The screen position of a window's top-left corner; the screen itself for null.
bool ScreenOrigin(HWND hwnd, POINT& origin) {
    origin = POINT{0, 0};
    const sim::WindowManager& windows = sim::Machine::Current().windows();
    for (const sim::Window* window = hwnd ? windows.Find(hwnd) : nullptr; window;
         window = window->TopLevel() ? nullptr : windows.Find(window->parent)) {
        origin.x += window->rect.left;
        origin.y += window->rect.top;
    }
    return !hwnd || windows.Find(hwnd);
}

}  // namespace

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    const sim::Window* window = sim::Machine::Current().windows().Find(hWnd);
    POINT origin{};
    if (!window || !lpRect || !ScreenOrigin(hWnd, origin)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *lpRect = RECT{origin.x, origin.y, origin.x + (window->rect.right - window->rect.left),
                   origin.y + (window->rect.bottom - window->rect.top)};
    return TRUE;
}

int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
    POINT from{};
    POINT to{};
    if (!ScreenOrigin(hWndFrom, from) || !ScreenOrigin(hWndTo, to)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    const LONG dx = from.x - to.x;
    const LONG dy = from.y - to.y;
    for (UINT i = 0; lpPoints && i < cPoints; ++i) {
        lpPoints[i].x += dx;
        lpPoints[i].y += dy;
    }
    SetLastError(ERROR_SUCCESS);
    // The offsets' low words, as Windows packs them.
    return static_cast<int>(static_cast<DWORD>(static_cast<WORD>(dx)) |
                            (static_cast<DWORD>(static_cast<WORD>(dy)) << 16));
}
