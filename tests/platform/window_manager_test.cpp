// The simulated window manager in the manner of Wine's message tests: which messages a window
// receives, in which order, and when.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/desktop.h"
#include "platform/win32.h"

namespace {

struct Logged {
    UINT message;
    WPARAM wparam;
    bool operator==(const Logged&) const = default;
};

std::vector<Logged>* message_log = nullptr;
bool suppress_show = false;

LRESULT CALLBACK LoggingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SHOWWINDOW || message == WM_WINDOWPOSCHANGING ||
        message == WM_WINDOWPOSCHANGED || message == WM_TIMER || message == WM_COMMAND ||
        message == WM_SYSCOMMAND || message >= WM_APP) {
        message_log->push_back(Logged{message, wparam});
    }
    if (message == WM_WINDOWPOSCHANGING && suppress_show) {
        reinterpret_cast<WINDOWPOS*>(lparam)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
        return 0;
    }
    if (message == WM_APP + 1) {
        return static_cast<LRESULT>(wparam * 2);
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

class WindowManagerTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::Desktop desktop{machine};
    std::vector<Logged> log;
    HWND window = nullptr;

    void SetUp() override {
        message_log = &log;
        suppress_show = false;
    }
    void TearDown() override { message_log = nullptr; }

    // A program whose main thread makes one window and pumps messages until WM_QUIT.
    sim::ProcessId StartPumping(std::function<void()> before_loop = nullptr) {
        return desktop.Start([this, before_loop] {
            window = machine.windows().Create(u"TestWindow", u"Test", WS_POPUP, 0, nullptr, 0,
                                              RECT{0, 0, 100, 100}, LoggingProc);
            if (before_loop) {
                before_loop();
            }
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0)) {
                DispatchMessageA(&msg);
            }
        });
    }
};

TEST_F(WindowManagerTest, ShowSendsShowWindowThenPositionChanges) {
    StartPumping();
    ASSERT_TRUE(desktop.ShowWindow(window, SW_SHOW));
    EXPECT_EQ(log,
              (std::vector<Logged>{
                  {WM_SHOWWINDOW, TRUE}, {WM_WINDOWPOSCHANGING, 0}, {WM_WINDOWPOSCHANGED, 0}}));
    EXPECT_TRUE(IsWindowVisible(window));
    log.clear();
    desktop.ShowWindow(window, SW_SHOW);
    EXPECT_TRUE(log.empty()) << "showing a visible window changes nothing";
}

TEST_F(WindowManagerTest, ClearingShowFlagKeepsWindowHiddenButMoves) {
    suppress_show = true;
    StartPumping();
    desktop.ShowWindow(window, SW_SHOWNORMAL);
    EXPECT_FALSE(IsWindowVisible(window));
    // A position change with a show in it: the move goes ahead, the show does not.
    machine.windows().SetPosition(window, nullptr, 40, 50, 200, 100, SWP_SHOWWINDOW);
    desktop.Settle();
    EXPECT_FALSE(IsWindowVisible(window));
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.top, 50);
    EXPECT_EQ(rect.right, 240);
}

TEST_F(WindowManagerTest, TimersFireOnlyWhenTheClockMoves) {
    StartPumping([this] { SetTimer(window, 0, 1000, nullptr); });
    desktop.Settle();
    EXPECT_TRUE(log.empty());
    desktop.Wait(999);
    EXPECT_TRUE(log.empty());
    desktop.Wait(1);
    EXPECT_EQ(log, (std::vector<Logged>{{WM_TIMER, 0}}));
    desktop.Wait(3000);
    EXPECT_EQ(log.size(), 4u);
}

TEST_F(WindowManagerTest, NestedMenuLoopKeepsDispatchingTimers) {
    HMENU menu = nullptr;
    StartPumping([&] {
        SetTimer(window, 7, 500, nullptr);
        menu = machine.menus().CreatePopup();
        AppendMenuA(menu, MF_STRING, 42, "Item");
        TrackPopupMenu(menu, 0, 0, 0, 0, window, nullptr);
        message_log->push_back(Logged{WM_NULL, 0});
        DestroyMenu(menu);
    });
    ASSERT_TRUE(desktop.MenuOpen());
    desktop.Wait(1000);
    EXPECT_EQ(log, (std::vector<Logged>{{WM_TIMER, 7}, {WM_TIMER, 7}}));
    ASSERT_TRUE(desktop.ChooseMenuItem(u"Item"));
    EXPECT_FALSE(desktop.MenuOpen());
    // The chosen command arrives after the menu has closed.
    EXPECT_EQ(log,
              (std::vector<Logged>{{WM_TIMER, 7}, {WM_TIMER, 7}, {WM_NULL, 0}, {WM_COMMAND, 42}}));
    EXPECT_EQ(machine.resources().Open("menu"), 0);
}

TEST_F(WindowManagerTest, DismissedMenuSendsNothing) {
    StartPumping([&] {
        HMENU menu = machine.menus().CreatePopup();
        AppendMenuA(menu, MF_STRING, 42, "Item");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        PostMessageA(window, WM_APP + 2, 0, 0);
        EXPECT_FALSE(TrackPopupMenu(menu, 0, 0, 0, 0, window, nullptr));
        DestroyMenu(menu);
    });
    ASSERT_TRUE(desktop.MenuOpen());
    EXPECT_EQ(log, (std::vector<Logged>{{WM_APP + 2, 0}})) << "posted messages are dispatched";
    const auto items = desktop.MenuItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_TRUE(items[1].separator);
    EXPECT_FALSE(desktop.ChooseMenuItem(u"Missing"));
    ASSERT_TRUE(desktop.DismissMenu());
    EXPECT_FALSE(desktop.MenuOpen());
    EXPECT_EQ(log, (std::vector<Logged>{{WM_APP + 2, 0}}));
}

TEST_F(WindowManagerTest, SendFromAnotherProgramWaitsForTheAnswer) {
    StartPumping();
    EXPECT_EQ(desktop.Send(window, WM_APP + 1, 21, 0), 42);
    // A program busy in a sleep does not answer until it pumps messages again.
    HWND other = nullptr;
    desktop.Start([&] {
        other = machine.windows().Create(u"TestWindow", u"Sleepy", WS_POPUP, 0, nullptr, 0, RECT{},
                                         LoggingProc);
        Sleep(100);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0)) {
            DispatchMessageA(&msg);
        }
    });
    EXPECT_EQ(desktop.Send(other, WM_APP + 1, 1, 0), std::nullopt);
    desktop.Wait(100);
    EXPECT_EQ(log.back(), (Logged{WM_APP + 1, 1}));
}

TEST_F(WindowManagerTest, FindWindowIgnoresCaseAndProcessExitDestroysWindows) {
    const auto process = StartPumping();
    EXPECT_EQ(FindWindowA("testwindow", "TEST"), window);
    EXPECT_EQ(FindWindowA("TestWindow", "Tes"), nullptr);
    EXPECT_EQ(machine.resources().Open("window"), 1);
    desktop.Post(window, WM_APP + 3, 0, 0);
    EXPECT_TRUE(desktop.Running(process));

    // The main thread returns while its window still exists: the window goes with the process.
    desktop.Start([this] {
        machine.windows().Create(u"TestWindow", u"Short", WS_POPUP, 0, nullptr, 0, RECT{},
                                 LoggingProc);
    });
    EXPECT_EQ(FindWindowA("TestWindow", "Short"), nullptr);
    EXPECT_EQ(machine.resources().Open("window"), 1);
}

TEST_F(WindowManagerTest, PropertiesByNameInAnyCaseGoWithTheirWindow) {
    StartPumping();
    int first = 0, second = 0;
    EXPECT_EQ(GetPropA(window, "Object"), nullptr);
    EXPECT_TRUE(SetPropA(window, "Object", &first));
    EXPECT_EQ(GetPropA(window, "OBJECT"), &first);
    EXPECT_TRUE(SetPropA(window, "object", &second));  // one property, replaced
    EXPECT_EQ(GetPropA(window, "Object"), &second);
    EXPECT_EQ(RemovePropA(window, "Object"), &second);
    EXPECT_EQ(RemovePropA(window, "Object"), nullptr);
    EXPECT_EQ(GetPropA(window, "Object"), nullptr);

    EXPECT_TRUE(SetPropA(window, "Object", &first));
    const HWND other = desktop.OpenWindow(u"", u"Other");
    EXPECT_EQ(GetPropA(other, "Object"), nullptr);
    EXPECT_TRUE(SetPropA(other, "Object", &second));
    EXPECT_EQ(GetPropA(window, "Object"), &first);
    EXPECT_FALSE(SetPropA(other, nullptr, &first));
    desktop.CloseWindow(other);
    EXPECT_EQ(GetPropA(other, "Object"), nullptr);
    EXPECT_FALSE(SetPropA(other, "Object", &first));
}

TEST_F(WindowManagerTest, TrayIconsAddModifyDeleteAndShellRestart) {
    StartPumping();
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = window;
    data.uID = 148;
    data.uFlags = NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = WM_APP + 1000;
    std::strcpy(data.szTip, "Tip");
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &data)) << "modify cannot create an icon";
    EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &data));
    ASSERT_EQ(desktop.TrayIcons().size(), 1u);
    EXPECT_EQ(desktop.TrayIcons()[0].tip, u"Tip");

    ASSERT_TRUE(desktop.TrayEvent(window, 148, WM_RBUTTONUP));
    EXPECT_EQ(log.back(), (Logged{WM_APP + 1000, 148}));

    log.clear();
    desktop.ShellRestart();
    EXPECT_TRUE(desktop.TrayIcons().empty());
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].message, RegisterWindowMessageA("TaskbarCreated"));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &data));
}

TEST_F(WindowManagerTest, ActiveWindowIsTheLastShownAndItsCloseBoxClosesIt) {
    EXPECT_EQ(desktop.ActiveWindow(), nullptr);
    EXPECT_FALSE(desktop.CloseActiveWindow());
    StartPumping();
    EXPECT_EQ(desktop.ActiveWindow(), nullptr) << "a hidden window is not open to the user";
    const HWND notepad = desktop.OpenWindow(u"", u"Notepad");
    const HWND paint = desktop.OpenWindow(u"", u"Paint");
    desktop.ShowWindow(window, SW_SHOW);
    EXPECT_EQ(desktop.ActiveWindow(), window);

    // A program's window gets the close box's command; its default processing closes it, and
    // the window is hidden before it goes.
    log.clear();
    ASSERT_TRUE(desktop.CloseActiveWindow());
    EXPECT_EQ(log,
              (std::vector<Logged>{
                  {WM_SYSCOMMAND, SC_CLOSE}, {WM_WINDOWPOSCHANGING, 0}, {WM_WINDOWPOSCHANGED, 0}}));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(machine.resources().Open("window"), 0);
    EXPECT_EQ(desktop.ActiveWindow(), paint);

    // Showing again makes a window the latest; hiding it hands over to the one shown before.
    desktop.ShowWindow(notepad, SW_HIDE);
    desktop.ShowWindow(notepad, SW_SHOW);
    EXPECT_EQ(desktop.ActiveWindow(), notepad);
    desktop.ShowWindow(notepad, SW_HIDE);
    EXPECT_EQ(desktop.ActiveWindow(), paint);

    // A disabled window's close box does nothing.
    EnableWindow(paint, FALSE);
    EXPECT_FALSE(desktop.CloseActiveWindow());
    EXPECT_TRUE(IsWindow(paint));
    EnableWindow(paint, TRUE);
    EXPECT_TRUE(desktop.CloseActiveWindow());
    EXPECT_FALSE(IsWindow(paint));
    EXPECT_EQ(desktop.ActiveWindow(), nullptr);
}

}  // namespace
