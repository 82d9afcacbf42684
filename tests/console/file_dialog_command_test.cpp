// The console's filedialog command answers the open file dialog as its user, and the dialog
// shows in the window list like any other top-level window.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "tools/lumiset-sim/console.h"

namespace {

TEST(FileDialogCommand, PicksCancelsAndCloses) {
    sim::Machine machine;
    std::ostringstream out;
    std::vector<std::string> answers;  // what each call of the program returned
    // A program that asks for a file three times, then ends.
    console::Console console(
        machine,
        [&] {
            for (int i = 0; i < 3; ++i) {
                char file[MAX_PATH] = "";
                OPENFILENAMEA ofn{};
                ofn.lStructSize = sizeof ofn;
                ofn.lpstrFile = file;
                ofn.nMaxFile = sizeof file;
                answers.push_back(GetOpenFileNameA(&ofn) ? file : "cancelled");
            }
        },
        out);
    auto run = [&](const char* line) {
        out.str("");
        const bool ok = console.Execute(line);
        return std::make_pair(ok, out.str());
    };

    EXPECT_EQ(run("filedialog C:\\x.bmp"),
              std::make_pair(false, std::string("error: no file dialog is open\n")));
    console.StartLumiset();
    EXPECT_EQ(run("windows"),
              std::make_pair(true, std::string("\"#32770\" \"Open\" visible enabled\n")));
    for (const char* usage : {"filedialog", "filedialog \"\"", "filedialog \"unclosed"}) {
        EXPECT_FALSE(run(usage).first) << usage;
    }
    EXPECT_TRUE(answers.empty());

    EXPECT_EQ(run("filedialog   C:\\My Pictures\\frame 1.bmp  # picked"),
              std::make_pair(true, std::string()));
    EXPECT_EQ(run("filedialog cancel"), std::make_pair(true, std::string()));
    EXPECT_EQ(run("close"), std::make_pair(true, std::string()));
    EXPECT_EQ(answers,
              (std::vector<std::string>{"C:\\My Pictures\\frame 1.bmp", "cancelled", "cancelled"}));
    EXPECT_EQ(run("windows"), std::make_pair(true, std::string()));
    EXPECT_EQ(run("filedialog cancel"),
              std::make_pair(false, std::string("error: no file dialog is open\n")));
}

}  // namespace
