// The tray icon shows the camera's state: the camera (icon 160) while it is on, the camera
// crossed out (icon 162) while it is off, and the tooltip says it for a screen reader. Each tick
// draws what the host already knows, at no cost over a tick that always draws the camera.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/support/lumiset_machine.h"

namespace {

using testing_support::LumisetTest;

constexpr const char* kMachineKey = "SOFTWARE\\Corvance\\CV Lumen Webcam";
const std::pair<int, std::u16string> kOn{160, u"CV Lumen Webcam"};
const std::pair<int, std::u16string> kOff{162, u"CV Lumen Webcam - camera off"};

class TrayIconStateTest : public LumisetTest {
protected:
    // The picture and the tooltip the last tick sent.
    std::pair<int, std::u16string> Shown() {
        const auto icons = desktop.TrayIcons();
        if (icons.size() != 1 || !icons[0].icon_resource) {
            return {0, u"(no icon)"};
        }
        return {*icons[0].icon_resource, icons[0].tip};
    }
    void Choose(std::u16string_view item) {
        const sim::TrayIcon icon = desktop.TrayIcons().at(0);
        desktop.TrayEvent(icon.hwnd, icon.id, WM_RBUTTONUP);
        ASSERT_TRUE(desktop.ChooseMenuItem(item));
    }
    int Calls(const char* operation) { return machine.faults().Calls(operation); }
};

TEST_F(TrayIconStateTest, IconAndTooltipFollowTheCameraAtNoCostToTheTick) {
    machine.registry().SetDword(HKEY_LOCAL_MACHINE, kMachineKey, "DeviceEnable", 0);
    const auto process = StartLumiset();
    desktop.Wait(1000);
    EXPECT_EQ(Shown(), kOff) << "stored Off at start";
    EXPECT_FALSE(machine.devices().Node(camera_node)->started);

    // Off costs the tick what On does: one icon loaded and destroyed, one shell call, one read
    // of the stored value, and no look at the device.
    const int loads = Calls("LoadImageA");
    const int destroys = Calls("DestroyIcon");
    const int shell = Calls("Shell_NotifyIconA");
    const int reads = Calls("RegQueryValueExA");
    EXPECT_EQ(TickCalls(), 4);
    EXPECT_EQ(Calls("LoadImageA") - loads, 1);
    EXPECT_EQ(Calls("DestroyIcon") - destroys, 1);
    EXPECT_EQ(Calls("Shell_NotifyIconA") - shell, 1);
    EXPECT_EQ(Calls("RegQueryValueExA") - reads, 1);
    EXPECT_EQ(Shown(), kOff);

    // On and Off from the menu: the next tick shows it.
    Choose(u"On");
    EXPECT_EQ(Shown(), kOff) << "until the next tick";
    desktop.Wait(1000);
    EXPECT_EQ(Shown(), kOn);
    EXPECT_EQ(TickCalls(), 4);
    Choose(u"Off");
    desktop.Wait(1000);
    EXPECT_EQ(Shown(), kOff);
    Choose(u"On");
    desktop.Wait(1000);
    EXPECT_EQ(Shown(), kOn);

    // An Off that a program holding the camera refuses: the balloon says why, and the camera,
    // still running, is shown on.
    machine.devices().Node(camera_node)->refuses_to_stop = true;
    Choose(u"Off");
    ASSERT_TRUE(desktop.TrayIcons().at(0).balloon.has_value());
    EXPECT_EQ(machine.tray().BalloonCount(), 1u);
    desktop.Wait(1000);
    EXPECT_EQ(Shown(), kOn);
    EXPECT_EQ(StoredSetting()->AsDword(), 1u);
    machine.devices().Node(camera_node)->refuses_to_stop = false;

    // Disabled from outside, as Device Manager does, and a re-apply that cannot start it again:
    // what the re-apply found shows at the tick after it. Nothing else looked at the device.
    machine.devices().Node(camera_node)->disabled_in_profile = true;
    machine.devices().Node(camera_node)->started = false;
    desktop.Wait(1000);
    EXPECT_EQ(Shown(), kOn) << "no tick looks at the device by itself";
    machine.devices().Node(camera_node)->rejects_requests = true;
    desktop.Send(Host(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    desktop.Wait(2000);
    EXPECT_FALSE(machine.devices().Node(camera_node)->started);
    EXPECT_EQ(Shown(), kOff);
    EXPECT_EQ(StoredSetting()->AsDword(), 1u) << "the stored choice stays the user's";

    // Waking the machine re-applies, and this time the camera starts.
    machine.devices().Node(camera_node)->rejects_requests = false;
    desktop.Suspend();
    desktop.Resume();
    desktop.Wait(2000);
    EXPECT_TRUE(machine.devices().Node(camera_node)->started);
    EXPECT_EQ(Shown(), kOn);
    EXPECT_EQ(machine.tray().BalloonCount(), 1u) << "re-applies are silent";

    // Disabled from outside again: the menu's query marks Off, and the icon follows it.
    machine.devices().Node(camera_node)->disabled_in_profile = true;
    machine.devices().Node(camera_node)->started = false;
    const sim::TrayIcon icon = desktop.TrayIcons().at(0);
    desktop.TrayEvent(icon.hwnd, icon.id, WM_RBUTTONUP);
    desktop.DismissMenu();
    desktop.Wait(1000);
    EXPECT_EQ(Shown(), kOff);
    EXPECT_EQ(machine.resources().Open("icon"), 0) << "each tick destroys its icon";
    EXPECT_TRUE(desktop.Running(process));
}

}  // namespace
