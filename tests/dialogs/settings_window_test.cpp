// The settings window: how it opens, its tabs, and how it closes.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "res/resource.h"
#include "tests/dialogs/settings_test_fixture.h"

namespace {

int CountWindowsTitled(const sim::Desktop& desktop, std::u16string_view title) {
    int count = 0;
    for (const auto& window : desktop.TopLevelWindows()) {
        count += window.title == title ? 1 : 0;
    }
    return count;
}

TEST_F(SettingsTest, OpensOnceOnTheTabAskedFor) {
    Start();
    EXPECT_EQ(Settings(), nullptr) << "nothing shows at start";
    OpenSettings(1);
    ASSERT_NE(Settings(), nullptr);
    EXPECT_TRUE(IsWindowVisible(Settings()));
    EXPECT_NE(Control(IDC_EFFECT_WIND), nullptr) << "the Effect tab";
    EXPECT_EQ(Control(IDC_MIRROR), nullptr);
    EXPECT_EQ(CameraLog(), (std::vector<std::string>{"get image.33", "get image.33"}))
        << "only the page shown reads the camera, as it starts and as it paints";

    OpenSettings(0);
    EXPECT_EQ(CountWindowsTitled(desktop, kTitle), 1);
    EXPECT_NE(Control(IDC_MIRROR), nullptr);
    EXPECT_EQ(Control(IDC_EFFECT_WIND), nullptr);
    // Ids both pages use mean the control a person can see.
    EXPECT_EQ(View(IDC_OUTDOOR).kind, "radio");
    EXPECT_EQ(View(IDC_OUTDOOR).text, u"Outdoor");

    // The tab control switches pages the same way; a hidden page does no reads.
    ASSERT_TRUE(desktop.SelectTab(machine.dialogs().Item(Settings(), IDC_SETTINGS_TAB), 1));
    EXPECT_NE(Control(IDC_EFFECT_WIND), nullptr);
    CameraLog();
    desktop.Repaint(Settings());
    EXPECT_EQ(CameraLog(), std::vector<std::string>{"get image.33"});
    EXPECT_FALSE(IsWindowVisible(Host())) << "the host never shows";
}

TEST_F(SettingsTest, ClosesByItsCloseBoxAndButtonOnly) {
    Start();
    OpenSettings(0);
    desktop.PressKey(Settings(), VK_ESCAPE);
    desktop.PressKey(Settings(), VK_RETURN);
    ASSERT_NE(Settings(), nullptr);
    Click(IDC_SETTINGS_CLOSE);
    EXPECT_EQ(Settings(), nullptr);
    OpenSettings(1);
    ASSERT_NE(Settings(), nullptr);
    EXPECT_TRUE(desktop.CloseActiveWindow());
    EXPECT_EQ(Settings(), nullptr);
    EXPECT_EQ(machine.resources().Open("COM reference"), 0) << "the pages let go of the camera";
    EXPECT_TRUE(desktop.Running(process));

    // Exit closes it too, and leaves nothing behind.
    OpenSettings(0);
    Command(32772);
    EXPECT_FALSE(desktop.Running(process));
    EXPECT_TRUE(machine.resources().Outstanding().empty());
}

// Tab goes once round the tab control, the shown page's controls that take input row by row, and
// Close; Ctrl+Tab switches tabs from wherever the focus is; Esc closes nothing, Alt+F4 does.
TEST_F(SettingsTest, TheKeyboardReachesEveryControlAndSwitchesTabs) {
    Start();
    OpenSettings(0);
    const HWND settings = Settings();
    const auto press = [&](std::vector<UINT> held, UINT key) {
        desktop.PressKeyWith(settings, held, key);
        const auto focused = desktop.FocusedControl(settings);
        return focused ? focused->id : -1;
    };
    const auto round = [&] {
        std::vector<int> ids{press({}, VK_TAB)};
        while (ids.back() != IDC_SETTINGS_TAB && ids.size() < 100) {
            ids.push_back(press({}, VK_TAB));
        }
        return ids;
    };
    // What takes input: every enabled control shown but the read-only number boxes.
    const auto operable = [&] {
        std::set<int> ids{IDC_SETTINGS_TAB};
        for (const sim::ControlView& control : desktop.VisibleControls(settings)) {
            if (control.enabled && !(GetWindowLongPtrA(control.hwnd, GWL_STYLE) & ES_READONLY &&
                                     control.kind == "edit")) {
                ids.insert(control.id);
            }
        }
        return ids;
    };

    // Clicked Outdoor unchecks Indoor, which Windows leaves without a tab stop; the page gives it
    // back. A click on the shown tab puts the focus on the tabs.
    Click(IDC_OUTDOOR);
    ASSERT_TRUE(desktop.SelectTab(machine.dialogs().Item(settings, IDC_SETTINGS_TAB), 0));
    const std::vector<int> image = round();
    EXPECT_EQ(image, (std::vector<int>{IDC_MIRROR,
                                       IDC_FLIP,
                                       IDC_LOW_LIGHT,
                                       IDC_BRIGHTNESS_SLIDER,
                                       IDC_CONTRAST_SLIDER,
                                       IDC_GAMMA_SLIDER,
                                       IDC_HUE_SLIDER,
                                       IDC_SATURATION_SLIDER,
                                       IDC_SHARPNESS_SLIDER,
                                       IDC_SNAPSIZE_SLIDER,
                                       IDC_BANDWIDTH_AUTO,
                                       IDC_EXPOSURE_SLIDER,
                                       IDC_WHITE_BALANCE_AUTO,
                                       IDC_RESET_DEFAULTS,
                                       IDC_SAVE_DEFAULTS,
                                       IDC_RESTORE_DEFAULTS,
                                       IDC_OUTDOOR,
                                       IDC_INDOOR,
                                       IDC_BACKLIGHT_COMP,
                                       IDC_BW_MODE,
                                       IDC_SETTINGS_CLOSE,
                                       IDC_SETTINGS_TAB}))
        << "the flicker buttons are disabled out of doors";
    EXPECT_EQ(std::set<int>(image.begin(), image.end()), operable());

    // Ctrl+Tab from inside the page, and Ctrl+Shift+Tab back, each onto the tabs.
    EXPECT_EQ(press({}, VK_TAB), IDC_MIRROR);
    EXPECT_EQ(press({VK_CONTROL}, VK_TAB), IDC_SETTINGS_TAB);
    ASSERT_NE(Control(IDC_EFFECT_WIND), nullptr);
    const std::vector<int> effect = round();
    EXPECT_EQ(effect.size(), 34u) << "29 radio buttons, the path, two buttons, Close, the tabs";
    EXPECT_EQ(std::set<int>(effect.begin(), effect.end()), operable());
    EXPECT_EQ(press({VK_SHIFT}, VK_TAB), IDC_SETTINGS_CLOSE);
    EXPECT_EQ(press({VK_SHIFT}, VK_TAB), IDC_NO_EFFECT);
    EXPECT_EQ(press({VK_CONTROL, VK_SHIFT}, VK_TAB), IDC_SETTINGS_TAB);
    EXPECT_NE(Control(IDC_MIRROR), nullptr);
    press({VK_CONTROL}, VK_TAB);
    press({VK_CONTROL}, VK_TAB);
    EXPECT_NE(Control(IDC_MIRROR), nullptr) << "the tabs go round";

    press({}, VK_ESCAPE);
    press({}, VK_RETURN);
    ASSERT_NE(Settings(), nullptr);
    press({VK_MENU}, VK_F4);
    EXPECT_EQ(Settings(), nullptr);
    EXPECT_EQ(machine.resources().Open("COM reference"), 0);
    EXPECT_TRUE(desktop.Running(process));
}

TEST_F(SettingsTest, LocalisedTitleAndTabs) {
    machine.locale().ui_language = 1028;
    machine.locale().ansi_code_page = 950;
    Start();
    OpenSettings(0);
    EXPECT_NE(desktop.FindTopLevel(u"#32770", u"CV Lumen Webcam \u8a2d\u5b9a"), nullptr);
}

TEST_F(SettingsTest, SettingsSwitchOnTheCommandLine) {
    // No copy running: it starts as usual and opens the window.
    process = StartLumiset(" /SETTINGS ");
    EXPECT_NE(Settings(), nullptr);
    EXPECT_TRUE(desktop.Running(process));
    desktop.Wait(1000);
    EXPECT_EQ(desktop.TrayIcons().size(), 1u);
    EXPECT_TRUE(desktop.CloseActiveWindow());

    // A copy running: the new one asks it and ends.
    const auto second = StartLumiset("-settings");
    EXPECT_FALSE(desktop.Running(second));
    EXPECT_NE(Settings(), nullptr);
    EXPECT_TRUE(desktop.CloseActiveWindow());

    for (const char* other : {"/settingsx", "settings", "/set", "/settings now", "--settings"}) {
        const auto copy = StartLumiset(other);
        EXPECT_FALSE(desktop.Running(copy)) << other;
        EXPECT_EQ(Settings(), nullptr) << other;
    }
}

}  // namespace
