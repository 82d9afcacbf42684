// The console's commands for the Zoom dialog's desktop: `show` on the template with its icon
// buttons and vertical trackbar, holding a button down and letting it go, other programs'
// windows disabled and enabled, and the profile; bad input prints why and changes nothing.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/win32.h"
#include "res/resource_bytes.h"
#include "tools/lumiset-sim/console.h"

namespace {

int clicks = 0;

INT_PTR CALLBACK ZoomProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_INITDIALOG) {
        SendMessageA(GetDlgItem(dialog, 1121), TBM_SETRANGE, TRUE, MAKELPARAM(0, 64));
        SendMessageA(GetDlgItem(dialog, 1121), TBM_SETPOS, TRUE, 64);
        EnableWindow(GetDlgItem(dialog, 1121), TRUE);
        EnableWindow(GetDlgItem(dialog, 1088), TRUE);
        return TRUE;
    }
    if (message == WM_COMMAND && wparam == MAKEWPARAM(1088, BN_CLICKED)) {
        ++clicks;
    }
    return message == WM_COMMAND;
}

TEST(ZoomCommand, PressReleaseWindowStatesAndProfile) {
    sim::Machine machine;
    ASSERT_TRUE(machine.program().LoadResources(LumisetResourceBytes()));
    std::ostringstream out;
    HWND zoom = nullptr;
    console::Console console(
        machine,
        [&zoom] {
            zoom = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(150), nullptr,
                                      ZoomProc, 0);
            ShowWindow(zoom, SW_SHOW);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0)) {
                DispatchMessageA(&msg);
            }
        },
        out);
    auto run = [&](const char* line) {
        out.str("");
        console.Execute(line);
        return out.str();
    };
    EXPECT_EQ(run("press 1088"), "error: no window is open\n");
    console.StartLumiset();
    EXPECT_EQ(run("show"),
              "1122 iconbutton disabled\n"
              "1088 iconbutton enabled\n"
              "1087 iconbutton disabled\n"
              "1089 iconbutton disabled\n"
              "1121 trackbar 0..64 64 enabled\n"
              "1120 checkbox \"Enable Zoom\" unchecked enabled\n");

    clicks = 0;
    const HWND left = GetDlgItem(zoom, 1088);
    EXPECT_EQ(run("press 1088"), "");
    EXPECT_EQ(SendMessageA(left, BM_GETSTATE, 0, 0), BST_PUSHED);
    EXPECT_EQ(run("press 1088"), "error: the mouse already holds control 1088 down\n");
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(run("release 1088"), "");
    EXPECT_EQ(SendMessageA(left, BM_GETSTATE, 0, 0), 0);
    EXPECT_EQ(clicks, 1);
    for (const auto& [line, error] :
         {std::pair{"release 1088", "control 1088 is not held down"},
          {"press 1122", "control 1122 is disabled"},
          {"press 1121", "control 1121 is not a button"},
          {"release 1121", "control 1121 is not a button"},
          {"press 7", "no visible control 7"},
          {"release", "usage: release ID"},
          {"window disable Nothing", "no top-level window titled \"Nothing\""},
          {"profile set annie CaptureFile",
           "usage: profile set SECTION NAME VALUE | "
           "profile delete SECTION NAME"}}) {
        EXPECT_EQ(run(line), "error: " + std::string(error) + "\n") << line;
    }
    EXPECT_EQ(clicks, 1);

    // Disabled while held, the button lets go unclicked and is no longer held.
    run("press 1088");
    EnableWindow(left, FALSE);
    EXPECT_EQ(run("release 1088"), "error: control 1088 is not held down\n");
    EXPECT_EQ(SendMessageA(left, BM_GETSTATE, 0, 0), 0);
    EXPECT_EQ(clicks, 1);

    run("window open - AMCAP");
    EXPECT_EQ(run("window disable AMCAP"), "");
    EXPECT_EQ(run("windows"),
              "\"#32770\" \" Zoom\" visible enabled\n"
              "\"OtherProgramWindow\" \"AMCAP\" visible disabled\n");
    EXPECT_FALSE(IsWindowEnabled(FindWindowA(nullptr, "AMCAP")));
    run("window enable AMCAP");
    EXPECT_TRUE(IsWindowEnabled(FindWindowA(nullptr, "AMCAP")));

    EXPECT_EQ(run("profile set annie CaptureFile \"  C:\\a b.avi\""), "");
    EXPECT_EQ(machine.profile().Get("annie", "CaptureFile"), "  C:\\a b.avi");
    run("profile set Annie capturefile C:\\x  y.avi  ");
    EXPECT_EQ(machine.profile().Get("annie", "CaptureFile"), "C:\\x  y.avi");
    EXPECT_EQ(run("profile delete ANNIE CaptureFile"), "");
    EXPECT_EQ(machine.profile().Get("annie", "CaptureFile"), std::nullopt);
}

}  // namespace
