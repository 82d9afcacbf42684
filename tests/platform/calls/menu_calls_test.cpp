// Menus from Lumiset's template and the system menu: counts, submenus, items added, and the
// handles of destroyed menus.
#include "res/resource.h"
#include "tests/platform/calls/calls_test.h"

namespace calls {
namespace {

using MenuCalls = CallsTest;

TEST_F(MenuCalls, TemplateMenuItsPopupAndAddedItems) {
    RunProgram([] {
        const HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU));
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(GetMenuItemCount(menu), 1);
        const HMENU popup = GetSubMenu(menu, 0);
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(GetMenuItemCount(popup), 7) << "five items and two separators";
        EXPECT_EQ(GetSubMenu(popup, 0), nullptr) << "a plain item";
        EXPECT_EQ(GetSubMenu(menu, 1), nullptr);
        EXPECT_EQ(GetSubMenu(menu, -1), nullptr);

        EXPECT_TRUE(AppendMenuA(popup, MF_STRING, 42, "Item"));
        EXPECT_TRUE(AppendMenuA(popup, MF_SEPARATOR, 0, nullptr));
        EXPECT_EQ(GetMenuItemCount(popup), 9);
        EXPECT_TRUE(SetMenuItemBitmaps(popup, 0, MF_BYPOSITION, nullptr, nullptr));
        EXPECT_TRUE(SetMenuItemBitmaps(popup, 42, MF_BYCOMMAND, nullptr, nullptr));
        EXPECT_FALSE(SetMenuItemBitmaps(popup, 20, MF_BYPOSITION, nullptr, nullptr));

        // Destroying the menu destroys its popup with it.
        EXPECT_TRUE(DestroyMenu(menu));
        EXPECT_EQ(GetMenuItemCount(popup), -1);
        EXPECT_EQ(GetMenuItemCount(menu), -1);
        // Windows checks every menu handle and says ERROR_INVALID_MENU_HANDLE.
        SetLastError(0);
        EXPECT_FALSE(DestroyMenu(menu));
        EXPECT_WINDOWS_ANSWER(GetLastError(), ERROR_INVALID_MENU_HANDLE, 0,
                              "Wine's DestroyMenu fails on a destroyed menu without an error");
        SetLastError(0);
        EXPECT_FALSE(AppendMenuA(popup, MF_STRING, 43, "Late"));
        EXPECT_WINDOWS_ANSWER(GetLastError(), ERROR_INVALID_MENU_HANDLE, 0,
                              "Wine's AppendMenuA fails on a destroyed menu without an error");
    });
}

TEST_F(MenuCalls, MissingTemplateAndSystemMenu) {
    RunProgram([this] {
        SetLastError(0);
        EXPECT_EQ(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(4242)), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));

        const HWND window =
            CreateTestWindow("Calls Test", WS_POPUP | WS_CAPTION | WS_SYSMENU, nullptr, 0, nullptr);
        ASSERT_NE(window, nullptr);
        const HMENU system = GetSystemMenu(window, FALSE);
        ASSERT_NE(system, nullptr);
        EXPECT_GT(GetMenuItemCount(system), 0);
        EXPECT_EQ(GetSystemMenu(window, FALSE), system) << "the window keeps its copy";
        EXPECT_TRUE(AppendMenuA(system, MF_SEPARATOR, 0, nullptr));
        EXPECT_TRUE(DestroyWindow(window));
    });
}

}  // namespace
}  // namespace calls
