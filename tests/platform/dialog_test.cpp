// Dialogs from the program's compiled templates as a person works them: the dialog manager's
// keys, button clicks, and the language's copy of a template. The calls themselves are checked
// on both builds in calls/dialog_calls_test.cpp.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sim/desktop.h"
#include "platform/win32.h"
#include "res/resource_bytes.h"

namespace {

std::vector<UINT>* dialog_log = nullptr;

INT_PTR CALLBACK LoggingDialogProc(HWND /*hwnd*/, UINT message, WPARAM wparam, LPARAM /*lparam*/) {
    switch (message) {
        case WM_INITDIALOG:
        case WM_SHOWWINDOW:
        case WM_CLOSE:
        case WM_DESTROY:
            dialog_log->push_back(message);
            return message == WM_INITDIALOG ? TRUE : FALSE;
        case WM_WINDOWPOSCHANGING:
            dialog_log->push_back(message);
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
