// lumiset_foreign_probe: another program that sends and posts Lumiset's windows messages it has
// no business sending: notifications with pointers into this process or none, initialisation,
// destruction, renaming, timers, a quit, DDE while a menu is open, and every message id below
// WM_USER. run-foreign-messages.sh runs it under Wine against the real Lumiset.exe, then checks
// that Lumiset still runs, with its icon, and still ends cleanly.
//
// Exit status: 0 yes / done, 1 no / not in time, 2 usage error, 3 no Lumiset window to act on.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <dde.h>
#include <shellapi.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "res/resource.h"

namespace {

enum ExitStatus : int { kYes = 0, kNo = 1, kUsage = 2, kNoWindow = 3 };

constexpr char kHostClass[] = "#32770";
constexpr char kHostTitle[] = "Property";
constexpr UINT kTrayIconId = 148;
constexpr UINT kTrayNotify = WM_APP + 1000;
constexpr UINT kPopupSystemMenu = 0x0313;  // WM_POPUPSYSTEMMENU, undocumented: not in the headers
constexpr char kShowSettings[] = "LumisetShowSettings";
constexpr WORD kZoomCommand = 32817;
constexpr WPARAM kAboutCommand = 16;
constexpr UINT kSendTimeoutMs = 2000;
// A send that opens a menu or a dialog returns only when it closes: the sweep and the system menu
// give up on the answer after this.
constexpr UINT kShortSendMs = 250;
constexpr DWORD kPollMs = 50;
// Settling waits for one posted message: polled more often, as the sweep settles a thousand times.
constexpr DWORD kSettlePollMs = 2;

constexpr char kUsageText[] =
    "usage: lumiset_foreign_probe COMMAND [NUMBER]\n"
    "  forge MS     opens the settings window, the Zoom dialog and the About box (waiting up to "
    "MS\n"
    "               ms for each), then sends and posts every forged message to the host, the\n"
    "               settings window, its page, the Zoom dialog and the About box, posts\n"
    "               WM_SYSCOMMAND 16 2000 times and waits up to MS ms until the host has taken\n"
    "               them; prints what it did\n"
    "  close-settings MS\n"
    "               sends WM_CLOSE to the settings window, waits up to MS ms until it is gone, "
    "asks\n"
    "               for it again and waits up to MS ms until it is back\n"
    "  stall-menu tray|system|settings MS\n"
    "               opens the tray menu, sends the host WM_POPUPSYSTEMMENU, or types Alt+Space\n"
    "               in the settings window (SendInput), waiting up to MS ms for the tray menu\n"
    "               and the settings window's system menu; then posts the host\n"
    "               WM_DDE_EXECUTE 0 0, which Wine cannot unpack\n"
    "  send host|settings MSG WPARAM LPARAM\n"
    "  post host|settings MSG WPARAM LPARAM\n"
    "               sends (SendMessageTimeout, 2 s) or posts a message; prints what happened\n"
    "  settle MS    opens the settings window or switches its tab by a posted message and waits\n"
    "               up to MS ms until it shows: Lumiset has taken every message posted before\n"
    "  sweep FIRST LAST MS\n"
    "               sends (250 ms time-out) and posts each message FIRST to LAST to the host and\n"
    "               the settings window with wParam 0 and lParam 0x10 and -1; after each id,\n"
    "               settles (MS ms) and sends the host WM_NULL. Prints \"failed 0xID: why\" and\n"
    "               stops at the first id after which Lumiset does not answer\n"
    "  icon         is Lumiset's tray icon there? prints \"present\" or \"absent\"\n"
    "  wait-icon MS waits up to MS ms for it\n"
    "  abouts       prints how many About boxes are open\n"
    "  open         prints which of Lumiset's windows are open: host, settings, zoom, about\n"
    "  sleep MS     does nothing for MS ms (keeps the wineserver and desktop up)\n"
    "Status: 0 yes or done, 1 no or not in time, 2 usage error, 3 no Lumiset window.\n";

int Usage(const char* problem) {
    std::fprintf(stderr, "lumiset_foreign_probe: %s\n%s", problem, kUsageText);
    return kUsage;
}

HWND Host() {
    return FindWindowA(kHostClass, kHostTitle);
}

// Lumiset's top-level dialogs other than the host.
std::vector<HWND> Dialogs(HWND host) {
    struct Search {
        HWND host;
        DWORD process;
        std::vector<HWND> found;
    } search{host, 0, {}};
    GetWindowThreadProcessId(host, &search.process);
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            char class_name[16] = {};
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (window != s->host && process == s->process &&
                GetClassNameA(window, class_name, sizeof class_name) > 0 &&
                std::strcmp(class_name, kHostClass) == 0) {
                s->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The windows are told apart by their controls: their titles follow the language.
HWND SettingsWindow(HWND host) {
    for (HWND dialog : Dialogs(host)) {
        if (GetDlgItem(dialog, IDC_SETTINGS_TAB)) {
            return dialog;
        }
    }
    return nullptr;
}

HWND ZoomDialog(HWND host) {
    for (HWND dialog : Dialogs(host)) {
        if (GetDlgItem(dialog, IDC_ZOOM_SLIDER)) {
            return dialog;
        }
    }
    return nullptr;
}

std::vector<HWND> AboutBoxes(HWND host) {
    std::vector<HWND> abouts;
    for (HWND dialog : Dialogs(host)) {
        if (GetWindow(dialog, GW_OWNER) == host && !GetDlgItem(dialog, IDC_ZOOM_SLIDER) &&
            GetDlgItem(dialog, IDOK)) {
            abouts.push_back(dialog);
        }
    }
    return abouts;
}

HWND VisiblePage(HWND settings) {
    for (HWND child = FindWindowExA(settings, nullptr, kHostClass, nullptr); child;
         child = FindWindowExA(settings, child, kHostClass, nullptr)) {
        if (IsWindowVisible(child)) {
            return child;
        }
    }
    return nullptr;
}

template <typename Find>
HWND WaitFor(DWORD timeoutMs, Find find, DWORD pollMs = kPollMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (const HWND window = find()) {
            return window;
        }
        if (GetTickCount64() >= deadline) {
            return nullptr;
        }
        Sleep(pollMs);
    }
}

// The open popup menu of Lumiset's process.
HWND OpenMenu(HWND host) {
    DWORD lumiset = 0, owner = 0;
    GetWindowThreadProcessId(host, &lumiset);
    const HWND menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu) && GetWindowThreadProcessId(menu, &owner) &&
                   owner == lumiset
               ? menu
               : nullptr;
}

// The settings window's tab, -1 when it does not answer.
LRESULT SelectedTab(HWND settings) {
    DWORD_PTR selected = 0;
    return SendMessageTimeoutA(GetDlgItem(settings, IDC_SETTINGS_TAB), TCM_GETCURSEL, 0, 0,
                               SMTO_ABORTIFHUNG, kSendTimeoutMs, &selected)
               ? static_cast<LRESULT>(selected)
               : -1;
}

// Lumiset takes its posted messages in order: once the settings window shows the tab that a
// message posted now asks for (opening the window if a message closed it), every message posted
// before has been taken. The settings window, or null when that did not happen in time.
HWND Settle(HWND host, DWORD timeoutMs) {
    const HWND before = SettingsWindow(host);
    const WPARAM tab = before && SelectedTab(before) == 0 ? 1 : 0;
    if (!PostMessageA(host, RegisterWindowMessageA(kShowSettings), tab, 0)) {
        return nullptr;
    }
    return WaitFor(
        timeoutMs,
        [host, tab]() -> HWND {
            const HWND settings = SettingsWindow(host);
            return settings && SelectedTab(settings) == static_cast<LRESULT>(tab) ? settings
                                                                                  : nullptr;
        },
        kSettlePollMs);
}

struct Target {
    const char* name;
    HWND window;
};

struct Forged {
    UINT message;
    WPARAM wParam;
};

// Messages that carry a pointer (which the system copies between processes for some of them, and
// not for others), initialisation, destruction and a timer with a callback.
constexpr Forged kForged[] = {
    {WM_SETTEXT, 0},   {WM_GETTEXT, 64},    {WM_WINDOWPOSCHANGING, 0}, {WM_NOTIFY, 1002},
    {WM_NCDESTROY, 0}, {WM_DRAWITEM, 1002}, {WM_MEASUREITEM, 1002},    {WM_INITDIALOG, 0},
    {WM_TIMER, 0},     {WM_DESTROY, 0},
};
constexpr LPARAM kForgedLParams[] = {0, 0x10, -1};
constexpr int kAboutFlood = 2000;

// Only these messages, when any are named.
std::vector<UINT> g_only;
bool g_verbose = false;

bool Chosen(UINT message) {
    return g_only.empty() || std::find(g_only.begin(), g_only.end(), message) != g_only.end();
}

void Forge(const Target& target) {
    int sent = 0, answered = 0, posted = 0, refused = 0;
    for (const Forged& forged : kForged) {
        if (!Chosen(forged.message)) {
            continue;
        }
        for (const LPARAM lParam : kForgedLParams) {
            DWORD_PTR result = 0;
            ++sent;
            if (SendMessageTimeoutA(target.window, forged.message, forged.wParam, lParam,
                                    SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) {
                ++answered;
            } else if (g_verbose) {
                std::printf("  send 0x%04X %lld: error %lu\n", forged.message,
                            static_cast<long long>(lParam), GetLastError());
            }
            ++posted;
            if (!PostMessageA(target.window, forged.message, forged.wParam, lParam)) {
                ++refused;  // the system refuses to post what it would have to copy
            }
        }
    }
    std::printf("%s: %d sent (%d answered), %d posted (%d refused by the system)\n", target.name,
                sent, answered, posted, refused);
}

int ForgeAll(DWORD timeoutMs) {
    const HWND host = Host();
    if (!host) {
        std::printf("no host window\n");
        return kNoWindow;
    }
    PostMessageA(host, RegisterWindowMessageA(kShowSettings), 0, 0);
    const HWND settings = WaitFor(timeoutMs, [host] { return SettingsWindow(host); });
    const HWND page =
        settings ? WaitFor(timeoutMs, [settings] { return VisiblePage(settings); }) : nullptr;
    PostMessageA(host, WM_COMMAND, kZoomCommand, 0);
    const HWND zoom = WaitFor(timeoutMs, [host] { return ZoomDialog(host); });
    PostMessageA(host, WM_SYSCOMMAND, kAboutCommand, 0);
    const HWND about = WaitFor(timeoutMs, [host]() -> HWND {
        const std::vector<HWND> abouts = AboutBoxes(host);
        return abouts.empty() ? nullptr : abouts.front();
    });
    const Target targets[] = {
        {"host", host}, {"settings", settings}, {"page", page}, {"zoom", zoom}, {"about", about}};
    for (const Target& target : targets) {
        if (!target.window) {
            std::printf("%s: not found within %lu ms\n", target.name, timeoutMs);
            return kNoWindow;
        }
    }
    for (const Target& target : targets) {
        Forge(target);
    }

    const ULONGLONG started = GetTickCount64();
    int refused = 0;
    const int flood = Chosen(WM_SYSCOMMAND) ? kAboutFlood : 0;
    for (int i = 0; i < flood; ++i) {
        refused += PostMessageA(host, WM_SYSCOMMAND, kAboutCommand, 0) ? 0 : 1;
    }
    if (!IsWindow(settings) || !Settle(host, timeoutMs)) {
        std::printf("WM_SYSCOMMAND 16 posted %d times (%d refused), not all taken within %lu ms\n",
                    flood, refused, timeoutMs);
        return kNo;
    }
    std::printf("WM_SYSCOMMAND 16 posted %d times (%d refused), taken within %llu ms\n", flood,
                refused, GetTickCount64() - started);
    return kYes;
}

// The settings window closed by another program's WM_CLOSE is gone for good: a new one opens.
int CloseSettings(DWORD timeoutMs) {
    const HWND host = Host();
    const HWND settings = host ? SettingsWindow(host) : nullptr;
    if (!settings) {
        std::printf("no settings window\n");
        return kNoWindow;
    }
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(settings, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
    if (WaitFor(timeoutMs, [settings] { return IsWindow(settings) ? nullptr : settings; }) ==
        nullptr) {
        std::printf("still open after %lu ms\n", timeoutMs);
        return kNo;
    }
    PostMessageA(host, RegisterWindowMessageA(kShowSettings), 0, 0);
    if (!WaitFor(timeoutMs, [host] { return SettingsWindow(host); })) {
        std::printf("closed, and not opened again within %lu ms\n", timeoutMs);
        return kNo;
    }
    std::printf("closed and opened again\n");
    return kYes;
}

// Alt+Space through the keyboard's own path, as a person opens a window's system menu.
bool TypeAltSpace(HWND window) {
    SetForegroundWindow(window);
    INPUT keys[4] = {};
    const WORD codes[4] = {VK_MENU, VK_SPACE, VK_SPACE, VK_MENU};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = codes[i];
        keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    return SendInput(4, keys, sizeof(INPUT)) == 4;
}

// A menu open on Lumiset's thread, and a posted DDE message that Wine cannot unpack (no memory
// comes with it): Wine's menu loop peeks without removing, skips the message and finds it again.
int StallMenu(std::string_view which, DWORD timeoutMs) {
    const HWND host = Host();
    if (!host) {
        std::printf("no host window\n");
        return kNoWindow;
    }
    bool open = false;
    if (which != "system") {
        if (which == "tray") {
            PostMessageA(host, kTrayNotify, 0, WM_RBUTTONUP);
        } else if (const HWND settings = Settle(host, timeoutMs);
                   !settings || !TypeAltSpace(settings)) {
            std::printf("no settings window to type in\n");
            return kNo;
        }
        open = WaitFor(timeoutMs, [host] { return OpenMenu(host); }) != nullptr;
        if (!open) {
            std::printf("no %s menu within %lu ms\n", which == "tray" ? "tray" : "system",
                        timeoutMs);
            return kNo;
        }
    } else {
        // The system menu opens inside the send, if at all: the answer comes when it closes.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(host, kPopupSystemMenu, 0, 0, SMTO_ABORTIFHUNG, kShortSendMs, &ignored);
        open = OpenMenu(host) != nullptr;
    }
    if (!PostMessageA(host, WM_DDE_EXECUTE, 0, 0)) {
        std::printf("posting WM_DDE_EXECUTE failed, error %lu\n", GetLastError());
        return kNo;
    }
    std::printf("%s menu %s, WM_DDE_EXECUTE posted\n",
                which == "tray"     ? "tray"
                : which == "system" ? "host's system"
                                    : "settings window's system",
                open ? "open" : "not open");
    return kYes;
}

// Accepts decimal or 0x hexadecimal; a leading minus wraps, as for an LPARAM of -1.
bool ParseParameter(const char* text, unsigned long long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text, &end, 0);
    return end != text && *end == '\0' && errno == 0;
}

HWND NamedWindow(std::string_view name, HWND host) {
    if (name == "host") {
        return host;
    }
    return name == "settings" ? SettingsWindow(host) : nullptr;
}

int SendOrPost(std::string_view how, HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    if (how == "post") {
        if (!PostMessageA(target, message, wParam, lParam)) {
            std::printf("not posted, error %lu\n", GetLastError());
            return kNo;
        }
        std::printf("posted\n");
        return kYes;
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(target, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &result)) {
        std::printf("no answer, error %lu\n", GetLastError());
        return kNo;
    }
    std::printf("result %lld\n", static_cast<long long>(result));
    return kYes;
}

// Every message id of the range to the host and the settings window, sent and posted, as another
// program may. After each id Lumiset must have taken what was posted and answer a send; a
// message that closed the settings window has it opened again by the settling.
constexpr LPARAM kSweptLParams[] = {0x10, -1};

int Sweep(UINT first, UINT last, DWORD timeoutMs) {
    const HWND host = Host();
    HWND settings = host ? Settle(host, timeoutMs) : nullptr;
    if (!settings) {
        std::printf("no %s window to sweep\n", host ? "settings" : "host");
        return kNoWindow;
    }
    const ULONGLONG started = GetTickCount64();
    int sent = 0, answered = 0, posted = 0, refused = 0;
    std::set<std::string> timed_out;
    for (UINT message = first; message <= last; ++message) {
        for (const Target& target : {Target{"host", host}, Target{"settings", settings}}) {
            for (const LPARAM lParam : kSweptLParams) {
                DWORD_PTR result = 0;
                ++sent;
                SetLastError(0);  // a send the system refuses does not always say why
                if (SendMessageTimeoutA(target.window, message, 0, lParam, SMTO_ABORTIFHUNG,
                                        kShortSendMs, &result)) {
                    ++answered;
                } else if (GetLastError() == ERROR_TIMEOUT) {
                    char text[32];
                    std::snprintf(text, sizeof text, "%s 0x%03X", target.name, message);
                    timed_out.insert(text);
                }
                ++posted;
                refused += PostMessageA(target.window, message, 0, lParam) ? 0 : 1;
            }
        }
        settings = IsWindow(host) ? Settle(host, timeoutMs) : nullptr;
        DWORD_PTR ignored = 0;
        const char* why =
            !IsWindow(host) ? "the host window is gone"
            : !settings     ? "what was posted was not all taken in time"
            : !SendMessageTimeoutA(host, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored)
                ? "WM_NULL got no answer"
                : nullptr;
        if (why) {
            std::printf("failed 0x%03X: %s\n", message, why);
            return kNo;
        }
    }
    std::string late;
    for (const std::string& text : timed_out) {
        late += (late.empty() ? "" : ", ") + text;
    }
    std::printf(
        "swept 0x%03X-0x%03X in %llu ms: %d sent (%d answered; no answer in time: %s), %d posted "
        "(%d refused by the system)\n",
        first, last, GetTickCount64() - started, sent, answered,
        late.empty() ? "none" : late.c_str(), posted, refused);
    return kYes;
}

// Whether the notification area holds the host's icon: changing nothing in it succeeds only then.
bool IconPresent() {
    const HWND host = Host();
    if (!host) {
        return false;
    }
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = host;
    data.uID = kTrayIconId;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool ParseNumber(const char* text, DWORD& value) {
    char* end = nullptr;
    const unsigned long parsed = std::strtoul(text, &end, 0);
    value = static_cast<DWORD>(parsed);
    return end != text && *end == '\0' && parsed < INFINITE;
}

// The commands with words and numbers of their own: stall-menu, send, post, sweep.
int RunWithArguments(std::string_view command, int argc, char** argv) {
    unsigned long long numbers[3] = {};
    const int first_number = command == "sweep" ? 2 : 3;
    const int count = command == "stall-menu" ? 1 : 3;
    if (argc != first_number + count) {
        return Usage("wrong arguments");
    }
    for (int i = 0; i < count; ++i) {
        if (!ParseParameter(argv[first_number + i], numbers[i])) {
            return Usage("arguments must be numbers");
        }
    }
    if (command == "stall-menu") {
        const std::string_view which = argv[2];
        if ((which != "tray" && which != "system" && which != "settings") ||
            numbers[0] >= INFINITE) {
            return Usage("stall-menu takes tray, system or settings and a time-out");
        }
        return StallMenu(which, static_cast<DWORD>(numbers[0]));
    }
    if (command == "sweep") {
        if (numbers[0] > numbers[1] || numbers[1] > 0xFFFFFFFF || numbers[2] >= INFINITE) {
            return Usage("sweep takes FIRST <= LAST and a time-out");
        }
        return Sweep(static_cast<UINT>(numbers[0]), static_cast<UINT>(numbers[1]),
                     static_cast<DWORD>(numbers[2]));
    }
    if (numbers[0] > 0xFFFFFFFF) {
        return Usage("message number out of range");
    }
    const HWND host = Host();
    const HWND target = host ? NamedWindow(argv[2], host) : nullptr;
    if (!target) {
        std::printf("no %s window\n", argv[2]);
        return host || std::string_view(argv[2]) == "host" ? kNoWindow : Usage("no such window");
    }
    return SendOrPost(command, target, static_cast<UINT>(numbers[0]),
                      static_cast<WPARAM>(numbers[1]), static_cast<LPARAM>(numbers[2]));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage("no command");
    }
    const std::string_view command = argv[1];
    if (command == "stall-menu" || command == "send" || command == "post" || command == "sweep") {
        return RunWithArguments(command, argc, argv);
    }
    DWORD ms = 0;
    const bool takes_number = command == "forge" || command == "wait-icon" ||
                              command == "close-settings" || command == "settle" ||
                              command == "sleep";
    const bool takes_more = command == "forge";
    if ((takes_more ? argc < 3 : argc != (takes_number ? 3 : 2)) ||
        (takes_number && !ParseNumber(argv[2], ms))) {
        return Usage("wrong arguments");
    }
    if (command == "forge") {
        for (int i = 3; i < argc; ++i) {
            DWORD message = 0;
            if (std::strcmp(argv[i], "-v") == 0) {
                g_verbose = true;
            } else if (ParseNumber(argv[i], message)) {
                g_only.push_back(message);
            } else {
                return Usage("a message must be a number");
            }
        }
        return ForgeAll(ms);
    }
    if (command == "close-settings") {
        return CloseSettings(ms);
    }
    if (command == "settle") {
        const HWND host = Host();
        if (!host) {
            std::printf("no host window\n");
            return kNoWindow;
        }
        if (!Settle(host, ms)) {
            std::printf("not settled within %lu ms\n", ms);
            return kNo;
        }
        std::printf("settled\n");
        return kYes;
    }
    if (command == "icon" || command == "wait-icon") {
        const bool present =
            command == "icon"
                ? IconPresent()
                : WaitFor(ms, [] { return IconPresent() ? Host() : nullptr; }) != nullptr;
        std::printf("%s\n", present ? "present" : "absent");
        return present ? kYes : kNo;
    }
    if (command == "abouts") {
        const HWND host = Host();
        if (!host) {
            std::printf("no host window\n");
            return kNoWindow;
        }
        std::printf("%zu\n", AboutBoxes(host).size());
        return kYes;
    }
    if (command == "open") {
        const HWND host = Host();
        if (!host) {
            std::printf("none\n");
            return kNoWindow;
        }
        std::printf("host%s%s", SettingsWindow(host) ? ", settings" : "",
                    ZoomDialog(host) ? ", zoom" : "");
        for (std::size_t i = 0; i < AboutBoxes(host).size(); ++i) {
            std::printf(", about");
        }
        std::printf("\n");
        return kYes;
    }
    if (command == "sleep") {
        Sleep(ms);
        return kYes;
    }
    return Usage("unknown command");
}
