// The keys that switch the camera from anywhere, as a user presses them: each does what the tray
// menu's "Off" or "On" does, a key that another program holds is named once, a change stored by
// lumisetctl is taken at once, and the keys go with the program.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/lumiset_machine.h"

namespace {

using testing_support::LumisetTest;

constexpr const char* kUserKey = "Software\\Corvance\\CV Lumen Webcam";
constexpr UINT kWinShift = MOD_WIN | MOD_SHIFT;

class CameraKeyPressTest : public LumisetTest {
protected:
    bool Started() { return machine.devices().Node(camera_node)->started; }
    DWORD Stored() const { return *StoredSetting()->AsDword(); }
    int HeldByLumiset() const {
        int held = 0;
        for (const sim::Hotkey& key : desktop.Hotkeys()) {
            held += key.window == Host() ? 1 : 0;
        }
        return held;
    }
    std::string LastBalloon() const {
        const auto& balloons = desktop.Balloons();
        if (balloons.empty()) {
            return {};
        }
        const std::u16string& text = balloons.back().balloon.text;
        return std::string(text.begin(), text.end());
    }
};

TEST_F(CameraKeyPressTest, TheToggleSwitchesLikeTheMenuAndChangesAreTakenAtOnce) {
    const auto process = StartLumiset();
    desktop.Wait(1000);
    EXPECT_EQ(HeldByLumiset(), 1) << "Win+Shift+O, the toggle, by default";

    ASSERT_TRUE(desktop.PressKeyAnywhere(kWinShift, 'O'));
    EXPECT_FALSE(Started());
    EXPECT_EQ(Stored(), 0u);
    ASSERT_TRUE(desktop.PressKeyAnywhere(kWinShift, 'O'));
    EXPECT_TRUE(Started());
    EXPECT_EQ(Stored(), 1u);

    // lumisetctl stores an Off key and tells the running program: it works at once, and the
    // toggle, now none, is let go.
    machine.registry().SetDword(HKEY_CURRENT_USER, kUserKey, "HotkeyOff",
                                ((MOD_CONTROL | MOD_ALT) << 16) | VK_F9);
    machine.registry().SetDword(HKEY_CURRENT_USER, kUserKey, "HotkeyToggle", 0);
    desktop.Post(Host(), RegisterWindowMessageA("LumisetKeysChanged"), 0, 0);
    EXPECT_FALSE(desktop.PressKeyAnywhere(kWinShift, 'O'));
    ASSERT_TRUE(desktop.PressKeyAnywhere(MOD_CONTROL | MOD_ALT, VK_F9));
    EXPECT_FALSE(Started());
    EXPECT_EQ(Stored(), 0u);

    // A standard user's key: the balloon with the reason, nothing stored.
    machine.registry().SetDword(HKEY_CURRENT_USER, kUserKey, "HotkeyOn", (MOD_WIN << 16) | VK_F10);
    desktop.Post(Host(), RegisterWindowMessageA("LumisetKeysChanged"), 0, 0);
    machine.rights().administrator = false;
    desktop.Wait(1000);
    ASSERT_TRUE(desktop.PressKeyAnywhere(MOD_WIN, VK_F10));
    EXPECT_FALSE(Started());
    EXPECT_EQ(Stored(), 0u);
    EXPECT_NE(LastBalloon(), "");

    // Exit lets every key go.
    Command(32772);
    EXPECT_FALSE(desktop.Running(process));
    EXPECT_TRUE(desktop.Hotkeys().empty());
}

TEST_F(CameraKeyPressTest, AKeyAnotherProgramHoldsIsNamedOnceAndNotTriedAgain) {
    ASSERT_EQ(desktop.TakeHotkey(kWinShift, 'O'), static_cast<DWORD>(ERROR_SUCCESS));
    StartLumiset();
    EXPECT_TRUE(desktop.Balloons().empty()) << "no icon to carry it before the first tick";
    const int registrations = machine.faults().Calls("RegisterHotKey");
    desktop.Wait(5000);
    EXPECT_EQ(desktop.Balloons().size(), 1u);
    EXPECT_EQ(LastBalloon(),
              "The key Win+Shift+O is used by another program; choose another in Lumiset Settings");
    EXPECT_EQ(machine.faults().Calls("RegisterHotKey"), registrations) << "no retry loop";
    EXPECT_EQ(HeldByLumiset(), 0);

    // The window tells lumisetctl: the key it tried, refused.
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(GetPropA(Host(), "LumisetKeyToggle")),
              0x02000000u | (kWinShift << 16) | 'O');
}

}  // namespace
