#include "framework/display_scale.h"

namespace framework {

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);

// Through void(*)(), which converts to any other function type without a warning.
template <typename Function>
Function User32Function(const char* name) {
    const HMODULE user32 = ::GetModuleHandleA("user32.dll");
    const FARPROC found = user32 != nullptr ? ::GetProcAddress(user32, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

int SystemMetricForWindow(int index, HWND window) {
    const auto dpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    const auto metricForDpi =
        User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    if (dpiForWindow != nullptr && metricForDpi != nullptr) {
        const UINT dpi = dpiForWindow(window);
        if (dpi != 0) {
            return metricForDpi(index, dpi);
        }
    }
    return ::GetSystemMetrics(index);
}

}  // namespace framework
