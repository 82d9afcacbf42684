// The controls of a settings window as a person works them: a top-level window with a tab
// control and the program's two pages (templates 132 and 133) as child dialogs, one shown at a
// time. Radio groups, trackbars, the tab control, edit boxes, painting and what is visible.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sim/desktop.h"
#include "platform/win32.h"
#include "res/resource_bytes.h"

namespace {

struct Event {
    HWND hwnd;
    UINT message;
    WPARAM wparam;
    UINT code = 0;  // WM_NOTIFY's code
    bool operator==(const Event&) const = default;
};

std::vector<Event>* events = nullptr;
bool refuse_tab_change = false;
bool log_paint = false;
HWND pages[2] = {};

INT_PTR CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_VSCROLL:
            events->push_back({hwnd, message, wparam});
            return TRUE;
        case WM_NOTIFY:
            events->push_back({hwnd, message, wparam, reinterpret_cast<NMHDR*>(lparam)->code});
            return TRUE;
        case WM_PAINT:
            if (log_paint) {
                events->push_back({hwnd, message, 0});
            }
            return FALSE;
        default:
            return FALSE;
    }
}

LRESULT CALLBACK SettingsProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<NMHDR*>(lparam);
            events->push_back({hwnd, message, wparam, header->code});
            if (header->code == TCN_SELCHANGING) {
                return refuse_tab_change ? TRUE : FALSE;
            }
            if (header->code == TCN_SELCHANGE) {
                const auto shown = SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0);
                ShowWindow(pages[1 - shown], SW_HIDE);
                ShowWindow(pages[shown], SW_SHOW);
            }
            return 0;
        }
        case WM_COMMAND:
        case WM_VSCROLL:
            events->push_back({hwnd, message, wparam});
            break;
        case WM_PAINT:
            if (log_paint) {
                events->push_back({hwnd, message, 0});
            }
            break;
        case WM_APP:  // a vertical trackbar, made on the program's thread
            return reinterpret_cast<LRESULT>(sim::Machine::Current().windows().Create(
                u"msctls_trackbar32", u"", WS_CHILD | WS_VISIBLE | TBS_VERT, 0, hwnd, 7,
                RECT{0, 0, 20, 100}, nullptr));
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

class ControlsTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::Desktop desktop{machine};
    std::vector<Event> log;
    HWND settings = nullptr;
    HWND tab = nullptr;

    void SetUp() override {
        events = &log;
        refuse_tab_change = false;
        log_paint = false;
        ASSERT_TRUE(machine.program().LoadResources(LumisetResourceBytes()));
        desktop.Start([this] {
            settings = machine.windows().Create(u"TestSettings", u"Settings", WS_POPUP | WS_CAPTION,
                                                0, nullptr, 0, RECT{0, 0, 420, 600}, SettingsProc);
            tab = machine.windows().Create(u"SysTabControl32", u"", WS_CHILD | WS_VISIBLE, 0,
                                           settings, 1002, RECT{0, 0, 410, 590}, nullptr);
            for (const char* text : {"Image Control", "Effect"}) {
                TCITEMA item{TCIF_TEXT, 0, 0, const_cast<char*>(text), 0, 0, 0};
                SendMessageA(tab, TCM_INSERTITEMA, SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0),
                             reinterpret_cast<LPARAM>(&item));
            }
            for (int page = 0; page < 2; ++page) {
                pages[page] = CreateDialogParamA(
                    GetModuleHandleA(nullptr), MAKEINTRESOURCEA(132 + page), settings, PageProc, 0);
            }
            ShowWindow(pages[0], SW_SHOW);
            ShowWindow(settings, SW_SHOW);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0)) {
                if (!IsDialogMessageA(settings, &msg)) {
                    DispatchMessageA(&msg);
                }
            }
        });
        log.clear();
    }
    void TearDown() override { events = nullptr; }

    HWND Control(int id) { return desktop.VisibleControl(settings, id); }
    bool Checked(int id) { return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    LRESULT Position(HWND trackbar) { return SendMessageA(trackbar, TBM_GETPOS, 0, 0); }
    // The Effect page, made last, gave the focus to its first tab stop, the frame's path box; the
    // box tells its page when the first control a person works takes the focus away.
    Event PathBoxLostFocus() const {
        return {pages[1], WM_COMMAND, MAKEWPARAM(1116, EN_KILLFOCUS)};
    }
};

TEST_F(ControlsTest, AutomaticRadioButtonsUncheckOnlyTheirGroup) {
    // The Image Control page: Outdoor and Indoor each start a group of their own.
    desktop.ClickControl(Control(1080));
    desktop.ClickControl(Control(1082));
    EXPECT_TRUE(Checked(1080));
    EXPECT_TRUE(Checked(1082));
    EXPECT_EQ(log, (std::vector<Event>{PathBoxLostFocus(),
                                       {pages[0], WM_COMMAND, MAKEWPARAM(1080, BN_CLICKED)},
                                       {pages[0], WM_COMMAND, MAKEWPARAM(1082, BN_CLICKED)}}));

    // The Effect page: Television alone starts a group, and its group goes on round from the
    // page's last control to its first, so every button of the page is in it.
    ASSERT_TRUE(desktop.SelectTab(tab, 1));
    for (int id : {1089, 1090, 1106}) {
        desktop.ClickControl(Control(id));
    }
    EXPECT_FALSE(Checked(1089));
    EXPECT_FALSE(Checked(1090));
    EXPECT_TRUE(Checked(1106));
    desktop.ClickControl(Control(1109));
    desktop.ClickControl(Control(1110));
    EXPECT_FALSE(Checked(1106)) << "before Television, in the group that goes round";
    EXPECT_FALSE(Checked(1109));
    desktop.ClickControl(Control(1080));  // Frame File, after Television
    EXPECT_FALSE(Checked(1110));
    EXPECT_TRUE(Checked(1080));

    // A disabled button takes no click, and the group's walk passes over it.
    desktop.ClickControl(Control(1106));
    EnableWindow(Control(1107), FALSE);
    EXPECT_FALSE(desktop.ClickControl(Control(1107)));
    SendMessageA(Control(1107), BM_SETCHECK, BST_CHECKED, 0);
    desktop.ClickControl(Control(1108));
    EXPECT_TRUE(Checked(1107));
    EXPECT_FALSE(Checked(1106));
    EXPECT_EQ(SendMessageA(GetDlgItem(pages[0], 1080), BM_GETCHECK, 0, 0), BST_CHECKED)
        << "Outdoor, on the hidden page, shares only an id with Frame File";
}

TEST_F(ControlsTest, TrackbarRangeClampsAndKeysNeverReleaseCapture) {
    const HWND slider = Control(1022);
    EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMAX, 0, 0), 100);
    SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(-10, 10));
    EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMIN, 0, 0), -10) << "16-bit halves are signed";
    SendMessageA(slider, TBM_SETPOS, TRUE, 50);
    EXPECT_EQ(Position(slider), 10);
    SendMessageA(slider, TBM_SETRANGEMAX, FALSE, 5);
    EXPECT_EQ(Position(slider), 5);
    SendMessageA(slider, TBM_SETRANGEMIN, FALSE, 0);
    SendMessageA(slider, TBM_SETRANGEMAX, FALSE, 255);
    EXPECT_EQ(SendMessageA(slider, TBM_GETPAGESIZE, 0, 0), 51);
    EXPECT_TRUE(log.empty()) << "the program's own changes notify nobody";

    auto scroll = [](WORD code, int pos = 0) {
        return Event{pages[0], WM_HSCROLL, MAKEWPARAM(code, pos)};
    };
    desktop.PressKeyOn(slider, VK_RIGHT);
    desktop.PressKeyOn(slider, VK_NEXT);
    EXPECT_EQ(Position(slider), 57);
    desktop.PressKeyOn(slider, VK_HOME);
    desktop.PressKeyOn(slider, VK_LEFT);  // at the minimum: only the key's release is heard
    desktop.PressKeyOn(slider, VK_END);
    EXPECT_EQ(Position(slider), 255);
    EXPECT_EQ(log, (std::vector<Event>{PathBoxLostFocus(), scroll(TB_LINEDOWN), scroll(TB_ENDTRACK),
                                       scroll(TB_PAGEDOWN), scroll(TB_ENDTRACK), scroll(TB_TOP),
                                       scroll(TB_ENDTRACK), scroll(TB_ENDTRACK), scroll(TB_BOTTOM),
                                       scroll(TB_ENDTRACK)}));

    // Esc goes from the focused trackbar through the settings window's dialog handling.
    log.clear();
    desktop.PressKey(settings, VK_ESCAPE);
    EXPECT_EQ(log, (std::vector<Event>{{settings, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED)}}));
}

TEST_F(ControlsTest, TrackbarDragReleasesCaptureLastAndDisabledOnesStayPut) {
    const HWND slider = Control(1024);
    ASSERT_TRUE(desktop.DragTrackbar(slider, 300));
    EXPECT_EQ(Position(slider), 100);
    const auto released = Event{pages[0], WM_NOTIFY, 1024, NM_RELEASEDCAPTURE};
    EXPECT_EQ(log, (std::vector<Event>{PathBoxLostFocus(),
                                       {pages[0], WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 100)},
                                       {pages[0], WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 100)},
                                       {pages[0], WM_HSCROLL, TB_ENDTRACK},
                                       released}));
    // A click on the thumb moves nothing, but the mouse still lets go.
    log.clear();
    desktop.ClickControl(slider);
    EXPECT_EQ(log, (std::vector<Event>{{pages[0], WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 100)},
                                       {pages[0], WM_HSCROLL, TB_ENDTRACK},
                                       released}));

    log.clear();
    EnableWindow(slider, FALSE);
    EXPECT_FALSE(desktop.DragTrackbar(slider, 3));
    EXPECT_FALSE(desktop.PressKeyOn(slider, VK_LEFT));
    EXPECT_EQ(Position(slider), 100);
    EXPECT_TRUE(log.empty());

    // A vertical trackbar scrolls vertically.
    const auto vertical = reinterpret_cast<HWND>(*desktop.Send(settings, WM_APP, 0, 0));
    desktop.PressKeyOn(vertical, VK_DOWN);
    EXPECT_EQ(log.front(), (Event{settings, WM_VSCROLL, TB_LINEDOWN}));
}

TEST_F(ControlsTest, TrackClicksMoveAPageTowardTheClickAndLetGo) {
    const HWND slider = Control(1022);  // 0 to 100, a page of 20
    SendMessageA(slider, TBM_SETPOS, TRUE, 50);
    ASSERT_TRUE(desktop.ClickTrack(slider, true));
    EXPECT_EQ(Position(slider), 70);
    const auto scroll = [](WORD code) { return Event{pages[0], WM_HSCROLL, code}; };
    // As the thumb's release, the track's ends the move and lets the mouse go, in that order.
    EXPECT_EQ(log, (std::vector<Event>{PathBoxLostFocus(),
                                       scroll(TB_PAGEDOWN),
                                       scroll(TB_ENDTRACK),
                                       {pages[0], WM_NOTIFY, 1022, NM_RELEASEDCAPTURE}}));
    for (int click = 0; click < 4; ++click) {
        desktop.ClickTrack(slider, false);
    }
    EXPECT_EQ(Position(slider), 0) << "the range ends the pages";
    log.clear();
    EnableWindow(slider, FALSE);
    EXPECT_FALSE(desktop.ClickTrack(slider, true));
    EXPECT_FALSE(desktop.ClickTrack(Control(1003), true)) << "only a trackbar has a track";
    EXPECT_TRUE(log.empty());
}

TEST_F(ControlsTest, TabClicksAskTheParentFirstAndPagesShowTheirControls) {
    char text[32] = {};
    TCITEMA item{TCIF_TEXT, 0, 0, text, sizeof text, 0, 0};
    ASSERT_TRUE(SendMessageA(tab, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(text, "Effect");
    EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 0);

    // The Image Control page's controls, in template order, without boxes and texts.
    auto controls = desktop.VisibleControls(settings);
    ASSERT_EQ(controls.size(), 37u);
    EXPECT_EQ(controls[0].kind, "checkbox");
    EXPECT_EQ(controls[0].text, u"Image Mirror");
    EXPECT_EQ((std::vector<int>{controls[3].id, controls[4].id, controls[5].id}),
              (std::vector<int>{1022, 1052, 1024}));
    EXPECT_EQ(controls[3].kind, "trackbar");
    EXPECT_EQ(controls[4].kind, "edit");
    EXPECT_EQ(desktop.VisibleControl(settings, 1116), nullptr) << "the Effect page is hidden";

    refuse_tab_change = true;
    EXPECT_TRUE(desktop.SelectTab(tab, 1));
    EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 0);
    refuse_tab_change = false;
    desktop.SelectTab(tab, 1);
    desktop.SelectTab(tab, 1);  // the selected tab: nothing to ask
    EXPECT_EQ(log, (std::vector<Event>{PathBoxLostFocus(),
                                       {settings, WM_NOTIFY, 1002, TCN_SELCHANGING},
                                       {settings, WM_NOTIFY, 1002, TCN_SELCHANGING},
                                       {settings, WM_NOTIFY, 1002, TCN_SELCHANGE}}));
    controls = desktop.VisibleControls(settings);
    EXPECT_EQ(controls.front().id, 1089);
    EXPECT_EQ(controls.back().text, u"No effect&&frame");
    EXPECT_EQ(desktop.VisibleControl(settings, 1022), nullptr);

    // The arrow keys on the tabs, which the click left with the focus, choose the tab beside as a
    // click does, and stop at either end.
    log.clear();
    for (UINT key : {VK_RIGHT, VK_LEFT, VK_LEFT, VK_RIGHT}) {
        desktop.PressKey(settings, key);
    }
    EXPECT_EQ(log, (std::vector<Event>{{settings, WM_NOTIFY, 1002, TCN_SELCHANGING},
                                       {settings, WM_NOTIFY, 1002, TCN_SELCHANGE},
                                       {settings, WM_NOTIFY, 1002, TCN_SELCHANGING},
                                       {settings, WM_NOTIFY, 1002, TCN_SELCHANGE}}));
    EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 1);

    // The program's own selection notifies nobody.
    log.clear();
    EXPECT_EQ(SendMessageA(tab, TCM_SETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageA(tab, TCM_SETCURSEL, 5, 0), -1);
    SendMessageA(tab, TCM_DELETEALLITEMS, 0, 0);
    EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), -1);
    EXPECT_FALSE(desktop.SelectTab(tab, 0));
    EXPECT_TRUE(log.empty());
}

TEST_F(ControlsTest, EditBoxesKeepTextAndReadOnlyStyle) {
    const HWND value = Control(1052);
    EXPECT_TRUE(GetWindowLongPtrA(value, GWL_STYLE) & ES_READONLY);
    SetWindowTextA(value, "128");
    EXPECT_EQ(SendMessageA(value, WM_GETTEXTLENGTH, 0, 0), 3);
    char text[3] = {};
    EXPECT_EQ(SendMessageA(value, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)), 2);
    EXPECT_STREQ(text, "12");
    SendMessageA(value, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("-5"));
    EXPECT_EQ(desktop.VisibleControls(settings)[4].text, u"-5");
    SendMessageA(value, EM_SETREADONLY, FALSE, 0);
    EXPECT_FALSE(GetWindowLongPtrA(value, GWL_STYLE) & ES_READONLY);
}

TEST_F(ControlsTest, RepaintReachesTheShownPageAndItsControls) {
    log_paint = true;
    ASSERT_TRUE(desktop.Repaint(settings));
    EXPECT_EQ(log, (std::vector<Event>{{settings, WM_PAINT, 0}, {pages[0], WM_PAINT, 0}}));
    for (HWND control : {tab, Control(1022), Control(1003)}) {
        EXPECT_FALSE(machine.windows().Find(control)->needs_paint);
    }

    // The program's own calls: invalidation reaches children unless the parent clips them, and
    // UpdateWindow paints at once.
    log.clear();
    InvalidateRect(pages[0], nullptr, TRUE);
    EXPECT_TRUE(machine.windows().Find(Control(1022))->needs_paint);
    UpdateWindow(pages[0]);
    EXPECT_EQ(log, (std::vector<Event>{{pages[0], WM_PAINT, 0}}));
    EXPECT_FALSE(machine.windows().Find(Control(1022))->needs_paint);
    log.clear();
    RedrawWindow(settings, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(log, (std::vector<Event>{{settings, WM_PAINT, 0}, {pages[0], WM_PAINT, 0}}))
        << "the hidden page is not painted";
}

}  // namespace
