// Monitors and display scale as the program asks for them: the monitor at a point, its work
// area, MulDiv's rounding, and user32's DPI functions found by name.
#include "tests/platform/calls/calls_test.h"

namespace calls {
namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);

template <typename Function>
Function User32Function(const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleA("user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

class DisplayCalls : public CallsTest {};

TEST_F(DisplayCalls, MonitorsAndTheirWorkAreas) {
    const HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    ASSERT_NE(primary, nullptr);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetMonitorInfoA(primary, &info));
    EXPECT_EQ(info.dwFlags & MONITORINFOF_PRIMARY, static_cast<DWORD>(MONITORINFOF_PRIMARY));
    EXPECT_EQ(info.rcMonitor.left, 0) << "the primary monitor's corner is the screen's origin";
    EXPECT_EQ(info.rcMonitor.top, 0);
    EXPECT_GE(info.rcWork.left, info.rcMonitor.left);
    EXPECT_LE(info.rcWork.right, info.rcMonitor.right);
    EXPECT_LE(info.rcWork.bottom, info.rcMonitor.bottom);
    EXPECT_EQ(info.rcMonitor.right, GetSystemMetrics(SM_CXSCREEN));

    // Far off every monitor: none, the nearest or the primary, as asked.
    const POINT distant{-30000, -30000};
    EXPECT_EQ(MonitorFromPoint(distant, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_NE(MonitorFromPoint(distant, MONITOR_DEFAULTTONEAREST), nullptr);
    EXPECT_EQ(MonitorFromPoint(distant, MONITOR_DEFAULTTOPRIMARY), primary);
    const RECT offScreen{-30000, -30000, -29000, -29000};
    EXPECT_EQ(MonitorFromRect(&offScreen, MONITOR_DEFAULTTONULL), nullptr);
}

TEST_F(DisplayCalls, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDiv(16, 144, 96), 24);
    EXPECT_EQ(MulDiv(32, 120, 96), 40);
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(7, 1, 0), -1);
}

TEST_F(DisplayCalls, DpiFunctionsFoundByName) {
    const auto dpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    const auto metricForDpi =
        User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    ASSERT_NE(dpiForWindow, nullptr) << "Windows 10 and Wine have it";
    ASSERT_NE(metricForDpi, nullptr);
    EXPECT_EQ(metricForDpi(SM_CXSMICON, 96), 16);
    EXPECT_EQ(metricForDpi(SM_CXSMICON, 144), 24);
    EXPECT_EQ(metricForDpi(SM_CXICON, 144), 48);
    EXPECT_EQ(GetProcAddress(GetModuleHandleA("user32.dll"), "NoSuchFunctionAnywhere"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    RunProgram([&] {
        const HWND window = CreateTestWindow("DPI", WS_POPUP, nullptr, 0, DefWindowProcA);
        ASSERT_NE(window, nullptr);
        EXPECT_GE(dpiForWindow(window), 96u);
        DestroyWindow(window);
    });
}

}  // namespace
}  // namespace calls
