// The console's end lets Lumiset end from whatever a script leaves open: a menu (also over the
// Zoom dialog), the file dialog, the property frame, a held button, a disabled dialog, failing
// platform calls, a pause on the still clock. A copy left running would be abandoned with what it
// holds.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "framework/win_app.h"
#include "tools/lumiset-sim/boot.h"
#include "tools/lumiset-sim/console.h"

namespace {

void RunLumiset(const std::string& command_line) {
    std::string line = command_line;
    AfxWinMain(GetModuleHandleA(nullptr), nullptr, line.data(), SW_SHOWDEFAULT);
}

TEST(ConsoleEnd, EndsLumisetFromEveryStateAScriptLeaves) {
    const std::vector<std::vector<const char*>> scripts = {
        {"wait 1000", "command 32817", "tray rbuttonup"},
        {"wait 1000", "tray rbuttonup"},
        {"wait 1000", "page effect", "click 1086"},
        {"wait 1000", "command 32773"},
        {"wait 1000", "command 32817", "click 1120", "drag 1121 0", "wait 40", "press 1088"},
        {"wait 1000", "command 32817", "window disable \" Zoom\""},
        {"wait 1000", "page image", "command 32817", "tray rbuttonup", "fail PostMessageA 100"},
        {"wait 1000", "lumisetctl settings", "start", "tray rbuttonup"},
        // In the pause after a switch of the power-line frequency the clock is still.
        {"wait 1000", "command 32830"},
        {"wait 1000", "tray rbuttonup", "choose 50Hz", "command 32817"},
        // A click on the icon waits in the queue through that pause.
        {"wait 1000", "tray rbuttonup", "choose 50Hz", "tray rbuttonup"},
    };
    for (const auto& script : scripts) {
        sim::Machine machine;
        ASSERT_TRUE(console::BootMachine(machine, {}));
        std::ostringstream out;
        console::Console console(machine, RunLumiset, out);
        console.StartLumiset();
        std::string lines;
        for (const char* line : script) {
            EXPECT_TRUE(console.Execute(line)) << line << ": " << out.str();
            lines += std::string(line) + "; ";
        }
        ASSERT_TRUE(console.AnyLumisetRunning()) << lines;
        console.EndLumiset();
        EXPECT_FALSE(console.AnyLumisetRunning()) << lines;
        EXPECT_FALSE(machine.menus().IsOpen()) << lines;
        EXPECT_FALSE(machine.file_dialogs().IsOpen()) << lines;
    }
}

}  // namespace
