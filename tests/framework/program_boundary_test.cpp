// Lumiset's own windows against messages that other programs make up, on the simulated machine:
// the hidden host, the settings window, a page of it, the Zoom dialog and the About box, all open
// at once. Nothing of it may crash the program, stop it, take its icon or rename its host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/lumiset_machine.h"

namespace {

using testing_support::LumisetTest;

constexpr UINT kShowZoom = 32817;
constexpr UINT kAboutCommand = 0x0010;

class ProgramBoundaryTest : public LumisetTest {
protected:
    void SetUp() override {
        process = StartLumiset();
        ASSERT_NE(Host(), nullptr);
        desktop.Wait(1000);
        ASSERT_EQ(desktop.TrayIcons().size(), 1u);
        desktop.Post(Host(), RegisterWindowMessageA("LumisetShowSettings"), 0, 0);
        desktop.Settle();
        settings = desktop.FindTopLevel(u"#32770", u"CV Lumen Webcam Settings");
        ASSERT_NE(settings, nullptr);
        for (HWND child : machine.windows().Children(settings)) {
            if (IsWindowVisible(child) && machine.windows().Find(child)->class_name == u"#32770") {
                page = child;
            }
        }
        ASSERT_NE(page, nullptr);
        Command(kShowZoom);
        zoom = desktop.FindTopLevel(u"#32770", u" Zoom");
        ASSERT_NE(zoom, nullptr);
        desktop.Post(Host(), WM_SYSCOMMAND, kAboutCommand, 0);
        about = desktop.FindTopLevel(u"#32770", u"\u5173\u4e8e Lumiset");
        ASSERT_NE(about, nullptr);
    }

    std::vector<HWND> Windows() const { return {Host(), settings, page, zoom, about}; }

    sim::ProcessId process = 0;
    HWND settings = nullptr;
    HWND page = nullptr;
    HWND zoom = nullptr;
    HWND about = nullptr;
};

TEST_F(ProgramBoundaryTest, ForgedMessagesChangeNothing) {
    struct Forged {
        UINT message;
        WPARAM wParam;
    };
    const Forged forged[] = {
        {WM_NOTIFY, 1002},   {WM_DRAWITEM, 0},  {0x002C /* WM_MEASUREITEM */, 0},
        {WM_COMPAREITEM, 0}, {0x002D, 0},       {WM_INITDIALOG, 0},
        {WM_DESTROY, 0},     {WM_NCDESTROY, 0},
    };
    for (HWND to : Windows()) {
        for (const Forged& f : forged) {
            for (const LPARAM lParam : {LPARAM{0}, LPARAM{0x10}, LPARAM{-1}}) {
                desktop.Send(to, f.message, f.wParam, lParam);
                desktop.Post(to, f.message, f.wParam, lParam);
            }
        }
        desktop.Send(to, WM_WINDOWPOSCHANGING, 0, 0);
        desktop.Send(to, WM_WINDOWPOSCHANGED, 0, 0);
    }
    desktop.Wait(2000);
    ASSERT_TRUE(desktop.Running(process));
    for (HWND window : Windows()) {
        EXPECT_TRUE(IsWindow(window));
    }
    EXPECT_EQ(desktop.TrayIcons().size(), 1u);
    EXPECT_EQ(CountRequests(NIM_DELETE), 0);
    EXPECT_EQ(desktop.FindTopLevel(u"#32770", u"Property"), Host());

    // It still ends as it should, icon and all.
    Command(32772);
    EXPECT_FALSE(desktop.Running(process));
    EXPECT_TRUE(desktop.TrayIcons().empty());
    EXPECT_TRUE(desktop.TopLevelWindows().empty());
}

TEST_F(ProgramBoundaryTest, NoOtherProgramRenamesTheHost) {
    const std::string name = "Renamed";
    EXPECT_EQ(desktop.Send(Host(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str())), FALSE);
    EXPECT_EQ(desktop.FindTopLevel(u"#32770", u"Property"), Host());
    EXPECT_EQ(desktop.FindTopLevel(u"#32770", u"Renamed"), nullptr);
    EXPECT_TRUE(desktop.Running(process));
}

}  // namespace
