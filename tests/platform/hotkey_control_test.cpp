// The hotkey control (msctls_hotkey32) as comctl32 has it: the program sets and reads the key,
// which tells no one; a person's typing starts the key afresh, and every change of the key or of
// the modifiers held is told to the parent as EN_CHANGE.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sim/desktop.h"
#include "platform/win32.h"

namespace {

struct Command {
    WPARAM wparam;
    LPARAM lparam;
    bool operator==(const Command&) const = default;
};

std::vector<Command>* commands = nullptr;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COMMAND) {
        commands->push_back({wparam, lparam});
        return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

constexpr int kKeyId = 1201;

TEST(HotkeyControl, SetAndReadQuietlyTypedWithChangeNotifications) {
    sim::Machine machine;
    sim::Desktop desktop{machine};
    std::vector<Command> log;
    commands = &log;
    HWND parent = nullptr;
    HWND control = nullptr;
    desktop.Start([&] {
        parent = machine.windows().Create(u"KeysParent", u"Keys", WS_POPUP | WS_VISIBLE, 0, nullptr,
                                          0, RECT{0, 0, 300, 200}, ParentProc);
        control = machine.windows().Create(u"msctls_hotkey32", u"", WS_CHILD | WS_VISIBLE, 0,
                                           parent, kKeyId, RECT{10, 10, 110, 30}, nullptr);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0)) {
            DispatchMessageA(&msg);
        }
    });
    auto key = [&] { return desktop.Send(control, HKM_GETHOTKEY, 0, 0).value_or(-1); };
    const LPARAM from = reinterpret_cast<LPARAM>(control);
    const Command change{MAKEWPARAM(kKeyId, EN_CHANGE), from};

    // The program's own setting tells no one; the rules are taken.
    EXPECT_EQ(key(), 0);
    desktop.Send(control, HKM_SETHOTKEY, MAKEWORD(VK_F9, HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
    EXPECT_EQ(key(), MAKEWORD(VK_F9, HOTKEYF_CONTROL | HOTKEYF_ALT));
    EXPECT_EQ(desktop.Send(control, HKM_SETRULES, HKCOMB_NONE, HOTKEYF_CONTROL), 0);
    EXPECT_TRUE(log.empty());
    const auto shown = desktop.VisibleControls(parent);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, "hotkey");
    EXPECT_EQ(shown[0].hotkey, MAKEWORD(VK_F9, HOTKEYF_CONTROL | HOTKEYF_ALT));

    // Ctrl and Shift go down (each a change), K goes down (the key) and up (none), then Shift
    // and Ctrl come up (each a change).
    ASSERT_TRUE(desktop.TypeIntoHotkeyControl(control, MOD_CONTROL | MOD_SHIFT, 'K'));
    EXPECT_EQ(GetFocus(), nullptr);  // the test's own thread has none
    EXPECT_EQ(machine.windows().Focus(machine.windows().Find(control)->thread), control);
    EXPECT_EQ(log, std::vector<Command>(5, change));
    EXPECT_EQ(key(), MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
    log.clear();

    // With Alt held the keys are system keys, which the control takes alike.
    ASSERT_TRUE(desktop.TypeIntoHotkeyControl(control, MOD_ALT, VK_F10));
    EXPECT_EQ(key(), MAKEWORD(VK_F10, HOTKEYF_ALT));
    EXPECT_EQ(log.size(), 3u);
    EXPECT_EQ(machine.windows().Find(parent)->counts[WM_SYSKEYDOWN].dispatched, 0);
    log.clear();

    // The Win key cannot be held in the control; a disabled control takes no key.
    EXPECT_FALSE(desktop.TypeIntoHotkeyControl(control, MOD_WIN, 'O'));
    desktop.EnableWindow(control, false);
    EXPECT_FALSE(desktop.TypeIntoHotkeyControl(control, 0, 'P'));
    EXPECT_EQ(key(), MAKEWORD(VK_F10, HOTKEYF_ALT));
    desktop.EnableWindow(control, true);
    EXPECT_TRUE(log.empty());

    // Delete clears the key without telling the parent, as comctl32's control does.
    ASSERT_TRUE(desktop.PressKeyOn(control, VK_DELETE));
    EXPECT_EQ(key(), 0);
    EXPECT_TRUE(log.empty());
    commands = nullptr;
}

}  // namespace
