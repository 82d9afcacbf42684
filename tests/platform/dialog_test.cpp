// Dialogs from the program's compiled templates: creation order of messages, the visible
// style, the dialog manager's keyboard handling and default processing.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sim/desktop.h"
#include "platform/win32.h"
#include "res/resource_bytes.h"

namespace {

std::vector<UINT>* dialog_log = nullptr;
bool hide_on_show = false;

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
            if (hide_on_show) {
                reinterpret_cast<WINDOWPOS*>(lparam)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
            }
            return TRUE;
        case WM_COMMAND:
            dialog_log->push_back(static_cast<UINT>(0x10000 + LOWORD(wparam)));
            return TRUE;
        default:
            return FALSE;
    }
}

class DialogTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::Desktop desktop{machine};
    std::vector<UINT> log;
    HWND dialog = nullptr;

    void SetUp() override {
        dialog_log = &log;
        hide_on_show = false;
        ASSERT_TRUE(machine.program().LoadResources(LumisetResourceBytes()));
    }
    void TearDown() override { dialog_log = nullptr; }

    void Run(WORD template_id) {
        desktop.Start([this, template_id] {
            dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(template_id),
                                        nullptr, LoggingDialogProc, 0);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0)) {
                if (!IsDialogMessageA(dialog, &msg)) {
                    DispatchMessageA(&msg);
                }
            }
        });
    }
};

TEST_F(DialogTest, VisibleTemplateIsShownAfterInitDialog) {
    Run(102);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(log, (std::vector<UINT>{WM_INITDIALOG, WM_SHOWWINDOW, WM_WINDOWPOSCHANGING}));
    EXPECT_TRUE(IsWindowVisible(dialog));
    char title[32] = {};
    GetWindowTextA(dialog, title, sizeof title);
    EXPECT_STREQ(title, "Property");
    EXPECT_EQ(FindWindowA("#32770", "Property"), dialog);
    // The four controls of the template, with their ids.
    for (int id : {1000, 1001, 1002, 1086}) {
        EXPECT_NE(GetDlgItem(dialog, id), nullptr) << id;
    }
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1086)));
    EXPECT_EQ(GetDlgCtrlID(GetDlgItem(dialog, 1002)), 1002);
}

TEST_F(DialogTest, ClearedShowFlagKeepsDialogHidden) {
    hide_on_show = true;
    Run(102);
    EXPECT_FALSE(IsWindowVisible(dialog));
}

TEST_F(DialogTest, KeysAndCloseBecomeCommands) {
    Run(100);
    log.clear();
    desktop.PressKey(dialog, VK_ESCAPE);
    desktop.PressKey(dialog, VK_RETURN);
    desktop.Send(dialog, WM_CLOSE, 0, 0);
    // Esc is IDCANCEL, Enter the default button (IDOK here), and the default WM_CLOSE posts
    // IDCANCEL.
    EXPECT_EQ(
        log, (std::vector<UINT>{0x10000 + IDCANCEL, 0x10000 + IDOK, WM_CLOSE, 0x10000 + IDCANCEL}));
}

TEST_F(DialogTest, ButtonClickNotifiesParentUnlessDisabled) {
    Run(102);
    log.clear();
    desktop.ClickButton(GetDlgItem(dialog, 1000));
    desktop.ClickButton(GetDlgItem(dialog, 1086));
    EXPECT_EQ(log, std::vector<UINT>{0x10000 + 1000});
}

TEST_F(DialogTest, LanguageChoosesTheResourceCopy) {
    machine.locale().ui_language = 2052;
    machine.locale().ansi_code_page = 936;
    Run(100);
    char title[32] = {};
    GetWindowTextA(dialog, title, sizeof title);
    EXPECT_STREQ(title, "\xB9\xD8\xD3\xDA Lumiset");  // 关于 in code page 936
    char text[16] = {};
    EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), 2, text, sizeof text), 4);
    EXPECT_STREQ(text, "\xCA\xF4\xD0\xD4");  // 属性
    EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), 101, text, sizeof text), 0);
    EXPECT_STREQ(text, "");
}

}  // namespace
