// The host's window commands from other programs: effects, still images, face tracking and the
// filter's property frame.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera/capture_filter.h"
#include "platform/sim/camera/driver_registry.h"
#include "tests/support/lumiset_machine.h"

namespace {

using testing_support::LumisetTest;
using Lines = std::vector<std::string>;

class WindowCommandsTest : public LumisetTest {
protected:
    void Start() {
        process = StartLumiset();
        desktop.Wait(1000);
        ASSERT_EQ(desktop.TrayIcons().size(), 1u);
        camera->driver.ClearLog();
    }

    Lines CameraLog() {
        Lines log = camera->driver.Log();
        camera->driver.ClearLog();
        return log;
    }

    int References() { return machine.resources().Open("COM reference"); }

    std::vector<HWND> WindowsTitled(std::u16string_view title) {
        std::vector<HWND> found;
        for (const auto& window : desktop.TopLevelWindows()) {
            if (window.title == title) {
                found.push_back(window.hwnd);
            }
        }
        return found;
    }
    HWND Frame(std::u16string_view title = u"Properties") {
        const auto frames = WindowsTitled(title);
        EXPECT_LE(frames.size(), 1u);
        return frames.empty() ? nullptr : frames[0];
    }

    sim::ProcessId process = 0;
};

const Lines kTrigger = {"set videocontrol.0 4", "set videocontrol.1 4"};

TEST_F(WindowCommandsTest, EffectCommandsWriteTheEffectChannelAndReleaseWhatTheyBound) {
    Start();
    for (WORD id = 32777; id <= 32802; ++id) {
        Command(id);
        EXPECT_EQ(CameraLog(), Lines{"set image.33 " + std::to_string(id - 32776)}) << id;
    }
    EXPECT_EQ(camera->driver.Image(33), 26);
    Command(32803);
    EXPECT_EQ(CameraLog(), Lines{"set image.33 0"});
    EXPECT_EQ(References(), 0);
    EXPECT_FALSE(CaptureFilter.Bound());
}

TEST_F(WindowCommandsTest, StillAndFaceTrackingCommandsReachTheCamera) {
    Start();
    camera->driver.SetImage(40, 2);
    Command(32808);
    EXPECT_EQ(CameraLog(), (Lines{"get image.40", "get image.21", "set image.21 327680",
                                  kTrigger[0], kTrigger[1]}));
    EXPECT_EQ(camera->driver.Image(21), 0x00050000);

    Command(32818);
    EXPECT_EQ(CameraLog(),
              (Lines{"get image.21", "set image.21 262144", kTrigger[0], kTrigger[1]}));
    for (WORD id : {32810, 32811, 32812, 32813, 32829}) {
        Command(id);
        EXPECT_EQ(CameraLog(), kTrigger) << id;
    }
    // A click notification from a control of that id runs the entry as well.
    desktop.Post(Host(), WM_COMMAND, MAKEWPARAM(32829, BN_CLICKED), 0x1234);
    EXPECT_EQ(CameraLog(), kTrigger);

    Command(32821);
    EXPECT_EQ(CameraLog(), (Lines{"get zoom.11", "set zoom.11 2"}));
    Command(32821);
    EXPECT_EQ(CameraLog(), (Lines{"get zoom.11", "set zoom.11 0"}));
    EXPECT_EQ(References(), 0);
}

TEST_F(WindowCommandsTest, UnlistedCommandsDoNothing) {
    Start();
    const auto windows_before = desktop.TopLevelWindows().size();
    for (WORD id : {0, 3, 999, 32771, 32774, 32775, 32776, 32804, 32805, 32814, 32815, 32816, 32819,
                    32820, 32822, 32826, 32832, 65535}) {
        Command(id);
        EXPECT_TRUE(CameraLog().empty()) << id;
    }
    EXPECT_EQ(desktop.TopLevelWindows().size(), windows_before);
    EXPECT_EQ(StoredSetting()->AsDword(), 1u);
    EXPECT_TRUE(desktop.Running(process));
}

TEST_F(WindowCommandsTest, WithoutACameraTheCommandsReachNothing) {
    Start();
    machine.devices().Unplug(camera_node);
    for (WORD id : {32773, 32777, 32803, 32806, 32809, 32818, 32821, 32829}) {
        Command(id);
    }
    EXPECT_TRUE(CameraLog().empty());
    EXPECT_EQ(Frame(), nullptr);

    // A filter without the interfaces a command needs: nothing either.
    machine.devices().Plug(camera_node);
    camera->driver.features().ks_property = false;
    Command(32829);
    Command(32777);
    EXPECT_TRUE(CameraLog().empty());
    EXPECT_EQ(References(), 0);
    EXPECT_TRUE(desktop.Running(process));
}

TEST_F(WindowCommandsTest, PropertyFrameIsModalOnceAndTheHostGoesOn) {
    Start();
    Command(32773);
    const HWND frame = Frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(IsWindowVisible(frame));
    EXPECT_EQ(GetWindow(frame, GW_OWNER), nullptr) << "no capture window to own it";
    EXPECT_EQ(machine.resources().Open("COM task memory"), 1) << "the page list, until it closes";

    Command(32773);
    EXPECT_EQ(WindowsTitled(u"Properties").size(), 1u) << "one frame at a time";

    // The host's ticks, tray events and commands go on inside the frame's loop.
    const int ticks = CountRequests(NIM_MODIFY);
    desktop.Wait(2000);
    EXPECT_EQ(CountRequests(NIM_MODIFY), ticks + 2);
    const sim::TrayIcon icon = desktop.TrayIcons().at(0);
    desktop.TrayEvent(icon.hwnd, icon.id, WM_RBUTTONUP);
    EXPECT_TRUE(desktop.MenuOpen());
    desktop.DismissMenu();
    Command(32777);
    EXPECT_EQ(camera->driver.Image(33), 1);

    EXPECT_TRUE(desktop.CloseActiveWindow());
    EXPECT_EQ(Frame(), nullptr);
    EXPECT_EQ(machine.resources().Open("COM task memory"), 0);
    EXPECT_EQ(References(), 0);
    EXPECT_TRUE(desktop.Running(process));

    Command(32773);
    EXPECT_NE(Frame(), nullptr) << "it opens again once closed";
    EXPECT_TRUE(desktop.CloseActiveWindow());
}

TEST_F(WindowCommandsTest, PropertyFrameBelongsToTheCaptureWindow) {
    Start();
    const HWND capture = desktop.OpenWindow(u"", u"CV Lumen Webcam Driver");
    Command(32773);
    const HWND frame = Frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(GetWindow(frame, GW_OWNER), capture);
    EXPECT_FALSE(IsWindowEnabled(capture)) << "the frame is modal to its owner";
    EXPECT_TRUE(desktop.CloseActiveWindow());
    EXPECT_TRUE(IsWindowEnabled(capture));

    // The capture application closing takes the frame with it.
    Command(32773);
    ASSERT_NE(Frame(), nullptr);
    desktop.CloseWindow(capture);
    EXPECT_EQ(Frame(), nullptr);
    EXPECT_EQ(References(), 0);
    EXPECT_TRUE(desktop.Running(process));
}

TEST_F(WindowCommandsTest, AnyWindowWithTheLocalisedTitleKeepsTheFrameShut) {
    machine.locale().ui_language = 2052;
    machine.locale().ansi_code_page = 936;
    Start();
    const HWND other = desktop.OpenWindow(u"SomeClass", u"\u5c5e\u6027");
    Command(32773);
    EXPECT_EQ(WindowsTitled(u"\u5c5e\u6027").size(), 1u);
    EXPECT_TRUE(CameraLog().empty());
    EXPECT_EQ(References(), 0) << "nothing bound for a frame that does not open";

    desktop.CloseWindow(other);
    Command(32773);
    ASSERT_NE(Frame(u"\u5c5e\u6027"), nullptr);
    EXPECT_TRUE(desktop.CloseActiveWindow());
}

TEST_F(WindowCommandsTest, AnUntitledWindowIsNeitherTheFrameNorItsOwner) {
    Start();
    desktop.OpenWindow(u"", u"");
    // Without its title the frame cannot be recognised, so it is not taken to be open.
    machine.faults().Fail("LoadStringA");
    Command(32773);
    HWND frame = Frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(desktop.CloseActiveWindow());

    // An empty driver description names no capture window.
    machine.registry().SetString(HKEY_LOCAL_MACHINE, sim::driver_registry::kInstanceKey,
                                 sim::driver_registry::kDriverDescValue, "");
    Command(32773);
    frame = Frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(GetWindow(frame, GW_OWNER), nullptr);
    EXPECT_TRUE(desktop.CloseActiveWindow());
}

TEST_F(WindowCommandsTest, ExitWhileTheFrameIsOpenClosesItAndEnds) {
    Start();
    Command(32773);
    ASSERT_NE(Frame(), nullptr);
    DeleteStoredSetting();
    desktop.Wait(1000);
    EXPECT_TRUE(desktop.TrayIcons().empty());
    EXPECT_EQ(Frame(), nullptr) << "closed as its close box would";
    EXPECT_FALSE(desktop.Running(process));
    EXPECT_TRUE(machine.resources().Outstanding().empty());
}

TEST_F(WindowCommandsTest, OneFrameWhereTheCodePageCannotSpellItsTitle) {
    machine.locale().ui_language = 2052;
    machine.locale().ansi_code_page = 1252;
    Start();
    Command(32773);
    Command(32773);
    EXPECT_EQ(WindowsTitled(u"\u5c5e\u6027").size(), 1u);
    // Closed, it may open again.
    EXPECT_TRUE(desktop.CloseActiveWindow());
    Command(32773);
    EXPECT_EQ(WindowsTitled(u"\u5c5e\u6027").size(), 1u);
    Command(32772);
    EXPECT_FALSE(desktop.Running(process));
}

TEST_F(WindowCommandsTest, OffWhileTheFrameIsOpenLeavesTheBindingsToTheirOwners) {
    Start();
    Command(32773);
    ASSERT_NE(Frame(), nullptr);
    // "Off" releases the filter; the frame still holds the device open, so it does not stop.
    const sim::TrayIcon icon = desktop.TrayIcons().at(0);
    desktop.TrayEvent(icon.hwnd, icon.id, WM_RBUTTONUP);
    ASSERT_TRUE(desktop.ChooseMenuItem(u"Off"));
    EXPECT_FALSE(CaptureFilter.Bound());
    EXPECT_EQ(StoredSetting()->AsDword(), 1u);
    desktop.TrayEvent(icon.hwnd, icon.id, WM_RBUTTONUP);
    ASSERT_TRUE(desktop.ChooseMenuItem(u"50Hz"));
    EXPECT_EQ(camera->driver.PowerLine(), 1);
    desktop.Wait(10);  // the camera settles after the write

    EXPECT_TRUE(desktop.CloseActiveWindow());
    EXPECT_EQ(References(), 0);
    desktop.TrayEvent(icon.hwnd, icon.id, WM_RBUTTONUP);
    ASSERT_TRUE(desktop.ChooseMenuItem(u"Off"));
    EXPECT_EQ(StoredSetting()->AsDword(), 0u) << "with the frame gone the camera stops";
}

}  // namespace
