// The settings window: how it opens, its tabs, and how it closes.
#include <gtest/gtest.h>

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
