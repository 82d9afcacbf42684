// The console's machine around the program: `device` changes that windows hear of, `power`
// that they hear too, the balloon `tray` shows until the icon's next change, and `rights`, under
// which a device change is refused.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/console/stand_in_host.h"
#include "tools/lumiset-sim/console.h"
#include "tools/lumiset-sim/desktop_watch.h"

namespace {

struct Heard {
    UINT message;
    WPARAM wparam;
    bool operator==(const Heard&) const = default;
};

std::vector<Heard>* heard = nullptr;

// A stand-in for Lumiset: its host window shows a balloon when asked (WM_APP with lParam 1) and
// refreshes its icon without one (lParam 0).
LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DEVICECHANGE || message == WM_POWERBROADCAST) {
        heard->push_back(Heard{message, wparam});
        return TRUE;
    }
    if (message == WM_APP) {
        NOTIFYICONDATAA data{};
        data.cbSize = sizeof data;
        data.hWnd = hwnd;
        data.uID = 148;
        data.uFlags = NIF_TIP | (lparam ? NIF_INFO : 0);
        std::strcpy(data.szTip, "CV Lumen Webcam");
        std::strcpy(data.szInfoTitle, "CV Lumen Webcam");
        std::strcpy(data.szInfo, "Administrator rights are needed.");
        data.dwInfoFlags = NIIF_INFO;
        return Shell_NotifyIconA(wparam ? NIM_ADD : NIM_MODIFY, &data);
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

TEST(SystemEventsCommands, WindowsHearOfDevicesAndPowerAndTheTrayShowsTheBalloon) {
    std::vector<Heard> log;
    heard = &log;
    sim::Machine machine;
    const int camera = machine.devices().Add(sim::ModelAHardwareIds());
    StandInHostConsole console(machine, HostProc);
    const HWND host = console.host();

    EXPECT_EQ(console.Run("device unplug 1"), "");
    EXPECT_EQ(console.Run("device plug 1"), "");
    EXPECT_EQ(console.Run("device add 1234"), "");
    EXPECT_EQ(console.Run("device add A absent"), "");
    EXPECT_EQ(console.Run("device remove 3"), "");
    EXPECT_EQ(console.Run("device stuck 1"), "");
    EXPECT_EQ(console.Run("device needs-restart 1"), "");
    EXPECT_TRUE(machine.devices().Node(camera)->change_needs_restart);
    EXPECT_EQ(console.Run("device needs-restart 9"), "error: no device 9\n");
    const Heard changed{WM_DEVICECHANGE, DBT_DEVNODES_CHANGED};
    EXPECT_EQ(log, (std::vector<Heard>{changed, changed, changed}))
        << "unplug, plug and a present node added; absent ones and their removal tell nothing";
    log.clear();

    EXPECT_EQ(console.Run("power suspend"), "");
    EXPECT_EQ(console.Run("power resume"), "");
    EXPECT_EQ(console.Run("power resume"),
              "error: the machine is awake (power suspend puts it to sleep)\n");
    EXPECT_EQ(console.Run("power sleep"), "error: usage: power suspend|resume\n");
    EXPECT_EQ(log, (std::vector<Heard>{{WM_POWERBROADCAST, PBT_APMSUSPEND},
                                       {WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC}}));

    sim::Desktop desktop(machine);
    ASSERT_EQ(desktop.Send(host, WM_APP, 1, 0), TRUE);
    EXPECT_EQ(console.Run("tray"), "icon 148 \"CV Lumen Webcam\"\n");
    console::DesktopWatch watch(machine, true);
    ASSERT_EQ(desktop.Send(host, WM_APP, 0, 1), TRUE);
    EXPECT_EQ(console.Run("tray"),
              "icon 148 \"CV Lumen Webcam\"\n"
              "balloon \"CV Lumen Webcam\" \"Administrator rights are needed.\"\n");
    ASSERT_EQ(desktop.Send(host, WM_APP, 0, 0), TRUE);
    EXPECT_EQ(console.Run("tray"), "icon 148 \"CV Lumen Webcam\"\n");
    // A person at the terminal hears of the balloon, though the next tick took it away.
    EXPECT_EQ(watch.Changes(true),
              (std::vector<std::string>{"* icon 148 shows a balloon \"CV Lumen Webcam\" "
                                        "\"Administrator rights are needed.\""}));
    EXPECT_TRUE(watch.Changes(true).empty());

    EXPECT_EQ(console.Run("rights standard"), "");
    EXPECT_FALSE(machine.rights().administrator);
    EXPECT_EQ(console.Run("rights"), "standard\n");
    EXPECT_EQ(console.Run("rights admin now"), "error: usage: rights [admin|standard]\n");
    EXPECT_EQ(console.Run("rights admin"), "");
    EXPECT_TRUE(machine.rights().administrator);
    heard = nullptr;
}

// `reg get user`: the remembered frequency, then the user's keys, a line each, in any type.
TEST(SystemEventsCommands, TheUsersRememberedFrequency) {
    sim::Machine machine;
    StandInHostConsole console(machine, DefWindowProcA);
    const char* key = "Software\\Corvance\\CV Lumen Webcam";
    const std::string no_keys = "HotkeyOff missing\nHotkeyOn missing\nHotkeyToggle missing\n";
    EXPECT_EQ(console.Run("reg get user"), "PowerLineFrequency missing\n" + no_keys);
    EXPECT_EQ(console.Run("reg set user dword 4294967295"), "");
    EXPECT_EQ(machine.registry().GetValue(HKEY_CURRENT_USER, key, "PowerLineFrequency")->AsDword(),
              0xFFFFFFFFu);
    EXPECT_EQ(console.Run("reg set user dword -1"),
              "error: usage: reg set user dword N (0 to 4294967295)\n");
    EXPECT_EQ(console.Run("reg set user dword"),
              "error: usage: reg set user dword N (0 to 4294967295)\n");
    EXPECT_EQ(console.Run("reg set user dword 0x2"), "");
    EXPECT_EQ(console.Run("reg get user"), "PowerLineFrequency REG_DWORD 2\n" + no_keys);
    machine.registry().SetString(HKEY_CURRENT_USER, key, "PowerLineFrequency", "50");
    EXPECT_EQ(console.Run("reg get user"), "PowerLineFrequency REG_SZ \"50\"\n" + no_keys);
    EXPECT_EQ(console.Run("reg delete user"), "");
    machine.registry().SetDword(HKEY_CURRENT_USER, key, "HotkeyToggle", 0x000C004F);
    machine.registry().SetString(HKEY_CURRENT_USER, key, "HotkeyOn", "Win+Shift+O");
    machine.registry().SetValue(HKEY_CURRENT_USER, key, "HotkeyOff", REG_BINARY, {0x4F, 0});
    EXPECT_EQ(console.Run("reg get user"),
              "PowerLineFrequency missing\n"
              "HotkeyOff type 3, 2 bytes\n"
              "HotkeyOn REG_SZ \"Win+Shift+O\"\n"
              "HotkeyToggle REG_DWORD 786511\n");
    EXPECT_FALSE(machine.registry().GetValue(
        HKEY_LOCAL_MACHINE, "SOFTWARE\\Corvance\\CV Lumen Webcam", "PowerLineFrequency"));
}

}  // namespace
