// Lumiset on a desktop of several monitors at several scales: where its windows open, the sizes
// its icons are loaded at, and what follows a move to a monitor of another scale.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "res/resource.h"
#include "tests/dialogs/settings_test_fixture.h"

namespace {

constexpr const char* kUserKey = "Software\\Corvance\\CV Lumen Webcam";
constexpr const char* kPositionValue = "SettingsWindowPosition";

RECT WindowRect(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

LONG Width(const RECT& rect) {
    return rect.right - rect.left;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

class DisplayScaleTest : public SettingsTest {
protected:
    // Two monitors side by side: 1920 x 1080 at 100 % (primary), 2560 x 1440 at 150 %.
    void TwoMonitors() { ASSERT_TRUE(desktop.SetMonitors({{1920, 1080, 96}, {2560, 1440, 144}})); }
    RECT Work(std::size_t monitor) const { return desktop.Monitors()[monitor].work; }
    UINT Dpi(HWND hwnd) { return machine.windows().Find(hwnd)->dpi; }
    HWND Zoom() const { return desktop.FindTopLevel(u"#32770", u" Zoom"); }
    // The page's rectangle relative to the settings window.
    RECT PageInWindow() {
        RECT page = WindowRect(machine.windows().Find(Control(IDC_MIRROR))->parent);
        const RECT window = WindowRect(Settings());
        return RECT{page.left - window.left, page.top - window.top, page.right - window.left,
                    page.bottom - window.top};
    }
    void StorePosition(DWORD type, const void* data, std::size_t size) {
        const BYTE* bytes = static_cast<const BYTE*>(data);
        machine.registry().SetValue(HKEY_CURRENT_USER, kUserKey, kPositionValue, type,
                                    std::vector<BYTE>(bytes, bytes + size));
    }
    int IconSize(HWND button) {
        const auto icon = machine.gdi().Find(machine.windows().Find(button)->image);
        return icon ? icon->width : 0;
    }
};

TEST_F(DisplayScaleTest, SettingsWindowOpensCentredOnThePointersMonitorThenWhereItWasLeft) {
    TwoMonitors();
    desktop.MovePointer(POINT{2500, 600});
    Start();
    OpenSettings(0);
    const RECT first = WindowRect(Settings());
    const RECT work = Work(1);
    EXPECT_EQ(Dpi(Settings()), 144u) << "drawn at the scale of the monitor it opened on";
    EXPECT_LE(std::abs((first.left - work.left) - (work.right - first.right)), 1);
    EXPECT_LE(std::abs((first.top - work.top) - (work.bottom - first.bottom)), 1);
    const RECT pageAt150 = PageInWindow();

    // Dragged to the primary monitor it takes that scale; the page stays over the tab's area.
    ASSERT_TRUE(desktop.MoveWindow(Settings(), POINT{100, 50}));
    EXPECT_EQ(Dpi(Settings()), 96u);
    const RECT moved = WindowRect(Settings());
    EXPECT_EQ(moved.left, 100);
    EXPECT_NEAR(Width(moved) * 3 / 2, Width(first), 2);
    const RECT pageAt100 = PageInWindow();
    EXPECT_NEAR(pageAt100.left * 3 / 2, pageAt150.left, 2);
    EXPECT_NEAR(Width(pageAt100) * 3 / 2, Width(pageAt150), 4);
    RECT display = WindowRect(machine.dialogs().Item(Settings(), IDC_SETTINGS_TAB));
    SendMessageA(machine.dialogs().Item(Settings(), IDC_SETTINGS_TAB), TCM_ADJUSTRECT, FALSE,
                 reinterpret_cast<LPARAM>(&display));
    const RECT page = WindowRect(machine.windows().Find(Control(IDC_MIRROR))->parent);
    EXPECT_EQ(page.left, display.left);
    EXPECT_EQ(page.top, display.top);
    EXPECT_EQ(page.right, display.right) << "the page covers the tab's display area again";
    EXPECT_TRUE(Inside(WindowRect(Control(IDC_MIRROR)), WindowRect(Settings())));

    // Closed and opened again, with the pointer elsewhere: where the user left it.
    Click(IDC_SETTINGS_CLOSE);
    desktop.MovePointer(POINT{3000, 1000});
    OpenSettings(0);
    EXPECT_EQ(WindowRect(Settings()).left, 100);
    EXPECT_EQ(WindowRect(Settings()).top, 50);
    const auto stored = machine.registry().GetValue(HKEY_CURRENT_USER, kUserKey, kPositionValue);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(stored->data.size(), 8u);

    // Left on the second monitor, which then goes: centred on the one that is left.
    ASSERT_TRUE(desktop.MoveWindow(Settings(), POINT{2200, 300}));
    desktop.CloseActiveWindow();
    ASSERT_TRUE(desktop.SetMonitors({{1920, 1080, 96}}));
    OpenSettings(0);
    const RECT fallback = WindowRect(Settings());
    EXPECT_TRUE(Inside(fallback, Work(0)));
    EXPECT_LE(std::abs((fallback.left - Work(0).left) - (Work(0).right - fallback.right)), 1);
    EXPECT_EQ(Dpi(Settings()), 96u);
}

TEST_F(DisplayScaleTest, AKeptPositionThatIsNotOneOfOursMeansCentred) {
    Start();
    const std::int32_t corner[2] = {200, 100};
    const char text[] = "200,100";
    const std::int32_t offScreen[2] = {-5000, -5000};
    // At the ends of int's range, where adding half the window's width or caption must not
    // overflow (UBSan stops the asan preset's run if it does).
    const std::int32_t largest[2] = {INT32_MAX, INT32_MAX};
    const std::int32_t smallest[2] = {INT32_MIN, INT32_MIN};
    const std::int32_t farRight[2] = {INT32_MAX, 100};
    const std::int32_t farDown[2] = {200, INT32_MAX};
    struct Case {
        DWORD type;
        const void* data;
        std::size_t size;
        bool kept;
    } cases[] = {
        {REG_BINARY, corner, sizeof corner, true},
        {REG_SZ, text, sizeof text, false},
        {REG_BINARY, corner, 4, false},
        {REG_BINARY, corner, 0, false},
        {REG_DWORD, corner, 4, false},
        {REG_BINARY, offScreen, sizeof offScreen, false},
        {REG_BINARY, largest, sizeof largest, false},
        {REG_BINARY, smallest, sizeof smallest, false},
        {REG_BINARY, farRight, sizeof farRight, false},
        {REG_BINARY, farDown, sizeof farDown, false},
    };
    for (const Case& c : cases) {
        StorePosition(c.type, c.data, c.size);
        OpenSettings(0);
        ASSERT_NE(Settings(), nullptr);
        const RECT rect = WindowRect(Settings());
        if (c.kept) {
            EXPECT_EQ(rect.left, 200);
            EXPECT_EQ(rect.top, 100);
        } else {
            EXPECT_EQ(rect.left, (Work(0).right - Width(rect)) / 2) << "type " << c.type;
            EXPECT_TRUE(Inside(rect, Work(0))) << "case " << &c - cases;
        }
        Click(IDC_SETTINGS_CLOSE);
        // Closing writes the position this program reads.
        const auto stored =
            machine.registry().GetValue(HKEY_CURRENT_USER, kUserKey, kPositionValue);
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->type, static_cast<DWORD>(REG_BINARY));
        EXPECT_EQ(stored->data.size(), 8u);
    }
}

TEST_F(DisplayScaleTest, ZoomOpensBesideTheSettingsWindowAndNeverOverItsCaption) {
    Start();
    // No settings window: centred on the monitor under the pointer.
    Command(ID_ZOOM);
    ASSERT_NE(Zoom(), nullptr);
    RECT zoom = WindowRect(Zoom());
    EXPECT_LE(std::abs((zoom.left - Work(0).left) - (Work(0).right - zoom.right)), 1);
    desktop.CloseActiveWindow();

    OpenSettings(0);
    ASSERT_TRUE(desktop.MoveWindow(Settings(), POINT{100, 100}));
    Command(ID_ZOOM);
    zoom = WindowRect(Zoom());
    RECT settings = WindowRect(Settings());
    EXPECT_GT(zoom.left, settings.right) << "to its right";
    EXPECT_EQ(zoom.top, settings.top);
    EXPECT_TRUE(Inside(zoom, Work(0)));
    desktop.CloseActiveWindow();

    ASSERT_TRUE(desktop.MoveWindow(Settings(), POINT{1900 - Width(settings), 100}));
    Command(ID_ZOOM);
    zoom = WindowRect(Zoom());
    settings = WindowRect(Settings());
    EXPECT_LT(zoom.right, settings.left) << "to its left when the right has no room";
    desktop.CloseActiveWindow();

    // A monitor with room at neither side: centred, below the caption.
    ASSERT_TRUE(desktop.SetMonitors({{640, 1080, 96}}));
    ASSERT_TRUE(desktop.MoveWindow(Settings(), POINT{100, 300}));
    Command(ID_ZOOM);
    zoom = WindowRect(Zoom());
    settings = WindowRect(Settings());
    const RECT caption{settings.left, settings.top, settings.right,
                       settings.top + GetSystemMetrics(SM_CYCAPTION)};
    EXPECT_FALSE(Overlap(zoom, caption));
    EXPECT_TRUE(Inside(zoom, Work(0)));
    desktop.CloseActiveWindow();
    EXPECT_TRUE(desktop.Running(process));
}

TEST_F(DisplayScaleTest, IconsAreLoadedAtTheDisplaysSizes) {
    Start();
    EXPECT_EQ(desktop.TrayIcons()[0].icon_width, 16);
    ASSERT_TRUE(desktop.SetMonitorDpi(0, 144));
    desktop.Wait(1000);
    EXPECT_EQ(desktop.TrayIcons()[0].icon_width, 24) << "the next tick loads it at 150 %";
    ASSERT_TRUE(desktop.SetMonitorDpi(0, 120));
    desktop.Wait(1000);
    EXPECT_EQ(desktop.TrayIcons()[0].icon_width, 20);

    // The Zoom arrows at the large-icon size, drawn anew on a monitor of another scale.
    Command(ID_ZOOM);
    ASSERT_NE(Zoom(), nullptr);
    const HWND up = machine.dialogs().Item(Zoom(), IDC_PAN_UP);
    EXPECT_EQ(IconSize(up), 40);
    const int iconsOpen = machine.resources().Open("icon");
    ASSERT_TRUE(desktop.SetMonitorDpi(0, 144));
    EXPECT_EQ(IconSize(up), 48);
    EXPECT_EQ(machine.resources().Open("icon"), iconsOpen) << "the old icons are destroyed";
    desktop.CloseActiveWindow();
}

TEST_F(DisplayScaleTest, OlderWindowsWithoutTheDpiFunctionsUsesTheSystemsSizes) {
    machine.display().dpi_functions = false;
    ASSERT_TRUE(desktop.SetMonitorDpi(0, 144));
    Start();
    EXPECT_EQ(desktop.TrayIcons()[0].icon_width, 16) << "the system's scale, 100 % here";
    Command(ID_ZOOM);
    ASSERT_NE(Zoom(), nullptr);
    EXPECT_EQ(IconSize(machine.dialogs().Item(Zoom(), IDC_PAN_UP)), 32);
    desktop.CloseActiveWindow();
}

}  // namespace
