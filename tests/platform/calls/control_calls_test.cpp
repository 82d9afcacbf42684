// The trackbars and buttons of Lumiset's pages, made from their templates inside a window of the
// test's own: ranges and clamping, check states, automatic radio groups, and which changes the
// page hears of.
#include <ostream>
#include <vector>

#include "res/resource.h"
#include "tests/platform/calls/calls_test.h"

namespace calls {
namespace {

struct Event {
    UINT message;
    WPARAM wparam;
    bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Event& event) {
    return out << "{0x" << std::hex << event.message << ", " << std::dec << LOWORD(event.wparam)
               << ", " << HIWORD(event.wparam) << "}";
}

std::vector<Event>* events = nullptr;

INT_PTR CALLBACK PageProc(HWND /*hwnd*/, UINT message, WPARAM wparam, LPARAM /*lparam*/) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
        case WM_HSCROLL:
            events->push_back({message, wparam});
            return TRUE;
        default:
            return FALSE;
    }
}

class ControlCalls : public CallsTest {
protected:
    std::vector<Event> log;

    ControlCalls() { events = &log; }
    ~ControlCalls() override { events = nullptr; }

    // Runs `check` on the page made from `page_template`, shown in a window of its own.
    void WithPage(WORD page_template, const std::function<void(HWND page)>& check) {
        RunProgram([&] {
            const HWND window =
                CreateTestWindow("Settings", WS_POPUP | WS_CAPTION, nullptr, 0, nullptr);
            ASSERT_NE(window, nullptr);
            const HWND page = CreateDialogParamA(
                GetModuleHandleA(nullptr), MAKEINTRESOURCEA(page_template), window, PageProc, 0);
            ASSERT_NE(page, nullptr);
            ShowWindow(page, SW_SHOW);
            ShowWindow(window, SW_SHOW);
            log.clear();
            check(page);
            EXPECT_TRUE(DestroyWindow(window));
        });
    }

    static LRESULT Send(HWND page, int id, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
        return SendMessageA(GetDlgItem(page, id), message, wparam, lparam);
    }
    static LRESULT Check(HWND page, int id) { return Send(page, id, BM_GETCHECK); }
    static Event Clicked(int id) { return {WM_COMMAND, MAKEWPARAM(id, BN_CLICKED)}; }
    static Event Scrolled(WORD code) { return {WM_HSCROLL, MAKEWPARAM(code, 0)}; }
};

TEST_F(ControlCalls, TrackbarRangeAndPositionClampSilently) {
    WithPage(IDD_IMAGE_CONTROL, [this](HWND page) {
        const int slider = IDC_BRIGHTNESS_SLIDER;
        EXPECT_EQ(Send(page, slider, TBM_GETRANGEMIN), 0);
        EXPECT_EQ(Send(page, slider, TBM_GETRANGEMAX), 100);
        EXPECT_EQ(Send(page, slider, TBM_GETLINESIZE), 1);
        Send(page, slider, TBM_SETRANGE, TRUE, MAKELPARAM(-10, 10));
        EXPECT_EQ(Send(page, slider, TBM_GETRANGEMIN), -10) << "16-bit halves are signed";
        EXPECT_EQ(Send(page, slider, TBM_GETRANGEMAX), 10);
        Send(page, slider, TBM_SETPOS, TRUE, 50);
        EXPECT_EQ(Send(page, slider, TBM_GETPOS), 10);
        Send(page, slider, TBM_SETPOS, TRUE, -50);
        EXPECT_EQ(Send(page, slider, TBM_GETPOS), -10);
        Send(page, slider, TBM_SETPOS, TRUE, 8);
        Send(page, slider, TBM_SETRANGEMAX, FALSE, 5);
        EXPECT_EQ(Send(page, slider, TBM_GETPOS), 5) << "a lower maximum takes the position along";
        Send(page, slider, TBM_SETRANGEMIN, FALSE, 0);
        Send(page, slider, TBM_SETRANGEMAX, FALSE, 255);
        EXPECT_EQ(Send(page, slider, TBM_GETPOS), 5);
        EXPECT_EQ(Send(page, slider, TBM_GETPAGESIZE), 51) << "a fifth of the range";
        EXPECT_TRUE(log.empty()) << "the program's own changes notify nobody";
    });
}

TEST_F(ControlCalls, TrackbarKeysStepAndNotifyTheParent) {
    WithPage(IDD_IMAGE_CONTROL, [this](HWND page) {
        const int slider = IDC_CONTRAST_SLIDER;
        Send(page, slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, 255));
        Send(page, slider, TBM_SETPOS, FALSE, 0);
        auto press = [&](UINT key) {
            Send(page, slider, WM_KEYDOWN, key, 0);
            Send(page, slider, WM_KEYUP, key, 0);
        };
        press(VK_RIGHT);
        press(VK_NEXT);
        EXPECT_EQ(Send(page, slider, TBM_GETPOS), 52);
        press(VK_HOME);
        press(VK_LEFT);  // at the minimum already: only the key's release is heard
        press(VK_END);
        EXPECT_EQ(Send(page, slider, TBM_GETPOS), 255);
        EXPECT_EQ(log, (std::vector<Event>{
                           Scrolled(TB_LINEDOWN), Scrolled(TB_ENDTRACK), Scrolled(TB_PAGEDOWN),
                           Scrolled(TB_ENDTRACK), Scrolled(TB_TOP), Scrolled(TB_ENDTRACK),
                           Scrolled(TB_ENDTRACK), Scrolled(TB_BOTTOM), Scrolled(TB_ENDTRACK)}));
    });
}

TEST_F(ControlCalls, CheckBoxesKeepTheirStateAndClicksToggleThem) {
    WithPage(IDD_IMAGE_CONTROL, [this](HWND page) {
        EXPECT_EQ(Check(page, IDC_MIRROR), BST_UNCHECKED);
        Send(page, IDC_MIRROR, BM_SETCHECK, BST_CHECKED);
        EXPECT_EQ(Check(page, IDC_MIRROR), BST_CHECKED);
        EXPECT_TRUE(log.empty()) << "BM_SETCHECK notifies nobody";
        Send(page, IDC_FLIP, BM_CLICK);
        Send(page, IDC_MIRROR, BM_CLICK);
        EXPECT_EQ(Check(page, IDC_FLIP), BST_CHECKED);
        EXPECT_EQ(Check(page, IDC_MIRROR), BST_UNCHECKED);
        EXPECT_EQ(log, (std::vector<Event>{Clicked(IDC_FLIP), Clicked(IDC_MIRROR)}));
    });
}

TEST_F(ControlCalls, AutomaticRadioButtonsUncheckTheirGroupWhichGoesRound) {
    WithPage(IDD_EFFECT, [this](HWND page) {
        Send(page, IDC_EFFECT_AGED_PHOTO, BM_CLICK);
        Send(page, IDC_EFFECT_CANVAS, BM_CLICK);
        EXPECT_EQ(Check(page, IDC_EFFECT_AGED_PHOTO), BST_UNCHECKED);
        EXPECT_EQ(Check(page, IDC_EFFECT_CANVAS), BST_CHECKED);
        // The frame's path box, the page's first tab stop, had the focus; the click takes it.
        EXPECT_EQ(log, (std::vector<Event>{{WM_COMMAND, MAKEWPARAM(IDC_FRAME_PATH, EN_KILLFOCUS)},
                                           Clicked(IDC_EFFECT_AGED_PHOTO),
                                           Clicked(IDC_EFFECT_CANVAS)}));

        // Television alone starts a group, and its group goes on round from the page's last
        // control to its first: every button of the page is in it.
        Send(page, IDC_FRAME_TELEVISION, BM_CLICK);
        EXPECT_EQ(Check(page, IDC_EFFECT_CANVAS), BST_UNCHECKED);
        EXPECT_EQ(Check(page, IDC_FRAME_TELEVISION), BST_CHECKED);
        Send(page, IDC_FRAME_FILE, BM_CLICK);
        EXPECT_EQ(Check(page, IDC_FRAME_TELEVISION), BST_UNCHECKED);
        EXPECT_EQ(Check(page, IDC_FRAME_FILE), BST_CHECKED);

        // The program's own BM_SETCHECK checks the button and notifies nobody. (What it does to
        // the rest of the group is not documented: Wine unchecks it, the simulated machine not.)
        log.clear();
        Send(page, IDC_EFFECT_AGED_PHOTO, BM_SETCHECK, BST_CHECKED);
        EXPECT_EQ(Check(page, IDC_EFFECT_AGED_PHOTO), BST_CHECKED);
        EXPECT_EQ(log, std::vector<Event>{});
    });
}

}  // namespace
}  // namespace calls
