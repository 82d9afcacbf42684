// Window calls on windows of the test's own: names, state changes with the previous state as the
// answer, messages sent and posted, and what is left of a destroyed window.
#include <ostream>
#include <vector>

#include "tests/platform/calls/calls_test.h"

namespace calls {
namespace {

struct Logged {
    UINT message;
    WPARAM wparam;
    bool operator==(const Logged&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Logged& logged) {
    return out << "{0x" << std::hex << logged.message << ", " << std::dec << logged.wparam << "}";
}

std::vector<Logged>* message_log = nullptr;

LRESULT CALLBACK LoggingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SHOWWINDOW || message == WM_WINDOWPOSCHANGING ||
        message == WM_WINDOWPOSCHANGED || message == WM_ENABLE || message == WM_DESTROY ||
        message == WM_NCDESTROY || message >= WM_APP) {
        message_log->push_back(Logged{message, wparam});
    }
    if (message == WM_APP + 1) {
        return static_cast<LRESULT>(wparam * 2);
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

class WindowCalls : public CallsTest {
protected:
    std::vector<Logged> log;

    WindowCalls() { message_log = &log; }
    ~WindowCalls() override { message_log = nullptr; }
};

TEST_F(WindowCalls, FindWindowAndTextsMatchWholeNamesIgnoringCase) {
    RunProgram([this] {
        const HWND window = CreateTestWindow("Calls Test", WS_POPUP, nullptr, 0, LoggingProc);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(FindWindowA("lumisetcallstest", "CALLS TEST"), window);
        EXPECT_EQ(FindWindowA(kTestClass, nullptr), window);
        EXPECT_EQ(FindWindowA(kTestClass, "Calls"), nullptr);
        EXPECT_EQ(FindWindowA("#32770", "Calls Test"), nullptr);

        char text[5] = {};
        EXPECT_EQ(GetWindowTextA(window, text, sizeof text), 4) << "cut to the buffer";
        EXPECT_STREQ(text, "Call");
        EXPECT_EQ(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0), 10);
        EXPECT_TRUE(SetWindowTextA(window, "Renamed"));
        EXPECT_EQ(FindWindowA(kTestClass, "renamed"), window);
        EXPECT_EQ(SendMessageA(window, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(text)), 3);
        EXPECT_STREQ(text, "Ren");
        EXPECT_TRUE(DestroyWindow(window));
    });
}

TEST_F(WindowCalls, ShowAndEnableAnswerThePreviousState) {
    RunProgram([this] {
        const HWND window = CreateTestWindow("Calls Test", WS_POPUP, nullptr, 0, LoggingProc);
        ASSERT_NE(window, nullptr);
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_FALSE(ShowWindow(window, SW_SHOWNA)) << "it was hidden";
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_EQ(log,
                  (std::vector<Logged>{
                      {WM_SHOWWINDOW, TRUE}, {WM_WINDOWPOSCHANGING, 0}, {WM_WINDOWPOSCHANGED, 0}}));
        log.clear();
        // SW_SHOW, as the program shows its windows (SW_SHOWNA would tell a visible window again).
        EXPECT_TRUE(ShowWindow(window, SW_SHOW)) << "it was visible";
        EXPECT_EQ(log, std::vector<Logged>{}) << "showing a visible window changes nothing";
        EXPECT_TRUE(ShowWindow(window, SW_HIDE));
        EXPECT_FALSE(IsWindowVisible(window));

        log.clear();
        EXPECT_TRUE(IsWindowEnabled(window));
        EXPECT_FALSE(EnableWindow(window, FALSE)) << "it was enabled";
        EXPECT_FALSE(IsWindowEnabled(window));
        EXPECT_TRUE(EnableWindow(window, FALSE)) << "it was disabled";
        EXPECT_TRUE(EnableWindow(window, TRUE));
        EXPECT_EQ(log, (std::vector<Logged>{{WM_ENABLE, FALSE}, {WM_ENABLE, TRUE}}));
        EXPECT_TRUE(DestroyWindow(window));
    });
}

TEST_F(WindowCalls, SentMessagesAnswerPostedOnesQueueInOrder) {
    RunProgram([this] {
        const HWND window = CreateTestWindow("Calls Test", WS_POPUP, nullptr, 0, LoggingProc);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(SendMessageA(window, WM_APP + 1, 21, 0), 42);
        EXPECT_EQ(log, (std::vector<Logged>{{WM_APP + 1, 21}}));

        log.clear();
        EXPECT_TRUE(PostMessageA(window, WM_APP + 2, 1, 0));
        EXPECT_TRUE(PostMessageA(window, WM_APP + 3, 2, 0));
        EXPECT_TRUE(PostMessageA(nullptr, WM_APP + 4, 3, 0)) << "to the thread";
        EXPECT_TRUE(log.empty()) << "posting waits for the loop";
        MSG msg{};
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_APP + 3, WM_APP + 3, PM_NOREMOVE));
        EXPECT_EQ(msg.hwnd, window);
        EXPECT_EQ(msg.wParam, 2u);
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_APP + 2, WM_APP + 4, PM_REMOVE));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP + 2));
        EXPECT_EQ(DispatchMessageA(&msg), 0);
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_APP, WM_APP + 10, PM_REMOVE));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP + 3));
        DispatchMessageA(&msg);
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_APP, WM_APP + 10, PM_REMOVE));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP + 4));
        EXPECT_EQ(msg.hwnd, nullptr);
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_APP, WM_APP + 10, PM_REMOVE));
        EXPECT_EQ(log, (std::vector<Logged>{{WM_APP + 2, 1}, {WM_APP + 3, 2}}));

        PostQuitMessage(3);
        EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
        EXPECT_EQ(msg.wParam, 3u);
        EXPECT_TRUE(DestroyWindow(window));
    });

    const UINT message = RegisterWindowMessageA("LumisetCallsTest");
    EXPECT_GE(message, 0xC000u);
    EXPECT_EQ(RegisterWindowMessageA("LUMISETCALLSTEST"), message);
    EXPECT_NE(RegisterWindowMessageA("LumisetCallsTest2"), message);
}

TEST_F(WindowCalls, LongsParentsOwnersAndChildren) {
    RunProgram([this] {
        const HWND window =
            CreateTestWindow("Calls Test", WS_POPUP | WS_CAPTION, nullptr, 0, LoggingProc);
        const HWND child = CreateTestWindow("Child", WS_CHILD, window, 7, nullptr);
        const HWND owned = CreateTestWindow("Owned", WS_POPUP, window, 0, nullptr);
        ASSERT_NE(child, nullptr);
        ASSERT_NE(owned, nullptr);

        EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_CHILD),
                  WS_POPUP | WS_CAPTION);
        EXPECT_EQ(SetWindowLongPtrA(window, GWLP_USERDATA, 1234), 0);
        EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 1234);
        SetLastError(0);
        EXPECT_EQ(GetWindowLongPtrA(window, 1000), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));

        EXPECT_EQ(GetDlgCtrlID(child), 7);
        EXPECT_EQ(GetWindowLongPtrA(child, GWLP_ID), 7);
        EXPECT_EQ(GetParent(child), window);
        EXPECT_EQ(GetWindow(window, GW_CHILD), child);
        EXPECT_EQ(GetParent(owned), window) << "a popup's parent is its owner";
        EXPECT_EQ(GetWindow(owned, GW_OWNER), window);
        EXPECT_EQ(GetWindow(child, GW_OWNER), nullptr);
        EXPECT_EQ(GetParent(window), nullptr);

        // Destroying a window destroys its children and the windows it owns.
        EXPECT_TRUE(DestroyWindow(window));
        EXPECT_FALSE(IsWindow(child));
        EXPECT_FALSE(IsWindow(owned));
    });
}

TEST_F(WindowCalls, DestroyedWindowIsGoneForEveryCall) {
    RunProgram([this] {
        const HWND window = CreateTestWindow("Calls Test", WS_POPUP, nullptr, 0, LoggingProc);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(DestroyWindow(window));
        EXPECT_EQ(log, (std::vector<Logged>{{WM_DESTROY, 0}, {WM_NCDESTROY, 0}}));
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(FindWindowA(kTestClass, "Calls Test"), nullptr);

        // Each call fails, and says why.
        auto error_of = [](auto call) {
            SetLastError(0);
            return call() ? DWORD{0xFFFFFFFF} : GetLastError();
        };
        const DWORD invalid = ERROR_INVALID_WINDOW_HANDLE;
        EXPECT_EQ(error_of([&] { return PostMessageA(window, WM_APP, 0, 0); }), invalid);
        EXPECT_EQ(error_of([&] { return SetWindowTextA(window, "x"); }), invalid);
        EXPECT_EQ(error_of([&] { return ShowWindow(window, SW_SHOW); }), invalid);
        EXPECT_EQ(error_of([&] { return GetParent(window) != nullptr; }), invalid);
        // These fail too; the reason they give is not documented.
        EXPECT_FALSE(DestroyWindow(window));
        EXPECT_EQ(GetDlgItem(window, 1), nullptr);
        EXPECT_EQ(SendMessageA(window, WM_APP + 1, 21, 0), 0);
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_FALSE(IsWindowEnabled(window));
        char text[8] = "x";
        EXPECT_EQ(GetWindowTextA(window, text, sizeof text), 0);
        EXPECT_STREQ(text, "");
    });
}

}  // namespace
}  // namespace calls
