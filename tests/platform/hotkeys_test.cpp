// The desktop's hotkey table as RegisterHotKey keeps it on Windows (and in Wine's server): one
// owner per combination, a window's keys only from its own thread, the same id replaced, keys
// posted as WM_HOTKEY, and gone with their window.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/sim/desktop.h"
#include "platform/win32.h"

namespace {

struct Heard {
    HWND hwnd;
    WPARAM wparam;
    LPARAM lparam;
    DWORD delivery;
    bool operator==(const Heard&) const = default;
};

std::vector<Heard>* heard = nullptr;

// WM_APP runs the function its lParam points at, on the window's own thread.
LRESULT CALLBACK KeyWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_HOTKEY) {
        heard->push_back(Heard{hwnd, wparam, lparam, InSendMessageEx(nullptr)});
        return 0;
    }
    if (message == WM_APP) {
        (*reinterpret_cast<const std::function<void()>*>(lparam))();
        return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

class HotkeysTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::Desktop desktop{machine};
    std::vector<Heard> log;

    void SetUp() override { heard = &log; }
    void TearDown() override { heard = nullptr; }

    // A program with two windows on its main thread, pumping until WM_QUIT; messages without a
    // window are logged too.
    sim::ProcessId StartProgram(HWND& first, HWND& second) {
        return desktop.Start([this, &first, &second] {
            first = machine.windows().Create(u"KeyWindow", u"First", WS_POPUP, 0, nullptr, 0,
                                             RECT{0, 0, 10, 10}, KeyWindowProc);
            second = machine.windows().Create(u"KeyWindow", u"Second", WS_POPUP, 0, nullptr, 0,
                                              RECT{0, 0, 10, 10}, KeyWindowProc);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0)) {
                if (!msg.hwnd && msg.message == WM_HOTKEY) {
                    heard->push_back(Heard{nullptr, msg.wParam, msg.lParam, ISMEX_NOSEND});
                }
                DispatchMessageA(&msg);
            }
        });
    }

    // Runs `call` on the window's thread and gives its answer with the last error.
    std::pair<BOOL, DWORD> On(HWND window, const std::function<BOOL()>& call) {
        std::pair<BOOL, DWORD> result{};
        const std::function<void()> run = [&] {
            SetLastError(0);
            result.first = call();
            result.second = GetLastError();
        };
        desktop.Send(window, WM_APP, 0, reinterpret_cast<LPARAM>(&run));
        return result;
    }
};

constexpr UINT kWinShift = MOD_WIN | MOD_SHIFT;
constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;
const std::pair<BOOL, DWORD> kDone{TRUE, 0};

TEST_F(HotkeysTest, OneOwnerPerKeyPostedToItsWindowAndGoneWithIt) {
    HWND first = nullptr;
    HWND second = nullptr;
    StartProgram(first, second);

    // The owner's own thread registers; MOD_NOREPEAT is no part of the combination.
    EXPECT_EQ(On(first, [&] { return RegisterHotKey(first, 7, kWinShift | MOD_NOREPEAT, 'O'); }),
              kDone);
    EXPECT_EQ(On(second, [&] { return RegisterHotKey(second, 8, kWinShift, 'O'); }),
              std::make_pair(FALSE, DWORD{ERROR_HOTKEY_ALREADY_REGISTERED}));
    EXPECT_EQ(desktop.TakeHotkey(kWinShift, 'O'), DWORD{ERROR_HOTKEY_ALREADY_REGISTERED});
    // Another thread may not register keys for the window, nor drop them.
    EXPECT_EQ(desktop.TakeHotkey(kCtrlAlt, VK_F9), DWORD{ERROR_SUCCESS});
    const HWND other = desktop.FindTopLevel(u"OtherProgramWindow", u"Another program");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(On(first, [&] { return RegisterHotKey(other, 1, MOD_ALT, 'P'); }),
              std::make_pair(FALSE, DWORD{ERROR_WINDOW_OF_OTHER_THREAD}));
    EXPECT_EQ(On(first, [&] { return UnregisterHotKey(other, 1); }),
              std::make_pair(FALSE, DWORD{ERROR_WINDOW_OF_OTHER_THREAD}));
    EXPECT_EQ(On(first, [&] { return RegisterHotKey(reinterpret_cast<HWND>(0x4321), 1, 0, 'P'); }),
              std::make_pair(FALSE, DWORD{ERROR_INVALID_WINDOW_HANDLE}));

    // Only the exact combination reaches the owner, posted, with the modifiers and the key.
    EXPECT_FALSE(desktop.PressKeyAnywhere(MOD_WIN, 'O'));
    EXPECT_FALSE(desktop.PressKeyAnywhere(kWinShift | MOD_CONTROL, 'O'));
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(desktop.PressKeyAnywhere(kWinShift, 'O'));
    EXPECT_EQ(log, (std::vector<Heard>{{first, 7, MAKELPARAM(kWinShift, 'O'), ISMEX_NOSEND}}));
    EXPECT_EQ(machine.windows().Find(first)->counts[WM_HOTKEY].dispatched, 1);
    log.clear();
    EXPECT_TRUE(desktop.PressKeyAnywhere(kCtrlAlt, VK_F9));  // the other program's: nothing here
    EXPECT_TRUE(log.empty());

    // The same id on the same window is replaced: the old combination is free again.
    EXPECT_EQ(On(first, [&] { return RegisterHotKey(first, 7, MOD_CONTROL, VK_F10); }), kDone);
    EXPECT_FALSE(desktop.PressKeyAnywhere(kWinShift, 'O'));
    EXPECT_TRUE(desktop.PressKeyAnywhere(MOD_CONTROL, VK_F10));
    EXPECT_EQ(log, (std::vector<Heard>{{first, 7, MAKELPARAM(MOD_CONTROL, VK_F10), ISMEX_NOSEND}}));
    log.clear();
    EXPECT_EQ(On(first, [&] { return UnregisterHotKey(first, 7); }), kDone);
    EXPECT_EQ(On(first, [&] { return UnregisterHotKey(first, 7); }),
              std::make_pair(FALSE, DWORD{ERROR_HOTKEY_NOT_REGISTERED}));

    // Injected faults: the call fails with the error asked for (by default, the key held by
    // another program) and the table is as it was.
    machine.faults().Fail("RegisterHotKey");
    EXPECT_EQ(On(first, [&] { return RegisterHotKey(first, 7, kWinShift, 'O'); }),
              std::make_pair(FALSE, DWORD{ERROR_HOTKEY_ALREADY_REGISTERED}));
    machine.faults().Fail("RegisterHotKey", 1, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(On(first, [&] { return RegisterHotKey(first, 7, kWinShift, 'O'); }),
              std::make_pair(FALSE, DWORD{ERROR_NOT_ENOUGH_MEMORY}));
    EXPECT_FALSE(desktop.PressKeyAnywhere(kWinShift, 'O'));
    EXPECT_EQ(On(first, [&] { return RegisterHotKey(first, 7, kWinShift, 'O'); }), kDone);
    machine.faults().Fail("UnregisterHotKey");
    EXPECT_EQ(On(first, [&] { return UnregisterHotKey(first, 7); }),
              std::make_pair(FALSE, DWORD{ERROR_HOTKEY_NOT_REGISTERED}));
    EXPECT_TRUE(desktop.PressKeyAnywhere(kWinShift, 'O'));
    EXPECT_EQ(machine.faults().Calls("RegisterHotKey"), 8);
    log.clear();

    // A key without a window is the thread's: its queue gets WM_HOTKEY without a window.
    EXPECT_EQ(On(first, [&] { return RegisterHotKey(nullptr, 3, MOD_ALT, VK_PAUSE); }), kDone);
    EXPECT_TRUE(desktop.PressKeyAnywhere(MOD_ALT, VK_PAUSE));
    EXPECT_EQ(log, (std::vector<Heard>{{nullptr, 3, MAKELPARAM(MOD_ALT, VK_PAUSE), ISMEX_NOSEND}}));

    // A destroyed window's keys go with it; the program's end takes its thread's keys.
    EXPECT_EQ(desktop.Hotkeys().size(), 3u);
    EXPECT_EQ(On(first, [&] { return DestroyWindow(first); }), kDone);
    EXPECT_EQ(desktop.Hotkeys().size(), 2u);
    EXPECT_EQ(desktop.TakeHotkey(kWinShift, 'O'), DWORD{ERROR_SUCCESS});
    On(second, [] {
        PostQuitMessage(0);
        return TRUE;
    });
    ASSERT_EQ(desktop.Hotkeys().size(), 2u);
    for (const sim::Hotkey& key : desktop.Hotkeys()) {
        EXPECT_EQ(key.window, other);
    }
}

}  // namespace
