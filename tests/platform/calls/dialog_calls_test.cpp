// Dialogs made from Lumiset's compiled templates: the order of the first messages, the show a
// dialog procedure can refuse, the controls found by id, and the dialog manager's keys.
#include <vector>

#include "res/resource.h"
#include "tests/platform/calls/calls_test.h"

namespace calls {
namespace {

constexpr UINT kCommand = 0x10000;  // logged as kCommand + the command's id

std::vector<UINT>* dialog_log = nullptr;
bool refuse_show = false;

INT_PTR CALLBACK LoggingDialogProc(HWND /*hwnd*/, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
        case WM_SHOWWINDOW:
        case WM_CLOSE:
        case WM_DESTROY:
            dialog_log->push_back(message);
            return message == WM_INITDIALOG ? TRUE : FALSE;
        case WM_WINDOWPOSCHANGING:
            dialog_log->push_back(message);
            if (refuse_show) {
                reinterpret_cast<WINDOWPOS*>(lparam)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
            }
            return TRUE;
        case WM_COMMAND:
            dialog_log->push_back(kCommand + LOWORD(wparam));
            return TRUE;
        default:
            return FALSE;
    }
}

class DialogCalls : public CallsTest {
protected:
    std::vector<UINT> log;

    DialogCalls() {
        dialog_log = &log;
        refuse_show = false;
    }
    ~DialogCalls() override { dialog_log = nullptr; }

    static HWND Create(WORD template_id) {
        return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(template_id), nullptr,
                                  LoggingDialogProc, 0);
    }

    // The dialog's loop, until its queue is empty.
    static void Pump(HWND dialog) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageA(dialog, &msg)) {
                DispatchMessageA(&msg);
            }
        }
    }
};

TEST_F(DialogCalls, VisibleTemplateIsShownAfterInitDialogWithItsControls) {
    RunProgram([this] {
        const HWND dialog = Create(IDD_PROPERTY_HOST);
        ASSERT_NE(dialog, nullptr);
        ASSERT_GE(log.size(), 3u);
        EXPECT_EQ(std::vector<UINT>(log.begin(), log.begin() + 3),
                  (std::vector<UINT>{WM_INITDIALOG, WM_SHOWWINDOW, WM_WINDOWPOSCHANGING}));
        EXPECT_TRUE(IsWindowVisible(dialog));
        char title[32] = {};
        EXPECT_EQ(GetWindowTextA(dialog, title, sizeof title), 8);
        EXPECT_STREQ(title, "Property");
        EXPECT_EQ(FindWindowA("#32770", "Property"), dialog);

        for (int id : {IDC_HOST_CANCEL, IDC_HOST_OK, IDC_HOST_TAB, IDC_HOST_APPLY}) {
            const HWND item = GetDlgItem(dialog, id);
            EXPECT_NE(item, nullptr) << id;
            EXPECT_EQ(GetDlgCtrlID(item), id);
            EXPECT_EQ(GetParent(item), dialog);
        }
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_HOST_APPLY)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_HOST_OK)));
        EXPECT_EQ(GetDlgItem(dialog, 4242), nullptr);

        // A visible window is hidden before it is destroyed.
        log.clear();
        EXPECT_TRUE(DestroyWindow(dialog));
        EXPECT_EQ(log, (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_DESTROY}));
        EXPECT_FALSE(IsWindow(dialog));
    });
}

TEST_F(DialogCalls, ShowRefusedInWindowPosChangingKeepsTheDialogHidden) {
    refuse_show = true;
    RunProgram([] {
        const HWND dialog = Create(IDD_PROPERTY_HOST);
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(IsWindowVisible(dialog));
        EXPECT_FALSE(GetWindowLongPtrA(dialog, GWL_STYLE) & WS_VISIBLE);
        EXPECT_EQ(FindWindowA("#32770", "Property"), dialog) << "hidden, it is still found";
        EXPECT_TRUE(DestroyWindow(dialog));
    });
}

TEST_F(DialogCalls, MissingTemplateMakesNoDialog) {
    RunProgram([] {
        SetLastError(0);
        EXPECT_EQ(Create(4242), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    });
}

TEST_F(DialogCalls, DialogManagerTurnsKeysAndCloseIntoCommands) {
    RunProgram([this] {
        const HWND dialog = Create(IDD_ABOUT);
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(IsWindowVisible(dialog)) << "the template is not visible";
        log.clear();
        for (UINT key : {VK_ESCAPE, VK_RETURN}) {
            MSG msg{dialog, WM_KEYDOWN, key, 0, 0, {}};
            EXPECT_TRUE(IsDialogMessageA(dialog, &msg));
        }
        // Esc is IDCANCEL, Enter the default button (IDOK here), and the default WM_CLOSE posts
        // IDCANCEL.
        EXPECT_EQ(log, (std::vector<UINT>{kCommand + IDCANCEL, kCommand + IDOK}));
        SendMessageA(dialog, WM_CLOSE, 0, 0);
        Pump(dialog);
        EXPECT_EQ(log, (std::vector<UINT>{kCommand + IDCANCEL, kCommand + IDOK, WM_CLOSE,
                                          kCommand + IDCANCEL}));

        MSG other{dialog, WM_APP, 0, 0, 0, {}};
        EXPECT_TRUE(IsDialogMessageA(dialog, &other)) << "the dialog's own messages are handled";
        EXPECT_TRUE(DestroyWindow(dialog));
    });
}

// The settings window's arrangement: a page that is a control of the window (DS_CONTROL) and
// holds controls (WS_EX_CONTROLPARENT) on top of the z-order, the tab control at its bottom. Tab
// from inside the page goes round the whole window in z-order.
TEST_F(DialogCalls, TabGoesRoundTheWindowThroughItsPageInZOrder) {
    RunProgram([] {
        const HWND settings = Create(IDD_SETTINGS);
        ASSERT_NE(settings, nullptr);
        const HWND page =
            CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_IMAGE_CONTROL),
                               settings, LoggingDialogProc, 0);
        ASSERT_NE(page, nullptr);
        SetWindowLongPtrA(page, GWL_STYLE, GetWindowLongPtrA(page, GWL_STYLE) | DS_CONTROL);
        SetWindowLongPtrA(page, GWL_EXSTYLE,
                          GetWindowLongPtrA(page, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
        const HWND tab = GetDlgItem(settings, IDC_SETTINGS_TAB);
        const HWND close = GetDlgItem(settings, IDC_SETTINGS_CLOSE);
        SetWindowPos(tab, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowPos(page, HWND_TOP, 0, 30, 400, 500, SWP_NOACTIVATE);
        ShowWindow(page, SW_SHOW);
        ShowWindow(settings, SW_SHOW);
        EXPECT_EQ(GetWindow(settings, GW_CHILD), page);
        EXPECT_EQ(GetWindow(page, GW_HWNDNEXT), close);
        EXPECT_EQ(GetWindow(tab, GW_HWNDPREV), close);
        EXPECT_EQ(GetWindow(tab, GW_HWNDNEXT), nullptr);

        SetFocus(GetDlgItem(page, IDC_BW_MODE));
        std::vector<HWND> focus;
        for (int step = 0; step < 4; ++step) {
            // As the program's loop asks: the innermost dialog first.
            MSG msg{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
            EXPECT_TRUE(IsDialogMessageA(IsChild(page, msg.hwnd) ? page : settings, &msg));
            focus.push_back(GetFocus());
        }
        EXPECT_EQ(focus, (std::vector<HWND>{close, tab, GetDlgItem(page, IDC_MIRROR),
                                            GetDlgItem(page, IDC_FLIP)}));

        // A radio button's tab stop follows its check mark.
        const HWND outdoor = GetDlgItem(page, IDC_OUTDOOR);
        SendMessageA(outdoor, BM_SETCHECK, BST_UNCHECKED, 0);
        EXPECT_FALSE(GetWindowLongPtrA(outdoor, GWL_STYLE) & WS_TABSTOP);
        SendMessageA(outdoor, BM_SETCHECK, BST_CHECKED, 0);
        EXPECT_TRUE(GetWindowLongPtrA(outdoor, GWL_STYLE) & WS_TABSTOP);
        EXPECT_TRUE(DestroyWindow(settings));
    });
}

TEST_F(DialogCalls, AltF4OnAControlClosesItsTopLevelWindow) {
    RunProgram([this] {
        const HWND dialog = Create(IDD_ABOUT);
        ASSERT_NE(dialog, nullptr);
        log.clear();
        SendMessageA(GetDlgItem(dialog, IDOK), WM_SYSKEYDOWN, VK_F4,
                     static_cast<LPARAM>(KF_ALTDOWN) << 16);
        SendMessageA(GetDlgItem(dialog, IDOK), WM_SYSKEYDOWN, VK_F4, 0);  // F4 without Alt
        EXPECT_TRUE(log.empty()) << "the close is posted";
        Pump(dialog);
        EXPECT_EQ(log, (std::vector<UINT>{WM_CLOSE, kCommand + IDCANCEL}));
        EXPECT_TRUE(DestroyWindow(dialog));
    });
}

}  // namespace
}  // namespace calls
