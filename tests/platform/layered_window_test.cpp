// A layered, click-through, no-activate window of the program's own class: made with
// CreateWindowExA, shown without taking the foreground, the focus or the user's active window
// from another program, and announced to screen readers with NotifyWinEvent.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sim/desktop.h"
#include "platform/win32.h"

namespace {

std::vector<UINT>* seen = nullptr;
bool refuse_creation = false;

LRESULT CALLBACK OverlayProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CREATE || message == WM_SETFOCUS || message == WM_ACTIVATE) {
        seen->push_back(message);
    }
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
        EXPECT_EQ(create->lpCreateParams, &seen);
        return refuse_creation ? -1 : 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

constexpr DWORD kOverlayStyles =
    WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW;

TEST(LayeredWindow, ShownWithoutActivationAndAnnounced) {
    sim::Machine machine;
    sim::Desktop desktop{machine};
    std::vector<UINT> log;
    seen = &log;
    refuse_creation = false;
    const HWND call = desktop.OpenWindow(u"", u"Video call");
    ASSERT_EQ(GetForegroundWindow(), call);

    HWND overlay = nullptr;
    HWND plain = nullptr;
    desktop.Start([&] {
        WNDCLASSA overlay_class{};
        overlay_class.lpfnWndProc = OverlayProc;
        overlay_class.lpszClassName = "LumisetTestOverlay";
        const ATOM atom = RegisterClassA(&overlay_class);
        ASSERT_NE(atom, 0);
        EXPECT_EQ(RegisterClassA(&overlay_class), 0);
        EXPECT_EQ(GetLastError(), DWORD{ERROR_CLASS_ALREADY_EXISTS});
        EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  nullptr, nullptr),
                  nullptr);
        EXPECT_EQ(GetLastError(), DWORD{ERROR_CANNOT_FIND_WND_CLASS});

        // Creation refused by the window itself, or failing in the system, leaves no window.
        refuse_creation = true;
        EXPECT_EQ(CreateWindowExA(kOverlayStyles, "LumisetTestOverlay", "Camera off", WS_POPUP, 0,
                                  0, 200, 60, nullptr, nullptr, nullptr, &seen),
                  nullptr);
        refuse_creation = false;
        machine.faults().Fail("CreateWindowExA");
        EXPECT_EQ(CreateWindowExA(kOverlayStyles, "LumisetTestOverlay", "Camera off", WS_POPUP, 0,
                                  0, 200, 60, nullptr, nullptr, nullptr, &seen),
                  nullptr);
        EXPECT_EQ(machine.resources().Open("window"), 0);

        overlay = CreateWindowExA(kOverlayStyles, MAKEINTATOM(atom), "Camera off", WS_POPUP, 860,
                                  960, 200, 60, nullptr, nullptr, nullptr, &seen);
        ASSERT_NE(overlay, nullptr);
        EXPECT_TRUE(SetLayeredWindowAttributes(overlay, 0, 230, LWA_ALPHA));
        ShowWindow(overlay, SW_SHOWNOACTIVATE);
        NotifyWinEvent(EVENT_SYSTEM_ALERT, overlay, OBJID_CLIENT, CHILDID_SELF);
        EXPECT_EQ(UnregisterClassA("LumisetTestOverlay", nullptr), FALSE);
        EXPECT_EQ(GetLastError(), DWORD{ERROR_CLASS_HAS_WINDOWS});

        // Attributes only for a layered window; a plain window shown as usual is activated.
        plain = CreateWindowExA(0, "LumisetTestOverlay", "Plain", WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, nullptr, &seen);
        EXPECT_FALSE(SetLayeredWindowAttributes(plain, 0, 128, LWA_ALPHA));
        EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0)) {
            DispatchMessageA(&msg);
        }
    });
    ASSERT_NE(overlay, nullptr);

    // On the screen, topmost, and still the call's foreground, active window and focus.
    EXPECT_TRUE(IsWindowVisible(overlay));
    EXPECT_EQ(GetForegroundWindow(), call);
    EXPECT_EQ(desktop.ActiveWindow(), call);
    EXPECT_EQ(machine.windows().Focus(machine.windows().Find(overlay)->thread), nullptr);
    EXPECT_EQ(log, (std::vector<UINT>{WM_CREATE, WM_CREATE, WM_CREATE}));
    const sim::Window& shown = *machine.windows().Find(overlay);
    ASSERT_TRUE(shown.layered);
    EXPECT_EQ(shown.layered->alpha, 230);
    EXPECT_EQ(shown.layered->flags, DWORD{LWA_ALPHA});
    EXPECT_EQ(machine.win_events().All(),
              (std::vector<sim::WinEvent>{{EVENT_SYSTEM_ALERT, overlay, OBJID_CLIENT, 0}}));
    bool listed = false;
    for (const sim::WindowView& view : desktop.TopLevelWindows()) {
        if (view.hwnd == overlay) {
            listed = view.title == u"Camera off" && view.visible && view.topmost;
        }
    }
    EXPECT_TRUE(listed);

    // Shown again by position, also without activation; the plain window takes the foreground.
    desktop.ShowWindow(overlay, SW_HIDE);
    machine.windows().SetPosition(overlay, HWND_TOPMOST, 0, 0, 0, 0,
                                  SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    desktop.Settle();
    EXPECT_EQ(GetForegroundWindow(), call);
    EXPECT_EQ(desktop.ActiveWindow(), call);
    desktop.ShowWindow(plain, SW_SHOW);
    EXPECT_EQ(GetForegroundWindow(), plain);
    EXPECT_EQ(desktop.ActiveWindow(), plain);
    seen = nullptr;
}

}  // namespace
