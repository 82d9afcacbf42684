// The console on a window with a hotkey control: `show labels` tells its key and label, and
// `key ID KEYS` types a combination into it, refusing what the control cannot hold.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/win32.h"
#include "tools/lumiset-sim/console.h"

namespace {

TEST(HotkeyControlCommand, ShowsTypesAndRefuses) {
    sim::Machine machine;
    std::ostringstream out;
    console::Console console(
        machine,
        [&machine] {
            const HWND window =
                machine.windows().Create(u"TestKeys", u"Keys", WS_POPUP | WS_CAPTION, 0, nullptr, 0,
                                         RECT{0, 0, 300, 100}, DefWindowProcA);
            machine.windows().Create(u"Static", u"Camera off", WS_CHILD | WS_VISIBLE, 0, window, -1,
                                     RECT{10, 10, 80, 30}, nullptr);
            machine.windows().Create(u"msctls_hotkey32", u"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0,
                                     window, 1201, RECT{90, 10, 200, 30}, nullptr);
            ShowWindow(window, SW_SHOW);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0)) {
                DispatchMessageA(&msg);
            }
        },
        out);
    console.StartLumiset();
    auto run = [&](const char* line) {
        out.str("");
        console.Execute(line);
        return out.str();
    };
    EXPECT_EQ(run("show labels"), "1201 hotkey \"None\" enabled \"Camera off\"\n");
    EXPECT_EQ(run("key 1201 ctrl+alt+f9"), "");
    EXPECT_EQ(run("show"), "1201 hotkey \"Ctrl+Alt+F9\" enabled\n");
    EXPECT_EQ(run("focus"), "1201 hotkey \"Ctrl+Alt+F9\" enabled\n");
    EXPECT_EQ(run("key 1201 win+o"), "error: a hotkey control does not take the Win key\n");
    EXPECT_EQ(run("key 1201 nosuch").rfind("error: no key named \"nosuch\": keys are Ctrl", 0), 0u);
    EXPECT_EQ(run("key 1201 left"), "");  // a key of its own: Left, without modifiers
    EXPECT_EQ(run("show"), "1201 hotkey \"Left\" enabled\n");
    EXPECT_EQ(run("key 1202 left"), "error: no visible control 1202\n");
}

}  // namespace
