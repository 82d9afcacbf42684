// Another process's token, as lumisetctl reads the running Lumiset's rights: the window's process,
// a handle to it for querying only, its token's elevation, and every handle counted and closed.
#include <gtest/gtest.h>

#include <optional>

#include "platform/sim/desktop.h"
#include "platform/win32.h"

namespace {

LRESULT CALLBACK QuietProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

class ProcessTokenTest : public ::testing::Test {
protected:
    // A program whose main thread makes one window and pumps messages until WM_QUIT.
    sim::ProcessId StartWithWindow() {
        return desktop.Start([this] {
            window = machine.windows().Create(u"TestWindow", u"Test", WS_POPUP, 0, nullptr, 0,
                                              RECT{0, 0, 10, 10}, QuietProc);
            thread = GetCurrentThreadId();
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0)) {
                DispatchMessageA(&msg);
            }
        });
    }

    // What another program reads of the window's process: its elevation, or the failing step.
    struct Read {
        std::optional<bool> elevated;
        const char* failed = nullptr;
        DWORD error = 0;
    };
    Read ReadElevation(HWND target, DWORD access = PROCESS_QUERY_LIMITED_INFORMATION) {
        Read read;
        desktop.Start([&] {
            DWORD process_id = 0;
            if (GetWindowThreadProcessId(target, &process_id) == 0) {
                read = {std::nullopt, "GetWindowThreadProcessId", GetLastError()};
                return;
            }
            const HANDLE process = OpenProcess(access, FALSE, process_id);
            if (!process) {
                read = {std::nullopt, "OpenProcess", GetLastError()};
                return;
            }
            HANDLE token = nullptr;
            if (!OpenProcessToken(process, TOKEN_QUERY, &token)) {
                read = {std::nullopt, "OpenProcessToken", GetLastError()};
                CloseHandle(process);
                return;
            }
            TOKEN_ELEVATION elevation{};
            DWORD size = 0;
            if (GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size)) {
                read.elevated = elevation.TokenIsElevated != 0;
            }
            CloseHandle(token);
            CloseHandle(process);
        });
        return read;
    }

    int HandlesOpen() {
        return machine.resources().Open(sim::kinds::kProcessHandle) +
               machine.resources().Open(sim::kinds::kTokenHandle) +
               machine.resources().Open(sim::kinds::kEventHandle);
    }

    sim::Machine machine;
    sim::Desktop desktop{machine};
    HWND window = nullptr;
    DWORD thread = 0;
};

TEST_F(ProcessTokenTest, AnotherProgramReadsTheWindowsProcessElevation) {
    const sim::ProcessId owner = StartWithWindow();
    DWORD process_id = 0;
    EXPECT_EQ(GetWindowThreadProcessId(window, &process_id), thread);
    EXPECT_EQ(process_id, owner);

    EXPECT_EQ(ReadElevation(window).elevated, true);
    machine.rights().administrator = false;
    EXPECT_EQ(ReadElevation(window).elevated, false);
    EXPECT_EQ(HandlesOpen(), 0) << "every handle is closed";

    // Only querying is granted; a window or a process that is gone gives nothing.
    const Read writing = ReadElevation(window, PROCESS_QUERY_LIMITED_INFORMATION | 0x0001);
    EXPECT_STREQ(writing.failed, "OpenProcess");
    EXPECT_EQ(writing.error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    const Read no_window = ReadElevation(reinterpret_cast<HWND>(0x7777));
    EXPECT_STREQ(no_window.failed, "GetWindowThreadProcessId");
    EXPECT_EQ(no_window.error, static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    machine.faults().Fail("OpenProcess");
    EXPECT_STREQ(ReadElevation(window).failed, "OpenProcess");

    desktop.Start([&] {
        EXPECT_EQ(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, owner + 100), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        // A handle of another kind is no process.
        HANDLE token = nullptr;
        const HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        EXPECT_FALSE(OpenProcessToken(event, TOKEN_QUERY, &token));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        CloseHandle(event);
    });
    EXPECT_EQ(HandlesOpen(), 0);
}

}  // namespace
