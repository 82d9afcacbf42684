// The simulated display: monitors, their scales, and WM_DPICHANGED as a per-monitor aware
// window hears it.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sim/desktop.h"
#include "platform/win32.h"

namespace {

struct DpiChange {
    UINT dpi;
    RECT suggested;
};

std::vector<DpiChange>* dpi_log = nullptr;

LRESULT CALLBACK DpiLoggingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DPICHANGED) {
        dpi_log->push_back(DpiChange{LOWORD(wparam), *reinterpret_cast<const RECT*>(lparam)});
        EXPECT_EQ(LOWORD(wparam), HIWORD(wparam));
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

class DisplayTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::Desktop desktop{machine};
    std::vector<DpiChange> log;
    HWND window = nullptr;

    void SetUp() override { dpi_log = &log; }
    void TearDown() override { dpi_log = nullptr; }

    void StartWindow(RECT rect) {
        desktop.Start([this, rect] {
            window = machine.windows().Create(u"TestWindow", u"Test", WS_POPUP | WS_VISIBLE, 0,
                                              nullptr, 0, rect, DpiLoggingProc);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0)) {
                DispatchMessageA(&msg);
            }
        });
    }
    UINT Dpi() { return machine.windows().Find(window)->dpi; }
};

TEST_F(DisplayTest, MonitorsFoundByPointRectangleAndWindow) {
    ASSERT_TRUE(desktop.SetMonitors({{1920, 1080, 96}, {2560, 1440, 144}}));
    const HMONITOR primary = MonitorFromPoint(POINT{10, 10}, MONITOR_DEFAULTTONULL);
    const HMONITOR second = MonitorFromPoint(POINT{1920, 10}, MONITOR_DEFAULTTONULL);
    ASSERT_NE(primary, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(primary, second);
    EXPECT_EQ(MonitorFromPoint(POINT{-1, 10}, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonitorFromPoint(POINT{-1, 10}, MONITOR_DEFAULTTONEAREST), primary);
    EXPECT_EQ(MonitorFromPoint(POINT{9000, 1300}, MONITOR_DEFAULTTONEAREST), second);
    EXPECT_EQ(MonitorFromPoint(POINT{9000, 1300}, MONITOR_DEFAULTTOPRIMARY), primary);
    // A rectangle across both belongs to the one it covers most.
    const RECT across{1800, 0, 2100, 100};
    EXPECT_EQ(MonitorFromRect(&across, MONITOR_DEFAULTTONULL), second);

    MONITORINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetMonitorInfoA(primary, &info));
    EXPECT_EQ(info.dwFlags, static_cast<DWORD>(MONITORINFOF_PRIMARY));
    EXPECT_EQ(info.rcWork.bottom, 1040) << "the taskbar takes the primary's bottom";
    ASSERT_TRUE(GetMonitorInfoA(second, &info));
    EXPECT_EQ(info.rcMonitor.left, 1920);
    EXPECT_EQ(info.rcWork.bottom, 1440);
    info.cbSize = 4;
    EXPECT_FALSE(GetMonitorInfoA(primary, &info));

    // A new layout makes new monitors: the old handles name none.
    ASSERT_TRUE(desktop.SetMonitors({{1920, 1080, 96}}));
    info.cbSize = sizeof info;
    EXPECT_FALSE(GetMonitorInfoA(second, &info));
    EXPECT_FALSE(desktop.SetMonitors({}));
    EXPECT_FALSE(desktop.SetMonitors({{100, 100, 96}}));
    EXPECT_FALSE(desktop.SetMonitors({{1920, 1080, 95}}));
    EXPECT_FALSE(desktop.SetMonitorDpi(1, 144)) << "no second monitor";
    EXPECT_FALSE(desktop.SetMonitorDpi(0, 481));
    EXPECT_EQ(desktop.Monitors().size(), 1u);
}

TEST_F(DisplayTest, AWindowHearsOfEveryNewScaleOfItsMonitor) {
    ASSERT_TRUE(desktop.SetMonitors({{1920, 1080, 96}, {2560, 1440, 144}}));
    StartWindow(RECT{100, 100, 300, 200});
    EXPECT_EQ(Dpi(), 96u);

    // Moved within its monitor: nothing; onto the 150 % one: the new scale and a rectangle
    // that keeps the corner and scales the size.
    SetWindowPos(window, nullptr, 200, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(log.empty());
    desktop.MoveWindow(window, POINT{2000, 100});
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].dpi, 144u);
    EXPECT_EQ(log[0].suggested.left, 2000);
    EXPECT_EQ(log[0].suggested.right - log[0].suggested.left, 300);
    EXPECT_EQ(log[0].suggested.bottom - log[0].suggested.top, 150);
    EXPECT_EQ(Dpi(), 144u);

    // Its monitor's scale changes; the other monitor's does not concern it.
    log.clear();
    ASSERT_TRUE(desktop.SetMonitorDpi(0, 120));
    EXPECT_TRUE(log.empty());
    ASSERT_TRUE(desktop.SetMonitorDpi(1, 192));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].dpi, 192u);

    // The DPI functions answer for it, unless the machine is a Windows that lacks them.
    const HMODULE user32 = GetModuleHandleA("USER32.DLL");
    ASSERT_NE(user32, nullptr);
    const auto dpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetDpiForWindow")));
    ASSERT_NE(dpiForWindow, nullptr);
    EXPECT_EQ(dpiForWindow(window), 192u);
    EXPECT_EQ(dpiForWindow(nullptr), 0u);
    EXPECT_EQ(GetProcAddress(user32, "NoSuchFunction"), nullptr);
    machine.display().dpi_functions = false;
    EXPECT_EQ(GetProcAddress(user32, "GetDpiForWindow"), nullptr);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), 16) << "the system's scale stays at sign-in's";
}

TEST_F(DisplayTest, MulDivRoundsHalfAwayFromZeroAndRefusesWhatDoesNotFit) {
    EXPECT_EQ(MulDiv(16, 144, 96), 24);
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(5, 1, -2), -3);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(0x7FFFFFFF, 4, 2), -1);
}

}  // namespace
