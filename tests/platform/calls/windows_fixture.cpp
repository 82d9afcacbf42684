// The checks' fixture on Windows (or Wine): the test's own thread is the program, Lumiset's
// resources are linked into the executable, and the scratch registry key is cleared around each
// check.
#include <string>

#include "tests/platform/calls/calls_test.h"

namespace calls {
namespace {

std::string ScratchPath(const char* path) {
    return std::string(kScratchKey) + "\\" + path;
}

void ClearScratchKey() {
    // With a subkey named, RegDeleteTreeA deletes that key too.
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratchKey);
}

}  // namespace

struct CallsTest::Host {};

CallsTest::CallsTest() {
    ClearScratchKey();
    static const bool registered = [] {
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = DefWindowProcA;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.lpszClassName = kTestClass;
        return RegisterClassA(&window_class) != 0;
    }();
    EXPECT_TRUE(registered);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    EXPECT_TRUE(InitCommonControlsEx(&controls));
}

CallsTest::~CallsTest() {
    ClearScratchKey();
}

void CallsTest::RunProgram(const std::function<void()>& body) {
    body();
    // Nothing a check left in the queue reaches the next one.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

HWND CallsTest::CreateTestWindow(const char* title, DWORD style, HWND parent, int id,
                                 WNDPROC proc) {
    const HMENU menu_or_id =
        (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
    const HWND hwnd = CreateWindowExA(0, kTestClass, title, style, 0, 0, 300, 200, parent,
                                      menu_or_id, GetModuleHandleA(nullptr), nullptr);
    if (hwnd && proc) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    }
    return hwnd;
}

void CallsTest::DeleteScratchKey(const char* path) {
    const std::string key = ScratchPath(path);
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str()), ERROR_SUCCESS);
}

void CallsTest::DeleteScratchValue(const char* path, const char* name) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ScratchPath(path).c_str(), 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, name), ERROR_SUCCESS);
    RegCloseKey(key);
}

bool UnderWine() {
    // Wine's ntdll exports its version; Windows' does not.
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace calls
