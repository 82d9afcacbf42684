// The Zoom dialog's template (150) on the simulated controls, worked as the program works it:
// icons on the arrow buttons, a topmost window, an arrow held down under a 20 ms timer, and
// another program's window enabled again.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sim/desktop.h"
#include "platform/win32.h"
#include "res/resource_bytes.h"

namespace {

constexpr int kUp = 1122, kDown = 1089, kLeft = 1088, kRight = 1087, kSlider = 1121;
constexpr UINT kEnableControl = WM_APP;      // wParam the control, lParam TRUE or FALSE
constexpr UINT kPosition = WM_APP + 1;       // wParam the flags, lParam the window to follow
constexpr UINT kEnableCapture = WM_APP + 2;  // EnableWindow(FindWindowA(0, "AMCAP"), TRUE)

struct Event {
    UINT message;
    WPARAM wparam;
    bool operator==(const Event&) const = default;
};

std::vector<Event>* events = nullptr;
int pushed_ticks = 0;  // timer ticks that found the left arrow pushed
HICON icons[4] = {};

LRESULT Answer(HWND dialog, LRESULT result) {
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK ZoomProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW);
            const int arrows[] = {kUp, kDown, kLeft, kRight};
            for (int i = 0; i < 4; ++i) {
                icons[i] = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr),
                                                         MAKEINTRESOURCEA(151 + i), IMAGE_ICON, 32,
                                                         32, LR_DEFAULTCOLOR));
                SendMessageA(GetDlgItem(dialog, arrows[i]), BM_SETIMAGE, IMAGE_ICON,
                             reinterpret_cast<LPARAM>(icons[i]));
            }
            SendMessageA(GetDlgItem(dialog, kSlider), TBM_SETRANGE, TRUE, MAKELPARAM(0, 64));
            SendMessageA(GetDlgItem(dialog, kSlider), TBM_SETPOS, TRUE, 64);
            EnableWindow(GetDlgItem(dialog, kSlider), TRUE);
            EnableWindow(GetDlgItem(dialog, kLeft), TRUE);
            SetTimer(dialog, 1, 20, nullptr);
            return TRUE;
        }
        case WM_TIMER:
            if (SendMessageA(GetDlgItem(dialog, kLeft), BM_GETSTATE, 0, 0) & BST_PUSHED) {
                ++pushed_ticks;
            }
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDCANCEL) {
                DestroyWindow(dialog);
                PostQuitMessage(0);
                return TRUE;
            }
            events->push_back({message, wparam});
            return TRUE;
        case kEnableControl:
            EnableWindow(GetDlgItem(dialog, static_cast<int>(wparam)), static_cast<BOOL>(lparam));
            return TRUE;
        case kPosition:
            return Answer(dialog, SetWindowPos(dialog, reinterpret_cast<HWND>(lparam), 9, 9, 0, 0,
                                               static_cast<UINT>(wparam)));
        case kEnableCapture:
            return Answer(dialog, EnableWindow(FindWindowA(nullptr, "AMCAP"), TRUE));
        default:
            return FALSE;
    }
}

class ZoomControlsTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::Desktop desktop{machine};
    std::vector<Event> log;
    HWND zoom = nullptr;

    void SetUp() override {
        events = &log;
        pushed_ticks = 0;
        ASSERT_TRUE(machine.program().LoadResources(LumisetResourceBytes()));
    }
    void TearDown() override { events = nullptr; }

    void Open() {
        desktop.Start([this] {
            zoom = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(150), nullptr,
                                      ZoomProc, 0);
            ShowWindow(zoom, SW_SHOW);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0)) {
                if (!IsDialogMessageA(zoom, &msg)) {
                    DispatchMessageA(&msg);
                }
            }
        });
    }
    HWND Control(int id) { return GetDlgItem(zoom, id); }
    LRESULT State(int id) { return SendMessageA(Control(id), BM_GETSTATE, 0, 0); }
    sim::WindowView View(HWND hwnd) {
        for (const sim::WindowView& view : desktop.TopLevelWindows()) {
            if (view.hwnd == hwnd) {
                return view;
            }
        }
        ADD_FAILURE() << "no top-level window";
        return {};
    }
};

TEST_F(ZoomControlsTest, ArrowIconsServeEveryLanguageAndStayTheProgramsUntilDestroyed) {
    for (unsigned short language : {1033, 2052, 1028}) {
        SCOPED_TRACE(language);
        machine.locale().ui_language = language;
        Open();
        EXPECT_EQ(machine.resources().Open("icon"), 4);
        for (int i = 0; i < 4; ++i) {
            const auto icon = machine.gdi().Find(icons[i]);
            ASSERT_TRUE(icon.has_value());
            EXPECT_EQ((std::vector<int>{icon->resource_id, icon->width, icon->height}),
                      (std::vector<int>{151 + i, 32, 32}));
        }
        EXPECT_EQ(SendMessageA(Control(kUp), BM_GETIMAGE, IMAGE_ICON, 0),
                  reinterpret_cast<LRESULT>(icons[0]));
        EXPECT_EQ(
            SendMessageA(Control(kUp), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icons[1])),
            reinterpret_cast<LRESULT>(icons[0]))
            << "the previous image comes back";
        EXPECT_EQ(desktop.VisibleControls(zoom).front().kind, "iconbutton");

        EXPECT_TRUE(desktop.CloseActiveWindow());
        EXPECT_EQ(machine.resources().Open("window"), 0);
        EXPECT_EQ(machine.resources().Open("icon"), 4) << "a button never destroys its image";
        for (HICON icon : icons) {
            EXPECT_TRUE(DestroyIcon(icon));
        }
        EXPECT_EQ(machine.resources().Open("icon"), 0);
    }
}

TEST_F(ZoomControlsTest, AHeldArrowShowsPushedUntilLetGoOrDisabled) {
    Open();
    const HWND left = Control(kLeft);
    EXPECT_FALSE(desktop.PressButton(Control(kUp))) << "disabled";
    EXPECT_FALSE(desktop.PressButton(Control(kSlider))) << "not a button";
    EXPECT_FALSE(desktop.ReleaseButton(left)) << "never pressed";

    ASSERT_TRUE(desktop.PressButton(left));
    EXPECT_EQ(State(kLeft) & BST_PUSHED, BST_PUSHED);
    desktop.Wait(60);
    EXPECT_EQ(pushed_ticks, 3);
    desktop.Send(zoom, kEnableControl, kRight, TRUE);
    EXPECT_FALSE(desktop.PressButton(Control(kRight))) << "the mouse is down on the left arrow";
    EXPECT_TRUE(log.empty()) << "no click while held";
    ASSERT_TRUE(desktop.ReleaseButton(left));
    EXPECT_EQ(State(kLeft), 0);
    EXPECT_EQ(log, (std::vector<Event>{{WM_COMMAND, MAKEWPARAM(kLeft, BN_CLICKED)}}));
    desktop.Wait(40);
    EXPECT_EQ(pushed_ticks, 3);
    EXPECT_FALSE(desktop.ReleaseButton(left)) << "already let go";

    // Disabled while held, the arrow loses its press and lets go without a click.
    log.clear();
    ASSERT_TRUE(desktop.PressButton(left));
    desktop.Send(zoom, kEnableControl, kLeft, FALSE);
    EXPECT_EQ(State(kLeft), 0);
    EXPECT_EQ(desktop.HeldButton(), nullptr);
    EXPECT_FALSE(desktop.ReleaseButton(left));
    desktop.Send(zoom, kEnableControl, kLeft, TRUE);
    desktop.Wait(40);
    EXPECT_TRUE(log.empty());
    ASSERT_TRUE(desktop.PressButton(left)) << "enabled again, it takes a new press";
    ASSERT_TRUE(desktop.ReleaseButton(left));
    EXPECT_EQ(log.size(), 1u);
    desktop.ShowWindow(left, SW_HIDE);
    EXPECT_FALSE(desktop.PressButton(left));
}

TEST_F(ZoomControlsTest, TopmostAndTheCaptureWindowEnabledAgain) {
    Open();
    EXPECT_TRUE(View(zoom).topmost);
    EXPECT_EQ(GetWindowLongPtrA(zoom, GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST);
    const auto flags = SWP_NOSIZE | SWP_NOMOVE;
    desktop.Send(zoom, kPosition, flags | SWP_NOZORDER, reinterpret_cast<LPARAM>(HWND_NOTOPMOST));
    EXPECT_TRUE(View(zoom).topmost) << "no z-order change asked for";
    desktop.Send(zoom, kPosition, flags, reinterpret_cast<LPARAM>(HWND_NOTOPMOST));
    EXPECT_FALSE(View(zoom).topmost);
    SetWindowPos(Control(kLeft), HWND_TOPMOST, 0, 0, 0, 0, flags);
    EXPECT_EQ(GetWindowLongPtrA(Control(kLeft), GWL_EXSTYLE) & WS_EX_TOPMOST, 0)
        << "a child window is never topmost";

    // Another program's capture window, disabled by its owner, enabled again by the program.
    const HWND capture = desktop.OpenWindow(u"", u"AMCAP");
    EXPECT_TRUE(desktop.EnableWindow(capture, false));
    EXPECT_FALSE(View(capture).enabled);
    EXPECT_FALSE(IsWindowEnabled(capture));
    EXPECT_EQ(desktop.Send(zoom, kEnableCapture, 0, 0), TRUE) << "it was disabled";
    EXPECT_TRUE(View(capture).enabled);
    EXPECT_EQ(desktop.Send(zoom, kEnableCapture, 0, 0), FALSE);
    desktop.CloseWindow(capture);
    EXPECT_FALSE(desktop.EnableWindow(capture, true));
}

}  // namespace
