// The keyboard in a dialog with pages inside it, as the dialog manager moves it: Tab and
// Shift+Tab through the tab stops in z-order and into pages that hold controls of their own,
// radio buttons whose tab stop follows their check mark, the arrows within a group, the space
// bar on a button, and Alt+F4.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sim/desktop.h"
#include "platform/win32.h"
#include "res/resource.h"
#include "res/resource_bytes.h"

namespace {

std::vector<WPARAM>* commands = nullptr;

INT_PTR CALLBACK Proc(HWND, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    // Clicks only: the path box also tells of the focus it gains and loses.
    if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
        commands->push_back(wparam);
        return TRUE;
    }
    return FALSE;
}

class DialogNavigationTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::Desktop desktop{machine};
    std::vector<WPARAM> log;
    HWND settings = nullptr;
    HWND pages[2] = {};

    void SetUp() override {
        commands = &log;
        ASSERT_TRUE(machine.program().LoadResources(LumisetResourceBytes()));
        desktop.Start([this] {
            settings = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS),
                                          nullptr, Proc, 0);
            const HWND tab = GetDlgItem(settings, IDC_SETTINGS_TAB);
            for (int page = 0; page < 2; ++page) {
                pages[page] = CreateDialogParamA(GetModuleHandleA(nullptr),
                                                 MAKEINTRESOURCEA(IDD_IMAGE_CONTROL + page),
                                                 settings, Proc, 0);
                SetWindowLongPtrA(pages[page], GWL_STYLE,
                                  GetWindowLongPtrA(pages[page], GWL_STYLE) | DS_CONTROL);
                SetWindowLongPtrA(pages[page], GWL_EXSTYLE, WS_EX_CONTROLPARENT);
                SetWindowPos(tab, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
                SetWindowPos(pages[page], HWND_TOP, 0, 30, 400, 500, SWP_NOACTIVATE);
            }
            ShowWindow(pages[0], SW_SHOW);
            ShowWindow(settings, SW_SHOW);
            // As the framework does: the innermost dialog is asked first.
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0)) {
                HWND dialog = settings;
                for (HWND page : pages) {
                    dialog = IsChild(page, msg.hwnd) ? page : dialog;
                }
                if (!IsDialogMessageA(dialog, &msg)) {
                    DispatchMessageA(&msg);
                }
            }
        });
        log.clear();
    }
    void TearDown() override { commands = nullptr; }

    int FocusId() const {
        const auto focused = desktop.FocusedControl(settings);
        return focused ? focused->id : -1;
    }
    // The ids the focus goes through, a key at a time.
    std::vector<int> Walk(const std::vector<UINT>& held, int steps) {
        std::vector<int> ids;
        for (int step = 0; step < steps; ++step) {
            desktop.PressKeyWith(settings, held, VK_TAB);
            ids.push_back(FocusId());
        }
        return ids;
    }
    LONG_PTR Style(int page, int id) {
        return GetWindowLongPtrA(GetDlgItem(pages[page], id), GWL_STYLE);
    }
};

TEST_F(DialogNavigationTest, TabGoesThroughTheShownPageInZOrderAndRound) {
    // The pages on top of the z-order, the tab control at its bottom; the order of creation,
    // which `show` follows, stays.
    const HWND tab = GetDlgItem(settings, IDC_SETTINGS_TAB);
    EXPECT_EQ(GetWindow(settings, GW_CHILD), pages[1]);
    EXPECT_EQ(GetWindow(pages[1], GW_HWNDNEXT), pages[0]);
    EXPECT_EQ(GetWindow(pages[0], GW_HWNDNEXT), GetDlgItem(settings, IDC_SETTINGS_CLOSE));
    EXPECT_EQ(GetWindow(tab, GW_HWNDPREV), GetDlgItem(settings, IDC_SETTINGS_CLOSE));
    EXPECT_EQ(GetWindow(tab, GW_HWNDNEXT), nullptr);
    EXPECT_EQ(desktop.VisibleControls(settings).front().id, IDC_SETTINGS_CLOSE);

    // Only the Image Control page is shown: number boxes, disabled controls and the hidden page
    // are passed over.
    EnableWindow(GetDlgItem(pages[0], IDC_LOW_LIGHT), FALSE);
    SetFocus(GetDlgItem(settings, IDC_SETTINGS_CLOSE));
    EXPECT_EQ(Walk({}, 6),
              (std::vector<int>{IDC_SETTINGS_TAB, IDC_MIRROR, IDC_FLIP, IDC_BRIGHTNESS_SLIDER,
                                IDC_CONTRAST_SLIDER, IDC_GAMMA_SLIDER}));
    EXPECT_EQ(Walk({VK_SHIFT}, 5), (std::vector<int>{IDC_CONTRAST_SLIDER, IDC_BRIGHTNESS_SLIDER,
                                                     IDC_FLIP, IDC_MIRROR, IDC_SETTINGS_TAB}));
    EXPECT_EQ(Walk({VK_SHIFT}, 3),
              (std::vector<int>{IDC_SETTINGS_CLOSE, IDC_BW_MODE, IDC_BACKLIGHT_COMP}));
    EXPECT_TRUE(log.empty()) << "moving the focus clicks nothing";
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0) << "Shift is let go after the key";

    // A page that is no control of the window (DS_CONTROL) keeps its keys: Tab goes round it.
    const LONG_PTR style = GetWindowLongPtrA(pages[0], GWL_STYLE);
    SetWindowLongPtrA(pages[0], GWL_STYLE, style & ~DS_CONTROL);
    EXPECT_EQ(Walk({}, 3), (std::vector<int>{IDC_BW_MODE, IDC_MIRROR, IDC_FLIP}));
    SetWindowLongPtrA(pages[0], GWL_STYLE, style);

    // A page without WS_EX_CONTROLPARENT is one window to the dialog manager, and no tab stop.
    SetWindowLongPtrA(pages[0], GWL_EXSTYLE, 0);
    EXPECT_EQ(Walk({}, 2), (std::vector<int>{IDC_SETTINGS_CLOSE, IDC_SETTINGS_TAB}));
    ShowWindow(pages[0], SW_HIDE);
    ShowWindow(pages[1], SW_SHOW);
    EXPECT_EQ(Walk({}, 5), (std::vector<int>{IDC_FRAME_PATH, IDC_BROWSE_FRAME, IDC_LOAD_FILE,
                                             IDC_SETTINGS_CLOSE, IDC_SETTINGS_TAB}))
        << "the Effect page's radio buttons have no tab stop until one is checked";
}

TEST_F(DialogNavigationTest, RadioButtonsCarryTheTabStopAndArrowsChooseInTheGroup) {
    ShowWindow(pages[0], SW_HIDE);
    ShowWindow(pages[1], SW_SHOW);
    SendMessageA(GetDlgItem(pages[1], IDC_EFFECT_MOSAIC), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(Style(1, IDC_EFFECT_MOSAIC) & WS_TABSTOP);
    SetFocus(GetDlgItem(settings, IDC_SETTINGS_TAB));
    EXPECT_EQ(Walk({}, 2), (std::vector<int>{IDC_EFFECT_MOSAIC, IDC_FRAME_PATH}));

    // The arrows go to the next button of the group and choose it; the group goes round.
    SetFocus(GetDlgItem(pages[1], IDC_EFFECT_MOSAIC));
    desktop.PressKeyWith(settings, {}, VK_DOWN);
    EXPECT_EQ(FocusId(), IDC_EFFECT_TV);
    EXPECT_EQ(log, std::vector<WPARAM>{MAKEWPARAM(IDC_EFFECT_TV, BN_CLICKED)});
    EXPECT_FALSE(Style(1, IDC_EFFECT_MOSAIC) & WS_TABSTOP) << "unchecked by the platform";
    EXPECT_TRUE(Style(1, IDC_EFFECT_TV) & WS_TABSTOP);
    SetFocus(GetDlgItem(pages[1], IDC_EFFECT_AGED_PHOTO));
    log.clear();
    desktop.PressKeyWith(settings, {}, VK_UP);
    EXPECT_EQ(FocusId(), IDC_NO_EFFECT);
    EXPECT_EQ(log, std::vector<WPARAM>{MAKEWPARAM(IDC_NO_EFFECT, BN_CLICKED)});

    // The Image Control page's radio buttons are groups of one: the arrows stay put.
    ShowWindow(pages[1], SW_HIDE);
    ShowWindow(pages[0], SW_SHOW);
    SetFocus(GetDlgItem(pages[0], IDC_OUTDOOR));
    log.clear();
    desktop.PressKeyWith(settings, {}, VK_RIGHT);
    EXPECT_EQ(FocusId(), IDC_OUTDOOR);
    EXPECT_TRUE(log.empty());

    // The space bar pushes the focused button and clicks it as it comes up.
    desktop.PressKeyWith(settings, {}, VK_SPACE);
    SetFocus(GetDlgItem(pages[0], IDC_MIRROR));
    desktop.PressKeyWith(settings, {}, VK_SPACE);
    EXPECT_EQ(log, (std::vector<WPARAM>{MAKEWPARAM(IDC_OUTDOOR, BN_CLICKED),
                                        MAKEWPARAM(IDC_MIRROR, BN_CLICKED)}));
    EXPECT_EQ(SendMessageA(GetDlgItem(pages[0], IDC_MIRROR), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(DialogNavigationTest, AltF4ClosesTheWindowFromAnyFocusAndEscCancelsTheTopDialog) {
    SetFocus(GetDlgItem(pages[0], IDC_BRIGHTNESS_SLIDER));
    desktop.PressKeyWith(settings, {}, VK_ESCAPE);
    desktop.PressKeyWith(settings, {}, VK_F4);
    desktop.PressKeyWith(settings, {VK_CONTROL}, VK_F4);
    EXPECT_EQ(log, std::vector<WPARAM>{MAKEWPARAM(IDCANCEL, BN_CLICKED)})
        << "Esc from a page's control cancels the dialog; F4 without Alt closes nothing";
    log.clear();
    desktop.PressKeyWith(settings, {VK_MENU}, VK_F4);
    EXPECT_EQ(log, std::vector<WPARAM>{MAKEWPARAM(IDCANCEL, BN_CLICKED)})
        << "the system dialog class answers SC_CLOSE's WM_CLOSE with IDCANCEL";
    EXPECT_EQ(GetKeyState(VK_MENU), 0);
}

}  // namespace
