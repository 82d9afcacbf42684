// The console's control commands on a window with the Image Control page in it: what `show`
// prints, what the acting commands change, and the errors that change nothing.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/win32.h"
#include "res/resource_bytes.h"
#include "tools/lumiset-sim/console.h"

namespace {

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// Esc closes the window.
LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL) {
        DestroyWindow(hwnd);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

// The first lines `show` prints.
std::string Shown(console::Console& console, std::ostringstream& out, int lines) {
    out.str("");
    EXPECT_TRUE(console.Execute("show"));
    std::istringstream all(out.str());
    std::string result;
    std::string line;
    for (int i = 0; i < lines && std::getline(all, line); ++i) {
        result += line + "\n";
    }
    return result;
}

TEST(ControlsCommand, ShowsActsAndRefusesBadInput) {
    sim::Machine machine;
    ASSERT_TRUE(machine.program().LoadResources(LumisetResourceBytes()));
    std::ostringstream out;
    console::Console console(
        machine,
        [&machine] {
            const HWND window =
                machine.windows().Create(u"TestSettings", u"Settings", WS_POPUP | WS_CAPTION, 0,
                                         nullptr, 0, RECT{0, 0, 420, 600}, WindowProc);
            const HWND page = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(132),
                                                 window, PageProc, 0);
            EnableWindow(GetDlgItem(page, 1005), FALSE);
            ShowWindow(page, SW_SHOW);
            ShowWindow(window, SW_SHOW);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0)) {
                if (!IsDialogMessageA(window, &msg)) {
                    DispatchMessageA(&msg);
                }
            }
        },
        out);
    EXPECT_FALSE(console.Execute("show"));
    EXPECT_EQ(out.str(), "error: no window is open\n");
    console.StartLumiset();

    EXPECT_EQ(Shown(console, out, 5),
              "1003 checkbox \"Image Mirror\" unchecked enabled\n"
              "1004 checkbox \"Image Flip\" unchecked enabled\n"
              "1005 checkbox \"Low Light\" unchecked disabled\n"
              "1022 trackbar 0..100 0 enabled\n"
              "1052 edit \"\"\n");

    out.str("");
    for (const char* line : {"click 1003", "drag 1022 140", "key 1022 left", "repaint"}) {
        EXPECT_TRUE(console.Execute(line)) << line;
    }
    EXPECT_EQ(out.str(), "") << "acting commands print nothing";
    const std::string after =
        "1003 checkbox \"Image Mirror\" checked enabled\n"
        "1004 checkbox \"Image Flip\" unchecked enabled\n"
        "1005 checkbox \"Low Light\" unchecked disabled\n"
        "1022 trackbar 0..100 99 enabled\n";
    EXPECT_EQ(Shown(console, out, 4), after);

    out.str("");
    for (const char* line : {"click 1005", "click 9999", "drag 1052 3", "key 1003 right",
                             "drag 1022 x", "click", "key 1022 sideways", "repaint now"}) {
        EXPECT_FALSE(console.Execute(line)) << line;
    }
    EXPECT_EQ(out.str(),
              "error: control 1005 is disabled\n"
              "error: no visible control 9999\n"
              "error: control 1052 is not a trackbar\n"
              "error: control 1003 is not a trackbar\n"
              "error: usage: drag ID POS\n"
              "error: usage: click ID\n"
              "error: usage: key ID left|right | key esc\n"
              "error: usage: repaint\n");
    EXPECT_EQ(Shown(console, out, 4), after) << "refused commands change nothing";

    EXPECT_TRUE(console.Execute("key esc"));
    EXPECT_FALSE(console.Execute("key esc"));
    EXPECT_EQ(machine.resources().Open("window"), 0);
}

}  // namespace
