// Start-up, the hidden host window, its tick and its exit, as a user and other programs see them.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/support/lumiset_machine.h"

namespace {

using testing_support::LumisetTest;

class HostTest : public LumisetTest {
protected:
    void SetUp() override {
        process = StartLumiset();
        ASSERT_NE(Host(), nullptr);
    }
    sim::ProcessId process = 0;
};

TEST_F(HostTest, StartsHiddenCreatesSettingAndShowsIconAtFirstTick) {
    EXPECT_FALSE(IsWindowVisible(Host()));
    EXPECT_EQ(StoredSetting()->AsDword(), 1u);
    EXPECT_TRUE(desktop.TrayIcons().empty()) << "no icon before the first tick";
    EXPECT_EQ(machine.apartments().Outstanding(), 1);

    desktop.Wait(999);
    EXPECT_TRUE(desktop.TrayIcons().empty());
    desktop.Wait(1);
    ASSERT_EQ(desktop.TrayIcons().size(), 1u);
    const sim::TrayIcon& icon = desktop.TrayIcons()[0];
    EXPECT_EQ(icon.id, 148u);
    EXPECT_EQ(icon.tip, u"CV Lumen Webcam");
    EXPECT_EQ(icon.callback_message, static_cast<UINT>(WM_APP + 1000));
    EXPECT_EQ(icon.icon_resource, 160);
    EXPECT_EQ(icon.icon_width, 16);

    desktop.Wait(3000);
    EXPECT_EQ(CountRequests(NIM_ADD), 1);
    EXPECT_EQ(CountRequests(NIM_MODIFY), 3);
    EXPECT_EQ(machine.tray().Requests().back().size, NOTIFYICONDATAA_V2_SIZE);
    EXPECT_EQ(machine.tray().Requests().back().flags,
              static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(machine.resources().Open("icon"), 0) << "each tick destroys its icon";
    EXPECT_TRUE(desktop.Running(process));
}

TEST_F(HostTest, SecondCopyAndForeignMarkerEndAtOnce) {
    const auto second = StartLumiset();
    EXPECT_FALSE(desktop.Running(second));
    int hosts = 0;
    for (const auto& window : desktop.TopLevelWindows()) {
        hosts += window.title == u"Property" ? 1 : 0;
    }
    EXPECT_EQ(hosts, 1);
    EXPECT_TRUE(desktop.Running(process));
    EXPECT_EQ(machine.apartments().Outstanding(), 1) << "the second copy never initialised COM";
}

TEST_F(HostTest, HostStaysInvisibleWhateverShowsIt) {
    desktop.ShowWindow(Host(), SW_SHOW);
    EXPECT_FALSE(IsWindowVisible(Host()));
    SetWindowPos(Host(), nullptr, 10, 20, 300, 200, SWP_SHOWWINDOW);
    desktop.Settle();
    EXPECT_FALSE(IsWindowVisible(Host()));
    RECT rect{};
    GetWindowRect(Host(), &rect);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.right, 310) << "the rest of a position change goes ahead";
}

TEST_F(HostTest, HidingCommandsKeepTheProgramRunning) {
    desktop.Wait(1000);
    desktop.PressKey(Host(), VK_ESCAPE);
    desktop.Send(Host(), WM_CLOSE, 0, 0);
    Command(1000);
    Command(1001);
    desktop.Send(Host(), WM_SYSCOMMAND, SC_CLOSE, 0);
    desktop.Wait(1000);
    EXPECT_TRUE(desktop.Running(process));
    EXPECT_FALSE(IsWindowVisible(Host()));
    EXPECT_EQ(desktop.TrayIcons().size(), 1u);
}

TEST_F(HostTest, PowerBroadcastAndDragIconAreAnsweredWithZero) {
    EXPECT_EQ(desktop.Send(Host(), WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0), 0);
    EXPECT_EQ(desktop.Send(Host(), WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0), 0);
    EXPECT_EQ(desktop.Send(Host(), WM_QUERYDRAGICON, 0, 0), 0);
    EXPECT_TRUE(desktop.Running(process));
}

TEST_F(HostTest, AboutRuleOpensTheAboutBoxForCommands16To31) {
    desktop.Post(Host(), WM_SYSCOMMAND, 0x0010, 0);
    HWND about = desktop.FindTopLevel(u"#32770", u"\u5173\u4e8e Lumiset");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(GetWindow(about, GW_OWNER), Host());
    // The host's tick goes on in the About box's loop; deleting the setting ends the program.
    desktop.Wait(1000);
    EXPECT_EQ(desktop.TrayIcons().size(), 1u);
    desktop.Post(about, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(desktop.FindTopLevel(u"#32770", u"\u5173\u4e8e Lumiset"), nullptr);

    desktop.Post(Host(), WM_SYSCOMMAND, 0x001F, 0);
    about = desktop.FindTopLevel(u"#32770", u"\u5173\u4e8e Lumiset");
    ASSERT_NE(about, nullptr);
    DeleteStoredSetting();
    desktop.Wait(1000);
    // The exit sequence ran inside the About box's loop and closed the box with it.
    EXPECT_TRUE(desktop.TrayIcons().empty());
    EXPECT_FALSE(desktop.Running(process));
    EXPECT_TRUE(desktop.TopLevelWindows().empty());
    EXPECT_TRUE(machine.resources().Outstanding().empty());
}

TEST_F(HostTest, OneAboutBoxHowEverOftenItIsAskedFor) {
    for (int i = 0; i < 2000; ++i) {
        desktop.Post(Host(), WM_SYSCOMMAND, 0x0010, 0);
    }
    int abouts = 0;
    for (const auto& window : desktop.TopLevelWindows()) {
        abouts += window.title == u"\u5173\u4e8e Lumiset" ? 1 : 0;
    }
    EXPECT_EQ(abouts, 1) << "each further command brings the open one to the front";
    const HWND about = desktop.FindTopLevel(u"#32770", u"\u5173\u4e8e Lumiset");
    EXPECT_EQ(GetForegroundWindow(), about);

    // Exit closes it, and the program ends within the tick.
    Command(32772);
    EXPECT_FALSE(desktop.Running(process));
    EXPECT_TRUE(desktop.TopLevelWindows().empty());
}

TEST_F(HostTest, SystemCommand32IsNotTheAboutBox) {
    desktop.Post(Host(), WM_SYSCOMMAND, 0x0020, 0);
    EXPECT_EQ(desktop.FindTopLevel(u"#32770", u"\u5173\u4e8e Lumiset"), nullptr);
    EXPECT_TRUE(desktop.Running(process));
}

TEST_F(HostTest, DeletingTheSettingEndsTheProgramWithinATick) {
    desktop.Wait(1000);
    DeleteStoredSetting();
    desktop.Wait(999);
    EXPECT_TRUE(desktop.Running(process));
    desktop.Wait(1);
    EXPECT_FALSE(desktop.Running(process));
    EXPECT_TRUE(desktop.TrayIcons().empty());
    EXPECT_EQ(CountRequests(NIM_DELETE), 1);
    EXPECT_EQ(machine.apartments().Outstanding(), 0);
    EXPECT_TRUE(machine.resources().Outstanding().empty());
}

TEST_F(HostTest, TimerOtherThanZeroOnlyChecksTheSetting) {
    desktop.Wait(1000);
    DeleteStoredSetting();
    desktop.Post(Host(), WM_TIMER, 5, 0);
    EXPECT_FALSE(desktop.Running(process));
    EXPECT_EQ(CountRequests(NIM_MODIFY), 0);
    EXPECT_EQ(CountRequests(NIM_DELETE), 1);
}

TEST_F(HostTest, ExitCommandRemovesIconAndReleasesEverything) {
    desktop.Wait(2000);
    Command(32772);
    EXPECT_FALSE(desktop.Running(process));
    EXPECT_TRUE(desktop.TrayIcons().empty());
    EXPECT_EQ(Host(), nullptr);
    EXPECT_EQ(machine.apartments().Outstanding(), 0);
    EXPECT_TRUE(machine.resources().Outstanding().empty());
}

TEST_F(HostTest, ExitSequenceRunsInItsOrder) {
    desktop.Wait(1000);
    machine.trace().Clear();
    Command(32772);
    // The icon goes before the kept key is closed and the timer stopped, the device events'
    // registration before the window; COM is uninitialised only once the host window is gone.
    EXPECT_EQ(machine.trace().Entries(),
              (std::vector<std::string>{"Shell_NotifyIconA NIM_DELETE", "RegCloseKey",
                                        "KillTimer 0", "UnregisterDeviceNotification",
                                        "DestroyWindow Property", "CoUninitialize"}));
}

// Commands 1 and 2 end the host without the exit sequence, yet what it holds on the desktop goes
// with it; another program's WM_QUIT, posted through any window of Lumiset's, ends nothing.
TEST_F(HostTest, EveryEndIsOrderlyAndAForeignQuitEndsNothing) {
    for (const WORD command : {IDOK, IDCANCEL}) {
        desktop.Wait(1000);
        ASSERT_EQ(desktop.TrayIcons().size(), 1u);
        desktop.Post(Host(), WM_QUIT, 0, 0);
        desktop.Send(Host(), WM_QUIT, 0, 0);
        desktop.Wait(1000);
        ASSERT_TRUE(desktop.Running(process)) << "a foreign WM_QUIT";
        const int deletes = CountRequests(NIM_DELETE);
        Command(command);
        EXPECT_FALSE(desktop.Running(process)) << command;
        EXPECT_TRUE(desktop.TrayIcons().empty()) << command;
        EXPECT_EQ(CountRequests(NIM_DELETE), deletes + 1);
        EXPECT_TRUE(machine.resources().Outstanding().empty()) << command;
        EXPECT_EQ(machine.apartments().Outstanding(), 0);
        process = StartLumiset();
    }
}

// A failed GetMessage is an error, not the end; a queue that fails at every call ends the program
// the orderly way.
TEST_F(HostTest, AFailedGetMessageIsAnErrorNotTheEnd) {
    desktop.Wait(1000);
    machine.faults().Fail("GetMessageA", 500);
    desktop.Wait(2000);
    ASSERT_TRUE(desktop.Running(process));
    EXPECT_EQ(desktop.TrayIcons().size(), 1u);
    machine.faults().Fail("GetMessageA", sim::FaultInjector::kAlways);
    desktop.Wait(1000);
    EXPECT_FALSE(desktop.Running(process));
    EXPECT_TRUE(desktop.TrayIcons().empty());
    EXPECT_TRUE(machine.resources().Outstanding().empty());
    EXPECT_EQ(machine.apartments().Outstanding(), 0);
}

TEST_F(HostTest, IconComesBackWhenTheShellRestarts) {
    desktop.ShellRestart();
    EXPECT_TRUE(desktop.TrayIcons().empty()) << "before the first tick there is nothing to restore";
    desktop.Wait(1000);
    ASSERT_EQ(desktop.TrayIcons().size(), 1u);
    desktop.ShellRestart();
    ASSERT_EQ(desktop.TrayIcons().size(), 1u);
    EXPECT_EQ(desktop.TrayIcons()[0].icon_resource, 160);
    desktop.Wait(1000);
    EXPECT_EQ(desktop.TrayIcons().size(), 1u);
}

// Run with an administrator's full rights (the logon task's way), the host must still take what
// programs with the user's own rights send it; without that it only takes it by the system's
// default rule, and the program runs on.
TEST_F(HostTest, TakesOutsideMessagesFromProgramsWithLowerRights) {
    const std::set<UINT>& allowed = machine.windows().Find(Host())->allowed_from_lower_rights;
    const UINT expected[] = {WM_COMMAND, WM_APP + 1000,
                             machine.windows().RegisterMessage(u"TaskbarCreated"),
                             machine.windows().RegisterMessage(u"LumisetShowSettings")};
    for (const UINT message : expected) {
        EXPECT_TRUE(allowed.contains(message)) << "message " << message;
    }
}

class StartTest : public LumisetTest {};

TEST_F(StartTest, RefusedMessageFilterLeavesItRunning) {
    machine.faults().Fail("ChangeWindowMessageFilterEx", 4);
    const auto process = StartLumiset();
    desktop.Wait(1000);
    EXPECT_TRUE(desktop.Running(process));
    EXPECT_EQ(desktop.TrayIcons().size(), 1u);
}

TEST_F(StartTest, IconThatCannotBeLoadedOrAddedIsNotRetried) {
    machine.faults().Fail("LoadImageA");
    const auto process = StartLumiset();
    desktop.Wait(1000);
    ASSERT_EQ(desktop.TrayIcons().size(), 1u);
    EXPECT_FALSE(desktop.TrayIcons()[0].icon_resource.has_value()) << "sent with a null icon";
    desktop.Wait(1000);
    EXPECT_EQ(desktop.TrayIcons()[0].icon_resource, 160);

    // A NIM_ADD that fails is not retried: every later tick only modifies.
    Command(32772);
    machine.faults().Fail("Shell_NotifyIconA");
    StartLumiset();
    desktop.Wait(5000);
    EXPECT_TRUE(desktop.TrayIcons().empty());
    EXPECT_EQ(CountRequests(NIM_ADD), 1);
    EXPECT_FALSE(desktop.Running(process));
}

TEST_F(StartTest, WithoutItsTimerTheHostNeverChecksTheSetting) {
    machine.faults().Fail("SetTimer");
    const auto process = StartLumiset();
    DeleteStoredSetting();
    desktop.Wait(5000);
    EXPECT_TRUE(desktop.Running(process));
    EXPECT_TRUE(desktop.TrayIcons().empty());
}

TEST_F(StartTest, StartUpRunsInItsOrder) {
    StartLumiset();
    // COM first; the setting is loaded (and the camera switched) before the tick starts.
    const auto& trace = machine.trace().Entries();
    ASSERT_GE(trace.size(), 3u);
    EXPECT_EQ(trace.front(), "CoInitialize");
    EXPECT_EQ(trace[1], "RegOpenKeyExA") << "DeviceEnableKey is the first key opened";
    EXPECT_EQ(trace.back(), "SetTimer 0 1000");
    EXPECT_EQ(machine.devices().Node(camera_node)->carried_out.size(), 2u);
}

TEST_F(StartTest, ForeignMarkerWindowKeepsLumisetFromStarting) {
    desktop.OpenWindow(u"#32770", u"Property");
    const auto process = StartLumiset();
    EXPECT_FALSE(desktop.Running(process));
    EXPECT_FALSE(StoredSetting().has_value());
    EXPECT_TRUE(machine.devices().Node(camera_node)->carried_out.empty());
    EXPECT_EQ(machine.apartments().Outstanding(), 0);
    EXPECT_TRUE(desktop.TrayIcons().empty());
}

TEST_F(StartTest, KeyMissingAtFirstStartDoesNotEndTheFirstRun) {
    const auto process = StartLumiset();
    desktop.Wait(5000);
    EXPECT_TRUE(desktop.Running(process));
    EXPECT_EQ(StoredSetting()->AsDword(), 1u);
}

}  // namespace
