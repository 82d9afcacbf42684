// The Zoom dialog: opening it once, its 20 ms tick, held arrows, and the capture window it
// enables again when it closes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/lumiset_machine.h"

namespace {

using Lines = std::vector<std::string>;

class ZoomDialogTest : public testing_support::LumisetTest {
protected:
    void Start() {
        process = StartLumiset();
        desktop.Wait(1000);
        ASSERT_EQ(desktop.TrayIcons().size(), 1u);
    }
    void Open() {
        Command(ID_ZOOM);
        ASSERT_NE(Zoom(), nullptr);
        camera->driver.ClearLog();
    }
    HWND Zoom(std::u16string_view title = u" Zoom") const {
        return desktop.FindTopLevel(u"#32770", title);
    }
    int CountTitled(std::u16string_view title) const {
        const auto windows = desktop.TopLevelWindows();
        return static_cast<int>(std::count_if(windows.begin(), windows.end(),
                                              [title](const auto& w) { return w.title == title; }));
    }
    sim::ControlView View(int id) const {
        for (const sim::ControlView& view : desktop.VisibleControls(Zoom())) {
            if (view.id == id) {
                return view;
            }
        }
        ADD_FAILURE() << "no visible control " << id;
        return {};
    }
    // "LRTB" with '-' for each disabled arrow.
    std::string Arrows() const {
        std::string shown;
        for (const auto& [id, letter] :
             {std::pair{IDC_PAN_LEFT, 'L'}, std::pair{IDC_PAN_RIGHT, 'R'},
              std::pair{IDC_PAN_UP, 'T'}, std::pair{IDC_PAN_DOWN, 'B'}}) {
            shown += View(id).enabled ? letter : '-';
        }
        return shown;
    }
    Lines CameraLog() {
        Lines log = camera->driver.Log();
        camera->driver.ClearLog();
        return log;
    }
    int Count(const Lines& log, const std::string& line) {
        return static_cast<int>(std::count(log.begin(), log.end(), line));
    }
    void ZoomOn(int level) {
        camera->driver.SetZoom(11, 1);
        camera->driver.SetZoom(8, level);
    }

    sim::ProcessId process = 0;
};

TEST_F(ZoomDialogTest, OpensOnceTopmostAndOnlyTheCloseBoxClosesIt) {
    Start();
    Open();
    const auto windows = desktop.TopLevelWindows();
    const auto zoom = std::find_if(windows.begin(), windows.end(),
                                   [](const auto& w) { return w.title == u" Zoom"; });
    ASSERT_NE(zoom, windows.end());
    EXPECT_TRUE(zoom->visible);
    EXPECT_TRUE(zoom->topmost);
    Command(ID_ZOOM);
    EXPECT_EQ(CountTitled(u" Zoom"), 1);

    desktop.PressKey(Zoom(), VK_ESCAPE);
    EXPECT_NE(Zoom(), nullptr) << "Esc is swallowed";
    // Off, the trackbar waits at the top; with no zoom every arrow is off.
    EXPECT_FALSE(View(IDC_ZOOM_ENABLE).checked);
    EXPECT_EQ(View(IDC_ZOOM_SLIDER).pos, 64);
    EXPECT_FALSE(View(IDC_ZOOM_SLIDER).enabled);
    desktop.Wait(20);
    EXPECT_EQ(Arrows(), "----");
    EXPECT_EQ(View(IDC_PAN_LEFT).kind, "iconbutton");

    EXPECT_TRUE(desktop.CloseActiveWindow());
    EXPECT_EQ(Zoom(), nullptr);
    EXPECT_EQ(machine.resources().Open("icon"), 0) << "the arrows' icons go with the dialog";
    EXPECT_EQ(machine.resources().Open("COM reference"), 0);
    EXPECT_TRUE(desktop.Running(process));
    // Enter ends it as well.
    Open();
    desktop.PressKey(Zoom(), VK_RETURN);
    EXPECT_EQ(Zoom(), nullptr);
}

TEST_F(ZoomDialogTest, EveryTickImposesTheTrackbarLevelWhileZoomIsOn) {
    Start();
    ZoomOn(40);
    Open();
    EXPECT_TRUE(View(IDC_ZOOM_ENABLE).checked);
    EXPECT_EQ(View(IDC_ZOOM_SLIDER).pos, 24);
    ASSERT_TRUE(desktop.DragTrackbar(desktop.VisibleControl(Zoom(), IDC_ZOOM_SLIDER), 0));
    desktop.Wait(100);
    const Lines log = CameraLog();
    EXPECT_EQ(Count(log, "set zoom.8 64"), 5) << "one write a tick, the trackbar at the top";
    EXPECT_EQ(Count(log, "get zoom.10"), 5);
    EXPECT_EQ(camera->driver.Zoom(8), 64);
    desktop.DragTrackbar(desktop.VisibleControl(Zoom(), IDC_ZOOM_SLIDER), 64);
    desktop.Wait(20);
    EXPECT_EQ(Count(CameraLog(), "set zoom.8 0"), 1);

    // Off: the ticks read, write nothing, and the trackbar goes back to the top.
    EXPECT_TRUE(desktop.ClickControl(desktop.VisibleControl(Zoom(), IDC_ZOOM_ENABLE)));
    EXPECT_EQ(CameraLog(), Lines{"set zoom.11 0"});
    EXPECT_FALSE(View(IDC_ZOOM_SLIDER).enabled);
    EXPECT_EQ(View(IDC_ZOOM_SLIDER).pos, 64);
    desktop.Wait(40);
    EXPECT_EQ(CameraLog(), (Lines{"get zoom.11", "get zoom.8", "get zoom.8", "get zoom.11",
                                  "get zoom.8", "get zoom.8"}));
    EXPECT_TRUE(desktop.ClickControl(desktop.VisibleControl(Zoom(), IDC_ZOOM_ENABLE)));
    EXPECT_EQ(CameraLog(), Lines{"set zoom.11 1"});
    EXPECT_TRUE(View(IDC_ZOOM_SLIDER).enabled);
}

TEST_F(ZoomDialogTest, ArrowsFollowTheViewAndAHeldArrowPansEveryTick) {
    Start();
    ZoomOn(40);
    Open();
    desktop.Wait(20);
    EXPECT_EQ(Arrows(), "LRTB") << "a centred view can move every way";
    const HWND left = desktop.VisibleControl(Zoom(), IDC_PAN_LEFT);
    ASSERT_TRUE(desktop.PressButton(left));
    CameraLog();
    desktop.Wait(60);
    EXPECT_EQ(Count(CameraLog(), "set zoom.1 40"), 3) << "once a tick while held";
    ASSERT_TRUE(desktop.ReleaseButton(left));
    EXPECT_EQ(CameraLog(), Lines{"set zoom.1 40"}) << "and once more on release";

    // Held until the view reaches the left side: the arrow turns off and cannot be held.
    ASSERT_TRUE(desktop.PressButton(left));
    for (int tick = 0; tick < 200 && View(IDC_PAN_LEFT).enabled; ++tick) {
        desktop.Wait(20);
    }
    EXPECT_EQ(Arrows(), "-RTB");
    EXPECT_FALSE(desktop.ReleaseButton(left)) << "a disabled button lost its press";
    EXPECT_FALSE(desktop.PressButton(left));
}

TEST_F(ZoomDialogTest, TitlesInEveryCodePageKeepASecondDialogShut) {
    struct Case {
        unsigned short language;
        unsigned code_page;
        std::u16string title;
    };
    const Case cases[] = {
        {1033, 1252, u" Zoom"}, {2052, 936, u" \u7f29\u653e"}, {1028, 950, u" \u7e2e\u653e"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code_page);
        machine.locale().ui_language = c.language;
        machine.locale().ansi_code_page = c.code_page;
        Start();
        Command(ID_ZOOM);
        ASSERT_NE(Zoom(c.title), nullptr);
        Command(ID_ZOOM);
        EXPECT_EQ(CountTitled(c.title), 1);
        desktop.CloseActiveWindow();
        // Another program's window of that title keeps it shut as well.
        const HWND other = desktop.OpenWindow(u"", c.title);
        Command(ID_ZOOM);
        EXPECT_EQ(CountTitled(c.title), 1);
        desktop.CloseWindow(other);
        Command(ID_ZOOM);
        Command(32772);
        desktop.CloseActiveWindow();
        EXPECT_FALSE(desktop.Running(process));
    }
    // A Chinese title matches only in its own code page.
    machine.locale().ui_language = 1033;
    machine.locale().ansi_code_page = 1252;
    Start();
    const HWND chinese = desktop.OpenWindow(u"", u" \u7f29\u653e");
    Command(ID_ZOOM);
    EXPECT_NE(Zoom(), nullptr);
    desktop.CloseActiveWindow();
    desktop.CloseWindow(chinese);
}

// A code page that cannot spell the dialog's title hides it from the title look-up; the
// program's own dialog still keeps a second one shut, and exit closes it.
TEST_F(ZoomDialogTest, OneDialogWhereTheCodePageCannotSpellItsTitle) {
    struct Case {
        unsigned short language;
        unsigned code_page;
        std::u16string title;
    };
    const Case cases[] = {{2052, 1252, u" \u7f29\u653e"}, {1028, 936, u" \u7e2e\u653e"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code_page);
        machine.locale().ui_language = c.language;
        machine.locale().ansi_code_page = c.code_page;
        Start();
        Command(ID_ZOOM);
        Command(ID_ZOOM);
        Command(ID_ZOOM);
        EXPECT_EQ(CountTitled(c.title), 1);
        Command(32772);
        EXPECT_FALSE(desktop.Running(process));
        EXPECT_EQ(CountTitled(c.title), 0);
        EXPECT_TRUE(machine.resources().Outstanding().empty());
    }
}

TEST_F(ZoomDialogTest, ClosingEnablesTheCaptureWindow) {
    Start();
    auto open_disabled = [this](std::u16string title) {
        const HWND window = desktop.OpenWindow(u"", std::move(title));
        desktop.EnableWindow(window, false);
        return window;
    };
    auto close_zoom = [this] {
        Command(ID_ZOOM);
        ASSERT_EQ(desktop.ActiveWindow(), Zoom());
        EXPECT_TRUE(desktop.CloseActiveWindow());
    };

    // "VidCap" first; nothing is remembered.
    const HWND vidcap = open_disabled(u"VidCap");
    const HWND amcap = open_disabled(u"AMCAP");
    close_zoom();
    EXPECT_TRUE(IsWindowEnabled(vidcap));
    EXPECT_FALSE(IsWindowEnabled(amcap));
    desktop.CloseWindow(vidcap);
    // "AMCAP", remembered for later calls that find no capture window by its titles.
    close_zoom();
    EXPECT_TRUE(IsWindowEnabled(amcap));
    desktop.EnableWindow(amcap, false);
    SetWindowTextA(amcap, "AMCAP - C:\\capture.avi");
    close_zoom();
    EXPECT_TRUE(IsWindowEnabled(amcap));

    // "AMCAP - " and the profile's capture file, cut so that the title fits 255 characters.
    machine.profile().Set("annie", "CaptureFile", "D:\\video.avi");
    const HWND titled = open_disabled(u"AMCAP - D:\\video.avi");
    close_zoom();
    EXPECT_TRUE(IsWindowEnabled(titled));
    desktop.CloseWindow(titled);
    const std::string long_file(300, 'f');
    machine.profile().Set("annie", "CaptureFile", long_file);
    const HWND long_titled = open_disabled(u"AMCAP - " + std::u16string(247, u'f'));
    close_zoom();
    EXPECT_TRUE(IsWindowEnabled(long_titled));
    desktop.CloseWindow(long_titled);
    machine.profile().Delete("annie", "CaptureFile");
    const HWND bare = open_disabled(u"AMCAP - ");
    close_zoom();
    EXPECT_TRUE(IsWindowEnabled(bare));
    desktop.CloseWindow(bare);

    // Last, the window titled with the driver's description.
    const HWND preview = open_disabled(u"CV Lumen Webcam Driver");
    close_zoom();
    EXPECT_TRUE(IsWindowEnabled(preview));
    // Enter ends the dialog without looking.
    desktop.EnableWindow(preview, false);
    Command(ID_ZOOM);
    desktop.PressKey(Zoom(), VK_RETURN);
    EXPECT_FALSE(IsWindowEnabled(preview));
}

TEST_F(ZoomDialogTest, ExitWhileOpenClosesItAndEnds) {
    Start();
    Open();
    DeleteStoredSetting();
    desktop.Wait(1000);
    EXPECT_TRUE(desktop.TrayIcons().empty()) << "the icon goes at once";
    EXPECT_FALSE(desktop.Running(process)) << "the dialog closed with the host";
    EXPECT_TRUE(desktop.TopLevelWindows().empty());
    EXPECT_TRUE(machine.resources().Outstanding().empty());
}

TEST_F(ZoomDialogTest, ExitClosesADialogNotShownYet) {
    Start();
    // Two posts in a row: the About box runs inside the Zoom dialog's loop before that dialog's
    // first idle moment, so the Zoom dialog exists but has never been shown.
    machine.windows().Post(Host(), WM_COMMAND, ID_ZOOM, 0);
    machine.windows().Post(Host(), WM_SYSCOMMAND, 0x0010, 0);
    desktop.Settle();
    const HWND zoom = Zoom();
    ASSERT_NE(zoom, nullptr);
    ASSERT_FALSE(IsWindowVisible(zoom));
    Command(32772);
    EXPECT_FALSE(desktop.Running(process));
    EXPECT_TRUE(desktop.TopLevelWindows().empty());
}

TEST_F(ZoomDialogTest, WithoutACameraTheTickWalksTheDevicesAtMostOnceASecond) {
    machine.devices().Unplug(camera_node);
    Start();
    Open();
    const int walks = machine.trace().Count("CoCreateInstance");
    desktop.Wait(1000);
    EXPECT_LE(machine.trace().Count("CoCreateInstance") - walks, 1);
    EXPECT_EQ(Arrows(), "----");
    EXPECT_FALSE(View(IDC_ZOOM_ENABLE).checked);
    EXPECT_TRUE(CameraLog().empty());
}

}  // namespace
