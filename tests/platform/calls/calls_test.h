// Checks of the Windows calls the program makes, written once for both builds: they run on the
// simulated machine (in platform_tests) and, built by the windows preset as
// platform_calls_tests.exe, on Windows itself or Wine. Each check uses only the names of
// platform/win32.h; what it needs beyond the program's own calls (a window of its own class,
// another program's registry changes) comes from the build's fixture file.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/win32.h"

namespace calls {

// Every registry check works below this key of HKEY_CURRENT_USER, which is gone before and after
// each check.
inline constexpr const char* kScratchKey = "Software\\Lumiset Calls Test";
// The window class of CreateTestWindow.
inline constexpr const char* kTestClass = "LumisetCallsTest";

class CallsTest : public ::testing::Test {
protected:
    CallsTest();
    ~CallsTest() override;

    // Runs `body` as a program's UI thread, with Lumiset's resources in the program's module
    // (GetModuleHandleA(nullptr)): on the simulated machine a program of its own, on Windows the
    // test's own thread. The body destroys the windows it makes.
    void RunProgram(const std::function<void()>& body);

    // A window of kTestClass whose messages go to `proc`; from inside RunProgram.
    HWND CreateTestWindow(const char* title, DWORD style, HWND parent, int id, WNDPROC proc);

    // Another program deletes a key below kScratchKey (with what is below it), or a value of one.
    void DeleteScratchKey(const char* path);
    void DeleteScratchValue(const char* path, const char* name);

private:
    struct Host;
    std::unique_ptr<Host> host_;
};

// True when the checks run under Wine rather than on Windows or the simulated machine.
bool UnderWine();

// Where Wine answers otherwise than Windows is documented to: under Wine the answer may be
// Windows' or Wine's, and Wine's is reported by the check's name with `reason`; elsewhere only
// Windows' answer passes.
void ExpectWindowsAnswer(long long actual, long long windows, long long wine,
                         const char* expression, const char* reason, const char* file, int line);

}  // namespace calls

#define EXPECT_WINDOWS_ANSWER(actual, windows, wine, reason)                                      \
    ::calls::ExpectWindowsAnswer(static_cast<long long>(actual), static_cast<long long>(windows), \
                                 static_cast<long long>(wine), #actual, reason, __FILE__,         \
                                 __LINE__)
