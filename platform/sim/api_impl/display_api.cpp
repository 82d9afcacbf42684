// Monitors, display scale and the DPI functions of user32, on the machine's display.
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

#include "platform/sim/api/win32_user.h"
#include "platform/sim/api_impl/api_support.h"
#include "platform/sim/machine.h"

namespace {

using sim::Machine;

// user32's handle for GetModuleHandleA and GetProcAddress; the program's own module is another.
const HMODULE kUser32 = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x7FF10000));

const sim::Monitor* Chosen(const sim::Monitor* found, DWORD flags, const sim::Monitor& nearest) {
    if (found) {
        return found;
    }
    switch (flags) {
        case MONITOR_DEFAULTTOPRIMARY:
            return &Machine::Current().display().Primary();
        case MONITOR_DEFAULTTONEAREST:
            return &nearest;
        default:
            return nullptr;
    }
}

// Through void(*)(), the one function type any other converts to without a warning.
template <typename Function>
FARPROC AsFarProc(Function* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

HMONITOR HandleOf(const sim::Monitor* monitor) {
    return monitor ? monitor->handle : nullptr;
}

int MetricAt(int index, UINT dpi) {
    const sim::Display& display = Machine::Current().display();
    switch (index) {
        case SM_CXSCREEN:
            return display.Primary().rect.right - display.Primary().rect.left;
        case SM_CYSCREEN:
            return display.Primary().rect.bottom - display.Primary().rect.top;
        case SM_CYCAPTION:
            return MulDiv(23, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
        case SM_CXICON:
        case SM_CYICON:
            return MulDiv(32, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
        case SM_CXSMICON:
        case SM_CYSMICON:
            return MulDiv(16, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
        default:
            return 0;
    }
}

UINT WINAPI SimGetDpiForWindow(HWND hwnd) {
    const sim::Window* window = Machine::Current().windows().Find(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return window->dpi;
}

UINT WINAPI SimGetDpiForSystem() {
    return USER_DEFAULT_SCREEN_DPI;
}

int WINAPI SimGetSystemMetricsForDpi(int index, UINT dpi) {
    if (dpi == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return MetricAt(index, dpi);
}

}  // namespace

int WINAPI MulDiv(int nNumber, int nNumerator, int nDenominator) {
    if (nDenominator == 0) {
        return -1;
    }
    const long long product = static_cast<long long>(nNumber) * nNumerator;
    const long long half = std::llabs(static_cast<long long>(nDenominator)) / 2;
    const bool negative = (product < 0) != (nDenominator < 0);
    const long long magnitude =
        (std::llabs(product) + half) / std::llabs(static_cast<long long>(nDenominator));
    const long long result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) {
        return -1;
    }
    return static_cast<int>(result);
}

HMONITOR WINAPI MonitorFromPoint(POINT pt, DWORD dwFlags) {
    const sim::Display& display = Machine::Current().display();
    return HandleOf(Chosen(display.At(pt), dwFlags, display.Nearest(pt)));
}

HMONITOR WINAPI MonitorFromRect(const RECT* lprc, DWORD dwFlags) {
    if (!lprc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const sim::Display& display = Machine::Current().display();
    return HandleOf(Chosen(display.Overlapping(*lprc), dwFlags, display.Nearest(*lprc)));
}

HMONITOR WINAPI MonitorFromWindow(HWND hwnd, DWORD dwFlags) {
    RECT rect{};
    if (!GetWindowRect(hwnd, &rect)) {
        return nullptr;
    }
    return MonitorFromRect(&rect, dwFlags);
}

BOOL WINAPI GetMonitorInfoA(HMONITOR hMonitor, LPMONITORINFO lpmi) {
    const sim::Monitor* monitor = Machine::Current().display().Find(hMonitor);
    if (!monitor || !lpmi || lpmi->cbSize < sizeof(MONITORINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpmi->rcMonitor = monitor->rect;
    lpmi->rcWork = monitor->work;
    lpmi->dwFlags = monitor->primary ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

int WINAPI GetSystemMetrics(int nIndex) {
    return MetricAt(nIndex, SimGetDpiForSystem());
}

HMODULE sim::api::User32Module() {
    return kUser32;
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    // A name, not an ordinal; only user32's DPI functions, which Windows before 10 lacks.
    const bool named = reinterpret_cast<std::uintptr_t>(lpProcName) > 0xFFFF;
    if (hModule == kUser32 && named && Machine::Current().display().dpi_functions) {
        const std::string_view name(lpProcName);
        if (name == "GetDpiForWindow") {
            return AsFarProc(&SimGetDpiForWindow);
        }
        if (name == "GetDpiForSystem") {
            return AsFarProc(&SimGetDpiForSystem);
        }
        if (name == "GetSystemMetricsForDpi") {
            return AsFarProc(&SimGetSystemMetricsForDpi);
        }
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}
