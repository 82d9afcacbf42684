// lumiset_probe: looks at a running Lumiset.exe from outside and drives it, as any other program
// on the same desktop could. run-e2e.sh runs it under Wine.
//
// Exit status: 0 yes / done, 1 no / not done in time, 2 usage error, 3 no host window to act on.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr char kHostClass[] = "#32770";
constexpr char kHostTitle[] = "Property";
constexpr DWORD kPollIntervalMs = 50;
constexpr UINT kSendTimeoutMs = 5000;

enum ExitStatus : int { kYes = 0, kNo = 1, kUsage = 2, kNoWindow = 3 };

constexpr char kUsageText[] =
    "usage: lumiset_probe COMMAND [NUMBER...]\n"
    "The host window is the top-level window of class \"#32770\" titled \"Property\".\n"
    "  find                    is it there? prints \"found hidden\", \"found visible\" or \"not "
    "found\"\n"
    "  count                   prints how many there are; status 1 when none\n"
    "  wait-present MS         waits up to MS ms for it to appear\n"
    "  wait-gone MS            waits up to MS ms for it to disappear\n"
    "  command ID              posts WM_COMMAND ID to it\n"
    "  post MSG WPARAM LPARAM  posts a message to it\n"
    "  send MSG WPARAM LPARAM  sends a message to it and prints the result\n"
    "  show                    ShowWindow(SW_SHOW) on it; status 0 when it is visible after\n"
    "Other top-level windows, by their whole title:\n"
    "  wait-window TITLE MS    waits up to MS ms for a visible one; prints \"visible\" or\n"
    "                          \"visible topmost\"\n"
    "  wait-no-window TITLE MS waits up to MS ms until there is none\n"
    "  count-windows TITLE     prints how many there are\n"
    "  close-window TITLE      its close box (WM_SYSCOMMAND SC_CLOSE)\n"
    "  key-window TITLE VK     the key VK pressed where its thread has the focus\n"
    "  focus-id TITLE          prints the id of the control with its thread's focus (0: none)\n"
    "  chord-window TITLE MOD VK  brings it to the front and types VK with the key MOD held\n"
    "                          (0: none) as the keyboard does (SendInput)\n"
    "  click-window TITLE ID   a click on its control ID (BM_CLICK)\n"
    "  enabled TITLE           prints \"enabled\" or \"disabled\"\n"
    "  set-enabled TITLE 0|1   EnableWindow on it\n"
    "  registered NAME         prints the number of the registered window message NAME\n"
    "  wait-menu MS            waits up to MS ms for an open popup menu (class \"#32768\")\n"
    "  menu-key VK             the key VK pressed in the open popup menu\n"
    "Where windows are on the screen, as \"X Y WIDTH HEIGHT\" (status 1 when there is none):\n"
    "  rect-dialog MS          waits up to MS ms for a visible top-level dialog of the host's\n"
    "                          process, other than the host, and gives the topmost one\n"
    "  rect-menu               the open popup menu\n"
    "  rect-tray               the taskbar of Wine's desktop (class \"Shell_TrayWnd\")\n"
    "  rect-tray-icon          where the notification area's icon is (Lumiset's, the only one)\n"
    "The host's own dialogs (owned by it):\n"
    "  wait-owned MS           waits up to MS ms for a visible one\n"
    "  wait-abouts MS          waits up to MS ms for an About box (a dialog it owns with an OK\n"
    "                          button and no Cancel); prints how many there are\n"
    "  close-owned             the close box of each\n"
    "  close-dialog            the close box of the dialog rect-dialog gives; waits until it\n"
    "                          is gone\n"
    "  cursor X Y              puts the mouse cursor there; waits until it is reported there\n"
    "  sleep MS                does nothing for MS ms (keeps the wineserver and desktop up)\n"
    "  serve                   reads commands from standard input, one a line, words\n"
    "                          separated by tabs; prints \"=> STATUS\" after each\n"
    "Numbers are decimal or 0x hexadecimal.\n"
    "Status: 0 yes or done, 1 no or not in time, 2 usage error, 3 no host window to act on.\n";

int Usage(const char* problem) {
    std::fprintf(stderr, "lumiset_probe: %s\n%s", problem, kUsageText);
    return kUsage;
}

// Accepts decimal or 0x-prefixed hexadecimal; a leading minus wraps, as for an LPARAM of -1.
bool ParseNumber(const char* text, unsigned long long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text, &end, 0);
    return end != text && *end == '\0' && errno == 0;
}

HWND FindHost() {
    return FindWindowA(kHostClass, kHostTitle);
}

int CountHosts() {
    int count = 0;
    for (HWND window = FindWindowExA(nullptr, nullptr, kHostClass, kHostTitle); window;
         window = FindWindowExA(nullptr, window, kHostClass, kHostTitle)) {
        ++count;
    }
    return count;
}

int Find() {
    HWND host = FindHost();
    if (!host) {
        std::printf("not found\n");
        return kNo;
    }
    std::printf("found %s\n", IsWindowVisible(host) ? "visible" : "hidden");
    return kYes;
}

int Count() {
    int count = CountHosts();
    std::printf("%d\n", count);
    return count > 0 ? kYes : kNo;
}

int WaitFor(bool present, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if ((FindHost() != nullptr) == present) {
            std::printf("%s\n", present ? "present" : "gone");
            return kYes;
        }
        if (GetTickCount64() >= deadline) {
            std::printf("still %s after %lu ms\n", present ? "absent" : "present", timeoutMs);
            return kNo;
        }
        Sleep(kPollIntervalMs);
    }
}

// The title a command acts on. A title outside ASCII is written with \uXXXX escapes, which
// reach the program whatever the locale and code page.
std::wstring g_title;

std::wstring Unescaped(const char* text) {
    std::wstring title;
    for (const char* p = text; *p != '\0'; ++p) {
        unsigned code = 0;
        if (p[0] == '\\' && p[1] == 'u' && std::sscanf(p + 2, "%4x", &code) == 1 &&
            std::strlen(p + 2) >= 4) {
            title.push_back(static_cast<wchar_t>(code));
            p += 5;
        } else {
            title.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
        }
    }
    return title;
}

HWND FindTitled(const char*) {
    return FindWindowW(nullptr, g_title.c_str());
}

int WaitForWindow(const char* title, DWORD timeoutMs, bool present) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const HWND window = FindTitled(title);
        if (present && window && IsWindowVisible(window)) {
            const bool topmost = (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            std::printf("visible%s\n", topmost ? " topmost" : "");
            return kYes;
        }
        if (!present && !window) {
            std::printf("gone\n");
            return kYes;
        }
        if (GetTickCount64() >= deadline) {
            std::printf("%s after %lu ms\n", window ? "still there" : "absent", timeoutMs);
            return kNo;
        }
        Sleep(kPollIntervalMs);
    }
}

// The visible top-level windows the host owns.
std::vector<HWND> OwnedByHost() {
    struct Search {
        HWND host;
        std::vector<HWND> found;
    } search{FindHost(), {}};
    if (!search.host) {
        return {};
    }
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            if (GetWindow(window, GW_OWNER) == s->host && IsWindowVisible(window)) {
                s->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int WaitForOwned(DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (!OwnedByHost().empty()) {
            std::printf("visible\n");
            return kYes;
        }
        if (GetTickCount64() >= deadline) {
            std::printf("none after %lu ms\n", timeoutMs);
            return kNo;
        }
        Sleep(kPollIntervalMs);
    }
}

// The host's About boxes, visible or not: the dialogs it owns with an OK button and no Cancel
// button (the property frame has both; the settings window and the Zoom dialog neither).
int CountAboutBoxes() {
    struct Search {
        HWND host;
        int count;
    } search{FindHost(), 0};
    if (!search.host) {
        return 0;
    }
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            char class_name[16] = {};
            if (GetWindow(window, GW_OWNER) == s->host &&
                GetClassNameA(window, class_name, sizeof class_name) > 0 &&
                std::strcmp(class_name, kHostClass) == 0 && GetDlgItem(window, IDOK) &&
                !GetDlgItem(window, IDCANCEL)) {
                ++s->count;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
}

int WaitForAboutBoxes(DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    int count = 0;
    while ((count = CountAboutBoxes()) == 0 && GetTickCount64() < deadline) {
        Sleep(kPollIntervalMs);
    }
    std::printf("%d\n", count);
    return count > 0 ? kYes : kNo;
}

HWND OpenMenu() {
    const HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

int WaitForMenu(DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!OpenMenu()) {
        if (GetTickCount64() >= deadline) {
            std::printf("no menu after %lu ms\n", timeoutMs);
            return kNo;
        }
        Sleep(kPollIntervalMs);
    }
    std::printf("open\n");
    return kYes;
}

int MenuKey(WPARAM key) {
    const HWND menu = OpenMenu();
    if (!menu) {
        std::printf("no menu\n");
        return kNoWindow;
    }
    return PostMessageA(menu, WM_KEYDOWN, key, 1) ? kYes : kNo;
}

int CloseOwned() {
    const std::vector<HWND> owned = OwnedByHost();
    for (HWND window : owned) {
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    std::printf("%zu\n", owned.size());
    return owned.empty() ? kNo : kYes;
}

int CountTitled(const char* title) {
    int count = 0;
    (void)title;
    for (HWND window = FindWindowExW(nullptr, nullptr, nullptr, g_title.c_str()); window;
         window = FindWindowExW(nullptr, window, nullptr, g_title.c_str())) {
        ++count;
    }
    std::printf("%d\n", count);
    return count > 0 ? kYes : kNo;
}

// The window of its thread that has the keyboard focus, or the window itself.
HWND FocusIn(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus) {
        return info.hwndFocus;
    }
    return window;
}

// The visible control with that id anywhere inside the window: pages of a tabbed window share
// ids, and only one page is visible.
HWND VisibleDescendant(HWND window, int id) {
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            if (GetDlgCtrlID(child) == s->id && IsWindowVisible(child)) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int ActOnWindow(std::string_view name, const char* title, const unsigned long long* numbers) {
    const HWND window = FindTitled(title);
    if (!window) {
        std::printf("no window titled \"%s\"\n", title);  // as the ANSI code page shows it
        return kNoWindow;
    }
    if (name == "close-window") {
        return PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0) ? kYes : kNo;
    }
    if (name == "key-window") {
        const HWND target = FocusIn(window);
        const auto key = static_cast<WPARAM>(numbers[0]);
        return PostMessageA(target, WM_KEYDOWN, key, 1) &&
                       PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u))
                   ? kYes
                   : kNo;
    }
    if (name == "chord-window") {
        SetForegroundWindow(window);
        std::vector<INPUT> inputs;
        const auto press = [&inputs](unsigned long long key, bool up) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = static_cast<WORD>(key);
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        };
        if (numbers[0] != 0) {
            press(numbers[0], false);
        }
        press(numbers[1], false);
        press(numbers[1], true);
        if (numbers[0] != 0) {
            press(numbers[0], true);
        }
        const auto count = static_cast<UINT>(inputs.size());
        return SendInput(count, inputs.data(), sizeof(INPUT)) == count ? kYes : kNo;
    }
    if (name == "focus-id") {
        const HWND focus = FocusIn(window);
        std::printf("%d\n", focus != window ? GetDlgCtrlID(focus) : 0);
        return kYes;
    }
    if (name == "click-window") {
        const HWND control = VisibleDescendant(window, static_cast<int>(numbers[0]));
        if (!control) {
            std::printf("no visible control %llu\n", numbers[0]);
            return kNo;
        }
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutA(control, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                                   &ignored)
                   ? kYes
                   : kNo;
    }
    if (name == "enabled") {
        const bool enabled = IsWindowEnabled(window);
        std::printf("%s\n", enabled ? "enabled" : "disabled");
        return enabled ? kYes : kNo;
    }
    EnableWindow(window, numbers[0] != 0);
    return kYes;
}

// "X Y WIDTH HEIGHT" of the window on the screen, the rectangle a screenshot crops to.
int PrintRect(HWND window) {
    RECT rect{};
    if (!window || !IsWindowVisible(window) || !GetWindowRect(window, &rect)) {
        std::printf("no such window\n");
        return kNo;
    }
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
    return kYes;
}

// Lumiset's topmost visible top-level dialog other than the host, whatever its title and
// owner: the settings window, a control dialog, the About box or the system's property frame.
HWND TopDialog() {
    struct Search {
        HWND host;
        DWORD process;
        HWND found;
    } search{FindHost(), 0, nullptr};
    if (!search.host) {
        return nullptr;
    }
    GetWindowThreadProcessId(search.host, &search.process);
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            char class_name[16] = {};
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (window != s->host && process == s->process && IsWindowVisible(window) &&
                GetClassNameA(window, class_name, sizeof class_name) > 0 &&
                std::strcmp(class_name, kHostClass) == 0) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int WaitForDialogRect(DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    HWND dialog = nullptr;
    while (!(dialog = TopDialog())) {
        if (GetTickCount64() >= deadline) {
            std::printf("no dialog after %lu ms\n", timeoutMs);
            return kNo;
        }
        Sleep(kPollIntervalMs);
    }
    // A message round trip lets the dialog finish painting before a screenshot.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
    return PrintRect(dialog);
}

// Waits until the dialog is gone, so that the next one is alone on the screen.
int CloseDialog() {
    const HWND dialog = TopDialog();
    if (!dialog) {
        std::printf("no dialog\n");
        return kNoWindow;
    }
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    const ULONGLONG deadline = GetTickCount64() + kSendTimeoutMs;
    while (IsWindow(dialog) && IsWindowVisible(dialog)) {
        if (GetTickCount64() >= deadline) {
            std::printf("still open after %u ms\n", kSendTimeoutMs);
            return kNo;
        }
        Sleep(kPollIntervalMs);
    }
    std::printf("closed\n");
    return kYes;
}

// Wine moves the cursor through the X server, whose answer comes a moment later: waits until the
// system reports the new place, so that a program asking next finds the cursor there.
int PutCursor(int x, int y) {
    SetCursorPos(x, y);
    const ULONGLONG deadline = GetTickCount64() + kSendTimeoutMs;
    POINT where{};
    while (!GetCursorPos(&where) || where.x != x || where.y != y) {
        if (GetTickCount64() >= deadline) {
            std::printf("the cursor is at %ld %ld\n", where.x, where.y);
            return kNo;
        }
        Sleep(kPollIntervalMs);
    }
    return kYes;
}

HWND Taskbar() {
    return FindWindowA("Shell_TrayWnd", nullptr);
}

// Where Lumiset's icon is, the only one in the prefixes our scripts make: newer Wine gives each
// icon a child window of the taskbar; Wine 8 draws them in the taskbar itself, from its right
// end, each in a square of the taskbar's height.
bool TrayIconRect(RECT& rect) {
    const HWND taskbar = Taskbar();
    if (!taskbar || !IsWindowVisible(taskbar)) {
        return false;
    }
    const HWND icon = FindWindowExA(taskbar, nullptr, "__wine_tray_icon", nullptr);
    if (icon) {
        return GetWindowRect(icon, &rect) != FALSE;
    }
    if (!GetWindowRect(taskbar, &rect)) {
        return false;
    }
    rect.left = rect.right - (rect.bottom - rect.top);
    return true;
}

int PrintTrayIconRect() {
    RECT rect{};
    if (!TrayIconRect(rect)) {
        std::printf("no taskbar\n");
        return kNoWindow;
    }
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
    return kYes;
}

int Post(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND host = FindHost();
    if (!host) {
        std::printf("no host window\n");
        return kNoWindow;
    }
    if (!PostMessageA(host, message, wParam, lParam)) {
        std::printf("PostMessage failed, error %lu\n", GetLastError());
        return kNo;
    }
    std::printf("posted\n");
    return kYes;
}

int Send(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND host = FindHost();
    if (!host) {
        std::printf("no host window\n");
        return kNoWindow;
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(host, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &result)) {
        std::printf("no answer within %u ms, error %lu\n", kSendTimeoutMs, GetLastError());
        return kNo;
    }
    std::printf("result %lld\n", static_cast<long long>(result));
    return kYes;
}

int Show() {
    HWND host = FindHost();
    if (!host) {
        std::printf("no host window\n");
        return kNoWindow;
    }
    ShowWindow(host, SW_SHOW);
    // A message round trip lets the owner finish whatever the show set off before we look.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(host, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
    bool visible = IsWindowVisible(host);
    std::printf("%s\n", visible ? "visible" : "hidden");
    return visible ? kYes : kNo;
}

struct Command {
    const char* name;
    int arguments;      // numbers
    bool text = false;  // a title or name comes first
};

constexpr Command kCommands[] = {
    {"find", 0},
    {"count", 0},
    {"show", 0},
    {"wait-present", 1},
    {"wait-gone", 1},
    {"command", 1},
    {"post", 3},
    {"send", 3},
    {"sleep", 1},
    {"wait-window", 1, true},
    {"wait-no-window", 1, true},
    {"count-windows", 0, true},
    {"close-window", 0, true},
    {"key-window", 1, true},
    {"focus-id", 0, true},
    {"chord-window", 2, true},
    {"click-window", 1, true},
    {"enabled", 0, true},
    {"set-enabled", 1, true},
    {"registered", 0, true},
    {"wait-owned", 1},
    {"wait-abouts", 1},
    {"wait-menu", 1},
    {"menu-key", 1},
    {"close-owned", 0},
    {"rect-dialog", 1},
    {"close-dialog", 0},
    {"rect-menu", 0},
    {"rect-tray", 0},
    {"rect-tray-icon", 0},
    {"cursor", 2},
};

const Command* FindCommand(const char* name) {
    for (const Command& command : kCommands) {
        if (std::strcmp(command.name, name) == 0) {
            return &command;
        }
    }
    return nullptr;
}

int Run(const std::string_view name, const char* text, const unsigned long long* numbers) {
    if (name == "wait-window" || name == "wait-no-window") {
        if (numbers[0] >= INFINITE) {
            return Usage("time out of range");
        }
        return WaitForWindow(text, static_cast<DWORD>(numbers[0]), name == "wait-window");
    }
    if (name == "count-windows") {
        return CountTitled(text);
    }
    if (name == "registered") {
        const UINT message = RegisterWindowMessageA(text);
        std::printf("%u\n", message);
        return message != 0 ? kYes : kNo;
    }
    if (text != nullptr) {
        return ActOnWindow(name, text, numbers);
    }
    if (name == "find") {
        return Find();
    }
    if (name == "wait-menu") {
        if (numbers[0] >= INFINITE) {
            return Usage("time out of range");
        }
        return WaitForMenu(static_cast<DWORD>(numbers[0]));
    }
    if (name == "menu-key") {
        return MenuKey(static_cast<WPARAM>(numbers[0]));
    }
    if (name == "close-owned") {
        return CloseOwned();
    }
    if (name == "rect-dialog") {
        if (numbers[0] >= INFINITE) {
            return Usage("time out of range");
        }
        return WaitForDialogRect(static_cast<DWORD>(numbers[0]));
    }
    if (name == "close-dialog") {
        return CloseDialog();
    }
    if (name == "rect-menu") {
        return PrintRect(OpenMenu());
    }
    if (name == "rect-tray") {
        return PrintRect(Taskbar());
    }
    if (name == "rect-tray-icon") {
        return PrintTrayIconRect();
    }
    if (name == "cursor") {
        return PutCursor(static_cast<int>(numbers[0]), static_cast<int>(numbers[1]));
    }
    if (name == "wait-owned") {
        if (numbers[0] >= INFINITE) {
            return Usage("time out of range");
        }
        return WaitForOwned(static_cast<DWORD>(numbers[0]));
    }
    if (name == "wait-abouts") {
        if (numbers[0] >= INFINITE) {
            return Usage("time out of range");
        }
        return WaitForAboutBoxes(static_cast<DWORD>(numbers[0]));
    }
    if (name == "count") {
        return Count();
    }
    if (name == "show") {
        return Show();
    }
    if (name == "wait-present" || name == "wait-gone" || name == "sleep") {
        if (numbers[0] >= INFINITE) {
            return Usage("time out of range");
        }
        const auto ms = static_cast<DWORD>(numbers[0]);
        if (name == "sleep") {
            Sleep(ms);
            return kYes;
        }
        return WaitFor(name == "wait-present", ms);
    }
    if (name == "command") {
        if (numbers[0] > 0xFFFF) {
            return Usage("command id out of range (0 to 65535)");
        }
        return Post(WM_COMMAND, static_cast<WPARAM>(numbers[0]), 0);
    }
    if (numbers[0] > 0xFFFFFFFF) {
        return Usage("message number out of range");
    }
    const auto message = static_cast<UINT>(numbers[0]);
    const auto wParam = static_cast<WPARAM>(numbers[1]);
    const auto lParam = static_cast<LPARAM>(numbers[2]);
    return name == "post" ? Post(message, wParam, lParam) : Send(message, wParam, lParam);
}

int Dispatch(int argc, char** argv) {
    if (argc < 2) {
        return Usage("no command");
    }
    const Command* command = FindCommand(argv[1]);
    if (!command) {
        return Usage("unknown command");
    }
    const int first_number = command->text ? 3 : 2;
    if (argc - first_number != command->arguments) {
        return Usage("wrong number of arguments");
    }
    unsigned long long numbers[3] = {};
    for (int i = 0; i < command->arguments; ++i) {
        if (!ParseNumber(argv[first_number + i], numbers[i])) {
            return Usage("arguments after the title must be numbers");
        }
    }
    if (command->text) {
        g_title = Unescaped(argv[2]);
    }
    return Run(command->name, command->text ? argv[2] : nullptr, numbers);
}

// Commands from standard input, one a line, its words separated by tabs (a title may hold
// blanks); after each, "=> STATUS". Starting a Wine process costs a few tenths of a second, which
// a script that asks dozens of questions saves this way.
int Serve() {
    char line[4096];
    while (std::fgets(line, sizeof line, stdin)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        std::vector<char*> words{const_cast<char*>("lumiset_probe")};
        for (char* word = line; word != nullptr;) {
            char* tab = std::strchr(word, '\t');
            if (tab) {
                *tab++ = '\0';
            }
            words.push_back(word);
            word = tab;
        }
        const int status = Dispatch(static_cast<int>(words.size()), words.data());
        std::printf("=> %d\n", status);
        std::fflush(stdout);
    }
    return kYes;
}

}  // namespace

int main(int argc, char** argv) {
    // Rectangles and the cursor in the screen's own pixels: at a display scale above 100 %,
    // Windows hands a program unaware of it coordinates shrunk to 96 dots per inch (Wine 8 does
    // not, but the pictures at 150 % must not depend on that).
    SetProcessDPIAware();
    if (argc == 2 && std::strcmp(argv[1], "serve") == 0) {
        return Serve();
    }
    return Dispatch(argc, argv);
}
