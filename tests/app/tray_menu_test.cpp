// The tray menu: when it opens, which items carry the mark, and what its commands do to the
// camera and the stored setting.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "camera/capture_filter.h"
#include "camera/capture_filter_binding.h"
#include "tests/support/lumiset_machine.h"

namespace {

using testing_support::LumisetTest;

class TrayMenuTest : public LumisetTest {
protected:
    void SetUp() override {
        process = StartLumiset();
        desktop.Wait(1000);
        ASSERT_EQ(desktop.TrayIcons().size(), 1u);
        camera->driver.ClearLog();
    }

    bool Click(UINT mouse_message) {
        const sim::TrayIcon icon = desktop.TrayIcons().at(0);
        desktop.TrayEvent(icon.hwnd, icon.id, mouse_message);
        return desktop.MenuOpen();
    }

    // The texts of the items that show the mark, after opening the menu with a right click.
    std::vector<std::u16string> MarkedItems() {
        std::vector<std::u16string> marked;
        EXPECT_TRUE(Click(WM_RBUTTONUP));
        for (const auto& item : desktop.MenuItems()) {
            EXPECT_FALSE(item.checked) << "the mark is a bitmap, never a check mark";
            if (item.shows_bitmap) {
                marked.push_back(item.text);
            }
        }
        return marked;
    }

    void Choose(std::u16string_view item) {
        if (!desktop.MenuOpen()) {
            Click(WM_RBUTTONUP);
        }
        ASSERT_TRUE(desktop.ChooseMenuItem(item));
    }

    std::vector<std::string> CameraLog() {
        auto log = camera->driver.Log();
        camera->driver.ClearLog();
        return log;
    }

    sim::ProcessId process = 0;
};

using Texts = std::vector<std::u16string>;

TEST_F(TrayMenuTest, OnlyRightReleaseAndLeftDoubleClickOpenTheMenu) {
    for (UINT message : {WM_LBUTTONUP, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MOUSEMOVE}) {
        EXPECT_FALSE(Click(message)) << message;
    }
    EXPECT_TRUE(Click(WM_LBUTTONDBLCLK));
    desktop.DismissMenu();
    EXPECT_TRUE(Click(WM_RBUTTONUP));
    const auto items = desktop.MenuItems();
    ASSERT_EQ(items.size(), 7u);
    EXPECT_EQ(items[0].text, u"50Hz");
    EXPECT_TRUE(items[2].separator);
    EXPECT_EQ(items[6].text, u"Exit");
    desktop.DismissMenu();
    EXPECT_EQ(machine.resources().Open("menu"), 0);
    EXPECT_EQ(machine.resources().Open("bitmap"), 0);
}

TEST_F(TrayMenuTest, CursorIsReadBeforeTheMenuIsBuilt) {
    // Building the menu asks the camera, which takes a while: the menu opens where the click
    // was, not where the mouse went meanwhile.
    machine.trace().Clear();
    ASSERT_TRUE(Click(WM_RBUTTONUP));
    const auto& trace = machine.trace().Entries();
    const auto at = [&trace](const std::string& entry) {
        return std::find(trace.begin(), trace.end(), entry) - trace.begin();
    };
    EXPECT_LT(at("GetCursorPos"), at("LoadMenuA"));
    EXPECT_LT(at("LoadMenuA"), at("CoCreateInstance"));
    EXPECT_LT(at("CoCreateInstance"), static_cast<long>(trace.size()));
}

TEST_F(TrayMenuTest, MarksFollowTheCameraState) {
    EXPECT_EQ(MarkedItems(), (Texts{u"60Hz", u"On"}));
    desktop.DismissMenu();
    camera->driver.SetPowerLine(1);
    EXPECT_EQ(MarkedItems(), (Texts{u"50Hz", u"On"}));
    desktop.DismissMenu();
    camera->driver.SetPowerLine(0);
    EXPECT_EQ(MarkedItems(), (Texts{u"On"}));
    desktop.DismissMenu();
    camera->driver.features().procamp = false;
    EXPECT_EQ(MarkedItems(), (Texts{u"On"}));
    desktop.DismissMenu();
    for (const char* kind : {"menu", "bitmap", "COM reference", "device list"}) {
        EXPECT_EQ(machine.resources().Open(kind), 0) << kind;
    }
}

TEST_F(TrayMenuTest, CameraNotStartedMarksOffWithoutReadingTheFrequency) {
    machine.devices().Unplug(camera_node);
    EXPECT_EQ(MarkedItems(), (Texts{u"Off"}));
    desktop.DismissMenu();
    machine.devices().Plug(camera_node);
    machine.devices().Node(camera_node)->forced_status =
        std::make_pair(ULONG{DN_PRIVATE_PROBLEM}, 0u);
    EXPECT_EQ(MarkedItems(), (Texts{u"Off"}));
    desktop.DismissMenu();
    machine.devices().Node(camera_node)->forced_status.reset();
    machine.faults().Fail("CM_Get_DevNode_Status_Ex");
    EXPECT_EQ(MarkedItems(), (Texts{u"Off"}));
    desktop.DismissMenu();
    EXPECT_TRUE(CameraLog().empty());
}

TEST_F(TrayMenuTest, DismissSendsNothingAndFrequencyCommandsWriteAgain) {
    Click(WM_RBUTTONUP);
    desktop.DismissMenu();
    EXPECT_EQ(CameraLog(), std::vector<std::string>{"procamp get 13"});
    Choose(u"60Hz");
    EXPECT_EQ(CameraLog(), (std::vector<std::string>{"procamp get 13", "procamp range 13",
                                                     "procamp set 13 2 flags 1"}));
    // The write ends with a pause: the host answers nothing until 10 ms have passed.
    EXPECT_EQ(desktop.Send(Host(), WM_POWERBROADCAST, 0, 0), std::nullopt);
    desktop.Wait(10);
    Choose(u"50Hz");
    EXPECT_EQ(camera->driver.PowerLine(), 1);
    desktop.Wait(10);
    EXPECT_FALSE(camera->driver.Log().empty());
    EXPECT_FALSE(CaptureFilter.Bound());
}

TEST_F(TrayMenuTest, FrequencyWithoutCameraWritesNothingAndDoesNotPause) {
    machine.video().Remove(u"CV Lumen Webcam");
    Choose(u"50Hz");
    EXPECT_EQ(desktop.Send(Host(), WM_POWERBROADCAST, 0, 0), 0) << "no pause";
    EXPECT_TRUE(desktop.Running(process));
}

TEST_F(TrayMenuTest, OffAndOnSwitchTheDeviceAndStoreTheSetting) {
    Choose(u"Off");
    EXPECT_EQ(StoredSetting()->AsDword(), 0u);
    EXPECT_FALSE(machine.devices().Node(camera_node)->started);
    EXPECT_EQ(MarkedItems(), (Texts{u"Off"}));
    desktop.ChooseMenuItem(u"On");
    EXPECT_EQ(StoredSetting()->AsDword(), 1u);
    EXPECT_TRUE(machine.devices().Node(camera_node)->started);
    // On again while on: the device gets both requests again.
    const auto before = machine.devices().Node(camera_node)->carried_out.size();
    Choose(u"On");
    EXPECT_EQ(machine.devices().Node(camera_node)->carried_out.size(), before + 2);
}

TEST_F(TrayMenuTest, FailedDeviceOperationsLeaveTheSettingAlone) {
    machine.devices().Node(camera_node)->refuses_to_stop = true;
    Choose(u"Off");
    EXPECT_EQ(StoredSetting()->AsDword(), 1u);
    EXPECT_EQ(MarkedItems(), (Texts{u"60Hz", u"On"}));
    desktop.DismissMenu();

    // Only a model B camera: "On" cannot enable it.
    machine.devices().Remove(camera_node);
    const int model_b = machine.devices().Add(sim::ModelBHardwareIds());
    machine.registry().SetDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Corvance\\CV Lumen Webcam",
                                "DeviceEnable", 0);
    Choose(u"On");
    EXPECT_EQ(StoredSetting()->AsDword(), 0u);
    EXPECT_TRUE(machine.devices().Node(model_b)->carried_out.empty());
}

TEST_F(TrayMenuTest, OffReleasesTheCaptureFilterBeforeDisablingTheDevice) {
    // A bound filter holds the device open, and a device held open does not stop: "Off" only
    // succeeds because the filter goes first.
    CoInitialize(nullptr);
    ASSERT_EQ(FindCaptureFilter(), 1);
    Choose(u"Off");
    EXPECT_FALSE(CaptureFilter.Bound());
    EXPECT_EQ(machine.resources().Open("COM reference"), 0);
    EXPECT_FALSE(machine.devices().Node(camera_node)->started);
    EXPECT_EQ(StoredSetting()->AsDword(), 0u);

    // Released even when the device then refuses to stop.
    Choose(u"On");
    machine.devices().Node(camera_node)->refuses_to_stop = true;
    ASSERT_EQ(FindCaptureFilter(), 1);
    Choose(u"Off");
    EXPECT_FALSE(CaptureFilter.Bound());
    EXPECT_EQ(StoredSetting()->AsDword(), 1u);
    CoUninitialize();
}

TEST_F(TrayMenuTest, NothingBindsTheFilterBetweenOffsReleaseAndTheDeviceOperation) {
    // The effect worker's step, taken at the worst moment: while "Off" disables the device.
    bool tried = false;
    machine.devices().SetInUse([this, &tried](int node) {
        KeptCaptureFilterBinding worker;
        worker.Ensure();
        tried = true;
        return node == camera_node && camera->open_filters > 0;
    });
    Choose(u"Off");
    ASSERT_TRUE(tried);
    EXPECT_FALSE(machine.devices().Node(camera_node)->started);
    EXPECT_EQ(StoredSetting()->AsDword(), 0u);

    // Once "Off" is done, a step binds again as before.
    machine.devices().SetInUse({});
    Choose(u"On");
    CoInitialize(nullptr);
    KeptCaptureFilterBinding worker;
    worker.Ensure();
    EXPECT_TRUE(CaptureFilter.Bound());
    worker.Release();
    CoUninitialize();
}

TEST_F(TrayMenuTest, ExitFromTheMenuAndTickWhileMenuIsOpen) {
    Click(WM_RBUTTONUP);
    // Ticks keep running inside the menu's loop; the setting disappearing ends the host, and
    // the menu closes with it.
    DeleteStoredSetting();
    desktop.Wait(1000);
    EXPECT_TRUE(desktop.TrayIcons().empty());
    EXPECT_FALSE(desktop.MenuOpen());
    EXPECT_FALSE(desktop.Running(process));
    EXPECT_FALSE(StoredSetting().has_value());
    EXPECT_TRUE(machine.resources().Outstanding().empty());
}

TEST_F(TrayMenuTest, MenuSurvivesFailingPlatformCalls) {
    // No mark bitmap: the menu opens with no visible mark.
    machine.faults().Fail("LoadBitmapA");
    EXPECT_EQ(MarkedItems(), Texts{});
    desktop.DismissMenu();
    machine.faults().Fail("SetMenuItemBitmaps", 2);
    EXPECT_EQ(MarkedItems(), Texts{});
    desktop.DismissMenu();
    machine.faults().Fail("GetCursorPos");
    machine.faults().Fail("SetForegroundWindow");
    EXPECT_EQ(MarkedItems(), (Texts{u"60Hz", u"On"}));
    desktop.DismissMenu();
    // A menu that cannot be tracked sends nothing and is still released.
    machine.faults().Fail("TrackPopupMenu");
    EXPECT_FALSE(Click(WM_RBUTTONUP));
    EXPECT_EQ(machine.resources().Open("menu"), 0);
    EXPECT_EQ(machine.resources().Open("bitmap"), 0);
    EXPECT_TRUE(desktop.Running(process));
}

}  // namespace
