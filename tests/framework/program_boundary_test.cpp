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

// What the shell, the taskbar, Task Manager, screen readers and the session send from their own
// processes still gets its answer; what the windows have no use for from outside does nothing.
TEST_F(ProgramBoundaryTest, OthersGetTheAnswersTheirUsesNeedAndNothingElse) {
    const sim::OutsideMessageResult title =
        desktop.SendFromOtherProgram(settings, WM_GETTEXT, 64, 0x10, sim::MessageData::Buffer(64));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(title.returned.data())),
              "CV Lumen Webcam Settings");
    EXPECT_EQ(desktop.Send(Host(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_TRUE(desktop.Send(page, 0x003D /* WM_GETOBJECT */, 0, static_cast<LPARAM>(-4)));

    // Not for others: a tick, the system's move loop and the keyboard's menu, a new scale.
    const int modifies = CountRequests(NIM_MODIFY);
    desktop.Send(Host(), WM_TIMER, 0, 0);
    desktop.Send(settings, WM_SYSCOMMAND, 0xF010 /* SC_MOVE */, 0);
    desktop.Send(settings, WM_SYSCOMMAND, 0xF100 /* SC_KEYMENU */, 'f');
    RECT before{};
    GetWindowRect(settings, &before);
    const RECT elsewhere{0, 0, 10, 10};
    for (HWND to : Windows()) {
        desktop.Send(to, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&elsewhere));
        desktop.Post(to, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&elsewhere));
    }
    RECT after{};
    GetWindowRect(settings, &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(CountRequests(NIM_MODIFY), modifies);
    EXPECT_FALSE(desktop.MenuOpen());

    // The taskbar's close of a window, posted or sent, closes it.
    desktop.PostFromOtherProgram(about, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(about));
    desktop.Send(zoom, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(zoom));
    desktop.PostFromOtherProgram(settings, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(settings));
    EXPECT_TRUE(desktop.Running(process));
}

// Once Exit has begun, nothing queued behind it opens a menu, a dialog or a loop: the close that
// Exit sends to an open dialog lets its loop take what was queued first.
TEST_F(ProgramBoundaryTest, NothingOpensBehindExit) {
    const UINT show_settings = RegisterWindowMessageA("LumisetShowSettings");
    const auto post_at_once = [this](HWND to, UINT message, WPARAM wParam, LPARAM lParam) {
        machine.windows().Post(to, message, wParam, lParam);
    };
    post_at_once(Host(), WM_COMMAND, 32772, 0);
    post_at_once(Host(), WM_COMMAND, kShowZoom, 0);
    post_at_once(Host(), WM_SYSCOMMAND, kAboutCommand, 0);
    post_at_once(Host(), WM_COMMAND, 32773 /* the property frame */, 0);
    post_at_once(Host(), WM_APP + 1000, 148, WM_RBUTTONUP);
    post_at_once(Host(), show_settings, 0, 0);
    desktop.Settle();
    EXPECT_FALSE(desktop.Running(process));
    EXPECT_FALSE(desktop.MenuOpen());
    EXPECT_TRUE(desktop.TopLevelWindows().empty());
    EXPECT_TRUE(desktop.TrayIcons().empty());
    EXPECT_TRUE(machine.resources().Outstanding().empty());
}

}  // namespace
