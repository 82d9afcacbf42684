// The Image Control page: what it shows of the camera, and what each control writes.
#include <gtest/gtest.h>

#include <algorithm>

#include "res/resource.h"
#include "tests/dialogs/settings_test_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class ImageControlPageTest : public SettingsTest {
protected:
    void SetUp() override { Start(); }

    void Open() { OpenAndClearLog(0); }
    void Repaint() {
        desktop.Repaint(Settings());
        camera->driver.ClearLog();
    }
    void SetImage(int channel, int value) { camera->driver.SetImage(channel, value); }
};

// The twenty reads of a refresh, in the page's order.
const Lines kRefreshReads = {"get image.0",  "get image.1",  "get image.24", "get image.20",
                             "get image.30", "get image.18", "get image.17", "get image.2",
                             "get image.5",  "get image.21", "get image.10", "get image.9",
                             "get image.12", "get image.3",  "get image.4",  "get image.6",
                             "get image.7",  "get image.14", "get image.15", "get image.13"};

TEST_F(ImageControlPageTest, RefreshShowsEveryRangeEnd) {
    OpenSettings(0);
    Lines twice = kRefreshReads;
    twice.insert(twice.end(), kRefreshReads.begin(), kRefreshReads.end());
    EXPECT_EQ(CameraLog(), twice) << "the page reads the camera as it starts and as it paints";
    struct Case {
        int channel;
        int value;
        int trackbar;
        int position;
        int box;
        std::u16string text;
    };
    const Case cases[] = {
        {5, 0, IDC_HUE_SLIDER, -180, IDC_HUE_VALUE, u"-180"},
        {5, 5000, IDC_HUE_SLIDER, -180, IDC_HUE_VALUE, u"-180"},
        {5, 1800000, IDC_HUE_SLIDER, 0, IDC_HUE_VALUE, u"0"},
        {5, 3600000, IDC_HUE_SLIDER, 180, IDC_HUE_VALUE, u"180"},
        {12, 1234567, IDC_EXPOSURE_SLIDER, 123, IDC_EXPOSURE_VALUE, u"123"},
        {12, 2559999, IDC_EXPOSURE_SLIDER, 255, IDC_EXPOSURE_VALUE, u"255"},
        {3, 10000, IDC_CONTRAST_SLIDER, 10000, IDC_CONTRAST_VALUE, u"1.00"},
        {3, 15000, IDC_CONTRAST_SLIDER, 15000, IDC_CONTRAST_VALUE, u"1.50"},
        {4, 0, IDC_GAMMA_SLIDER, 0, IDC_GAMMA_VALUE, u"0.00"},
        {6, 29900, IDC_SATURATION_SLIDER, 29900, IDC_SATURATION_VALUE, u"2.99"},
        {7, 79900, IDC_SHARPNESS_SLIDER, 79900, IDC_SHARPNESS_VALUE, u"7.99"},
        {14, 5000, IDC_RED_SLIDER, 5000, IDC_RED_VALUE, u"0.50"},
        {15, 20000, IDC_BLUE_SLIDER, 20000, IDC_BLUE_VALUE, u"2.00"},
        {2, 126, IDC_BRIGHTNESS_SLIDER, 126, IDC_BRIGHTNESS_VALUE, u"126"},
        {10, 6, IDC_BANDWIDTH_SLIDER, 6, IDC_BANDWIDTH_VALUE, u"6"},
        {21, 3, IDC_SNAPSIZE_SLIDER, 3, IDC_SNAPSIZE_VALUE, u"SXGA"},
        // A size the camera does not name keeps the box's text; the trackbar clamps.
        {21, 4, IDC_SNAPSIZE_SLIDER, 3, IDC_SNAPSIZE_VALUE, u"SXGA"},
        {21, 0, IDC_SNAPSIZE_SLIDER, 0, IDC_SNAPSIZE_VALUE, u"VGA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("channel " + std::to_string(c.channel) + " = " + std::to_string(c.value));
        SetImage(c.channel, c.value);
        Repaint();
        EXPECT_EQ(Position(c.trackbar), c.position);
        EXPECT_EQ(Text(c.box), c.text);
    }
}

TEST_F(ImageControlPageTest, TrackbarsWriteOnceWhenAMoveEnds) {
    Open();
    Drag(IDC_EXPOSURE_SLIDER, 123);
    EXPECT_EQ(CameraLog(), Lines{"set image.12 1230000"});
    EXPECT_EQ(Text(IDC_EXPOSURE_VALUE), u"123");
    Drag(IDC_HUE_SLIDER, -180);
    Drag(IDC_HUE_SLIDER, 180);
    Drag(IDC_HUE_SLIDER, 500);
    EXPECT_EQ(CameraLog(), (Lines{"set image.5 0", "set image.5 3600000", "set image.5 3600000"}));
    Drag(IDC_SNAPSIZE_SLIDER, 2);
    Drag(IDC_CONTRAST_SLIDER, 12345);
    Drag(IDC_BRIGHTNESS_SLIDER, 7);
    EXPECT_EQ(CameraLog(), (Lines{"set image.21 2", "set image.3 12345", "set image.2 7"}));
    EXPECT_EQ(Text(IDC_SNAPSIZE_VALUE), u"XGA");
    EXPECT_EQ(Text(IDC_CONTRAST_VALUE), u"1.23");

    // Keys and clicks on the track write as the mouse's release does, once each.
    desktop.PressKeyOn(Control(IDC_BRIGHTNESS_SLIDER), VK_RIGHT);
    EXPECT_EQ(Position(IDC_BRIGHTNESS_SLIDER), 8);
    EXPECT_EQ(CameraLog(), Lines{"set image.2 8"});
    EXPECT_EQ(Text(IDC_BRIGHTNESS_VALUE), u"8");
    desktop.PressKeyOn(Control(IDC_HUE_SLIDER), VK_HOME);
    desktop.PressKeyOn(Control(IDC_EXPOSURE_SLIDER), VK_NEXT);
    EXPECT_EQ(CameraLog(), (Lines{"set image.5 0", "set image.12 1740000"}));
    EXPECT_EQ(Text(IDC_HUE_VALUE), u"-180");
    EXPECT_EQ(Text(IDC_EXPOSURE_VALUE), u"174");
    EXPECT_TRUE(desktop.ClickTrack(Control(IDC_CONTRAST_SLIDER), true));
    EXPECT_EQ(Position(IDC_CONTRAST_SLIDER), 14345);
    EXPECT_EQ(CameraLog(), Lines{"set image.3 14345"});
    EXPECT_EQ(Text(IDC_CONTRAST_VALUE), u"1.43");

    // The release that follows the end of a drag, or of a drag that goes nowhere, adds nothing.
    Drag(IDC_BRIGHTNESS_SLIDER, 8);
    Drag(IDC_BRIGHTNESS_SLIDER, 20);
    EXPECT_EQ(CameraLog(), (Lines{"set image.2 8", "set image.2 20"}));

    // The end of a move of any window but the page's own trackbars writes nothing, and nor does
    // another program's word for one of them.
    const HWND page = ::GetParent(Control(IDC_BRIGHTNESS_SLIDER));
    for (const HWND other :
         {Control(IDC_BRIGHTNESS_VALUE), Settings(), HWND{}, Control(IDC_BRIGHTNESS_SLIDER)}) {
        desktop.Send(page, WM_HSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(other));
        desktop.Send(page, WM_VSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(other));
    }
    EXPECT_TRUE(CameraLog().empty());
}

// Another program sends (rather than posts) the Zoom command: the Zoom dialog's loop runs inside
// its message. The page's own notifications in that loop are still the program's, not the
// sender's: the sender is answered before the loop starts.
TEST_F(ImageControlPageTest, TrackbarsWorkWhileADialogRunsInAnotherProgramsSend) {
    Open();
    bool answered = false;
    desktop.Start([this, &answered] {
        SendMessageA(desktop.FindTopLevel(u"#32770", u"Property"), WM_COMMAND, ID_ZOOM, 0);
        answered = true;
    });
    ASSERT_NE(desktop.FindTopLevel(u"#32770", u" Zoom"), nullptr);
    EXPECT_TRUE(answered) << "the sender does not wait for the dialog to close";
    camera->driver.ClearLog();
    Drag(IDC_BRIGHTNESS_SLIDER, 7);
    const Lines log = CameraLog();
    EXPECT_NE(std::find(log.begin(), log.end(), "set image.2 7"), log.end());
}

TEST_F(ImageControlPageTest, OnOffBoxesFollowTheirKeptValue) {
    SetImage(0, 2);
    Open();
    EXPECT_FALSE(Checked(IDC_MIRROR));
    Click(IDC_MIRROR);
    Click(IDC_MIRROR);
    Click(IDC_LOW_LIGHT);
    Click(IDC_BW_MODE);
    Click(IDC_BACKLIGHT_COMP);
    Click(IDC_FLIP);
    EXPECT_EQ(CameraLog(), (Lines{"set image.0 1", "set image.0 0", "set image.24 1",
                                  "set image.30 1", "set image.20 1", "set image.1 1"}));
    // A value changed behind the page's back counts from the next paint.
    SetImage(24, 0);
    Repaint();
    Click(IDC_LOW_LIGHT);
    EXPECT_EQ(CameraLog(), Lines{"set image.24 1"});
}

TEST_F(ImageControlPageTest, BandwidthAndWhiteBalanceAutoModes) {
    SetImage(9, 0);
    SetImage(10, 6);
    Open();
    Click(IDC_BANDWIDTH_AUTO);
    EXPECT_EQ(CameraLog(), (Lines{"set image.9 1", "set image.10 8"}));
    EXPECT_EQ(Position(IDC_BANDWIDTH_SLIDER), 8);
    EXPECT_EQ(Text(IDC_BANDWIDTH_VALUE), u"8");
    EXPECT_FALSE(Enabled(IDC_BANDWIDTH_SLIDER));
    Click(IDC_BANDWIDTH_AUTO);
    EXPECT_EQ(CameraLog(), Lines{"set image.9 0"});
    EXPECT_TRUE(Enabled(IDC_BANDWIDTH_SLIDER));
    EXPECT_EQ(Position(IDC_BANDWIDTH_SLIDER), 8);

    // Automatic white balance read as on locks the gains; a later refresh never unlocks them.
    SetImage(13, 1);
    Repaint();
    EXPECT_FALSE(Enabled(IDC_RED_SLIDER));
    EXPECT_FALSE(Enabled(IDC_BLUE_SLIDER));
    SetImage(13, 0);
    Repaint();
    EXPECT_FALSE(Enabled(IDC_RED_SLIDER));
    // The toggle asks the camera, not the check mark, and shows the gains it then holds.
    SetImage(14, 12000);
    SetImage(15, 8000);
    Click(IDC_WHITE_BALANCE_AUTO);
    EXPECT_EQ(CameraLog(),
              (Lines{"get image.13", "set image.13 1", "get image.14", "get image.15"}));
    EXPECT_EQ(Text(IDC_RED_VALUE), u"1.20");
    EXPECT_EQ(Text(IDC_BLUE_VALUE), u"0.80");
    EXPECT_FALSE(Enabled(IDC_RED_SLIDER));
    Click(IDC_WHITE_BALANCE_AUTO);
    EXPECT_EQ(Writes(CameraLog(), "image.13"), std::vector<int>{0});
    EXPECT_TRUE(Enabled(IDC_RED_SLIDER));
    EXPECT_TRUE(Enabled(IDC_BLUE_SLIDER));
    EXPECT_TRUE(Checked(IDC_EXPOSURE_AUTO));
    EXPECT_FALSE(Enabled(IDC_EXPOSURE_AUTO));
}

TEST_F(ImageControlPageTest, RadioPairsAndDefaults) {
    SetImage(17, 1);
    SetImage(18, 1);
    Open();
    EXPECT_TRUE(Checked(IDC_INDOOR));
    EXPECT_TRUE(Checked(IDC_FLICKER_60HZ));
    Click(IDC_FLICKER_50HZ);
    EXPECT_FALSE(Checked(IDC_FLICKER_60HZ));
    Click(IDC_OUTDOOR);
    EXPECT_FALSE(Checked(IDC_INDOOR));
    EXPECT_FALSE(Enabled(IDC_FLICKER_50HZ)) << "out of doors there is no flicker to cancel";
    EXPECT_FALSE(Enabled(IDC_FLICKER_60HZ));
    EXPECT_TRUE(Checked(IDC_FLICKER_50HZ)) << "the check marks stay";
    Click(IDC_INDOOR);
    EXPECT_TRUE(Enabled(IDC_FLICKER_50HZ));
    EXPECT_EQ(CameraLog(), (Lines{"set image.18 0", "set image.17 0", "set image.17 1"}));

    Click(IDC_SAVE_DEFAULTS);
    EXPECT_EQ(CameraLog(), Lines{"set image.26 1"});
    Click(IDC_RESET_DEFAULTS);
    Lines expected{"set image.25 1"};
    expected.insert(expected.end(), kRefreshReads.begin(), kRefreshReads.end());
    EXPECT_EQ(CameraLog(), expected);
    Click(IDC_RESTORE_DEFAULTS);
    expected[0] = "set image.27 1";
    EXPECT_EQ(CameraLog(), expected);
}

TEST_F(ImageControlPageTest, WithoutACameraEverythingShowsZero) {
    machine.devices().Unplug(camera_node);
    Open();
    EXPECT_EQ(Position(IDC_HUE_SLIDER), -180);
    EXPECT_EQ(Text(IDC_HUE_VALUE), u"-180");
    EXPECT_EQ(Text(IDC_BRIGHTNESS_VALUE), u"0");
    EXPECT_EQ(Text(IDC_BANDWIDTH_VALUE), u"0");
    EXPECT_EQ(Position(IDC_BANDWIDTH_SLIDER), 6);
    EXPECT_EQ(Text(IDC_CONTRAST_VALUE), u"0.00");
    EXPECT_EQ(Position(IDC_CONTRAST_SLIDER), 10000);
    EXPECT_EQ(Text(IDC_SNAPSIZE_VALUE), u"VGA");
    EXPECT_TRUE(Checked(IDC_FLICKER_50HZ));
    EXPECT_TRUE(Checked(IDC_OUTDOOR));
    EXPECT_FALSE(Enabled(IDC_FLICKER_60HZ));
    EXPECT_FALSE(Checked(IDC_MIRROR));
    // Paints in quick succession walk the devices at most once a second.
    const int before = machine.trace().Count("CoCreateInstance");
    for (int i = 0; i < 5; ++i) {
        desktop.Repaint(Settings());
    }
    EXPECT_LE(machine.trace().Count("CoCreateInstance") - before, 1);
    EXPECT_EQ(machine.resources().Open("COM reference"), 0);
}

TEST_F(ImageControlPageTest, EscLeavesThePageOpen) {
    Open();
    desktop.PressKeyOn(Control(IDC_BRIGHTNESS_SLIDER), VK_ESCAPE);
    desktop.PressKey(Settings(), VK_ESCAPE);
    EXPECT_NE(Settings(), nullptr);
    EXPECT_TRUE(desktop.Running(process));
}

}  // namespace
