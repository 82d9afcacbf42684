// What makes the console easier for a new user: `choose` in any case and without the mnemonic's
// &, and `show labels` finding each control's label where a person finds it, in any window.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/win32.h"
#include "tests/console/stand_in_host.h"
#include "tools/lumiset-sim/console.h"

namespace {

LRESULT CALLBACK Plain(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

// The stand-in host's procedure has no context of its own.
struct MenuHostState {
    sim::Menus* menus = nullptr;
    UINT chosen = 0;  // what the menu returned
};
MenuHostState menu_host;

// WM_COMMAND 1 opens a menu whose texts have mnemonic marks, one of them grayed.
LRESULT CALLBACK MenuHost(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COMMAND && LOWORD(wparam) == 1) {
        sim::Menus& menus = *menu_host.menus;
        const HMENU menu = menus.CreatePopup();
        menus.Append(menu, MF_STRING, 10, u"&Settings");
        menus.Append(menu, MF_STRING, 11, u"Save && E&xit");
        menus.Append(menu, MF_STRING | MF_GRAYED, 12, u"&Gone");
        menus.Append(menu, MF_STRING, 13, u"settings");
        menu_host.chosen = static_cast<UINT>(
            TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 0, 0, 0, hwnd, nullptr));
        menus.Destroy(menu);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

TEST(FriendlyConsole, ChooseIgnoresCaseAndMnemonicMarks) {
    sim::Machine machine;
    menu_host.menus = &machine.menus();
    StandInHostConsole console(machine, MenuHost);
    const auto choose = [&console](const std::string& text) {
        menu_host.chosen = 0;
        EXPECT_EQ(console.Run("command 1"), "");
        const std::string said = console.Run("choose " + text);
        if (menu_host.chosen == 0) {
            console.Run("dismiss");
        }
        return said.empty() ? menu_host.chosen : 0u;
    };
    EXPECT_EQ(choose("&Settings"), 10u);  // the text as stored, as before
    EXPECT_EQ(choose("settings"), 13u);   // an exact text still wins over a like one
    EXPECT_EQ(choose("SETTINGS &"), 0u);
    EXPECT_EQ(choose("save & exit"), 11u);
    EXPECT_EQ(choose("SAVE && EXIT"), 0u);  // "&&" is an ampersand shown, not typed twice
    EXPECT_EQ(choose("gone"), 0u);          // grayed: no choice, the same error as before
    console.Run("command 1");
    EXPECT_EQ(console.Run("choose gone"), "error: the open menu has no item \"gone\" to choose\n");
}

// A window laid out as no Lumiset window is: two texts left of a trackbar on its row (the
// nearer one is its label), one on the row above, texts over and under a vertical trackbar, a
// hidden page's text on the row of a number box, and a lone icon button.
void LaidOutWindow(sim::WindowManager& windows) {
    const HWND window = windows.Create(u"TestWindow", u"Laid out", WS_POPUP | WS_CAPTION, 0,
                                       nullptr, 0, RECT{0, 0, 400, 300}, Plain);
    const auto child = [&windows, window](const char16_t* cls, const char16_t* text, DWORD style,
                                          RECT rect, int id, HWND parent = nullptr) {
        return windows.Create(cls, text, WS_CHILD | WS_VISIBLE | style, 0, parent ? parent : window,
                              id, rect, Plain);
    };
    child(u"Static", u"Above", 0, {10, 0, 70, 12}, -1);
    child(u"Static", u"Far", 0, {10, 22, 50, 34}, -1);
    child(u"Static", u"Near", 0, {60, 22, 100, 34}, -1);
    child(u"msctls_trackbar32", u"", 0, {110, 20, 230, 40}, 101);
    child(u"Static", u"Up end", 0, {250, 40, 310, 52}, -1);
    child(u"msctls_trackbar32", u"", TBS_VERT, {270, 55, 290, 135}, 102);
    child(u"Static", u"Down end", 0, {250, 140, 310, 152}, -1);
    // A hidden page: its text is no label, though on the number box's row.
    const HWND page =
        windows.Create(u"#32770", u"", WS_CHILD, 0, window, 0, {0, 150, 200, 190}, Plain);
    child(u"Static", u"Hidden", 0, {10, 5, 50, 17}, -1, page);
    child(u"Edit", u"7", 0, {110, 152, 150, 168}, 103);
    child(u"Button", u"", BS_ICON, {10, 200, 30, 220}, 104);
    child(u"Button", u"Go", BS_PUSHBUTTON, {50, 200, 90, 220}, 105);
    ShowWindow(window, SW_SHOW);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        DispatchMessageA(&msg);
    }
}

TEST(FriendlyConsole, ShowLabelsFindsTheTextBesideEachControl) {
    sim::Machine machine;
    std::ostringstream out;
    console::Console console(
        machine, [&machine] { LaidOutWindow(machine.windows()); }, out);
    console.StartLumiset();
    ASSERT_TRUE(console.Execute("show labels"));
    EXPECT_EQ(out.str(),
              "101 trackbar 0..100 0 enabled \"Near\"\n"
              "102 trackbar 0..100 0 enabled \"Up end / Down end\"\n"
              "103 edit \"7\"\n"
              "104 iconbutton enabled\n"
              "105 button \"Go\" enabled\n");
    out.str("");
    ASSERT_TRUE(console.Execute("show"));
    EXPECT_EQ(out.str().find('"' + std::string("Near")), std::string::npos);
    EXPECT_FALSE(console.Execute("show label"));
}

}  // namespace
