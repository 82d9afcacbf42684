// lumiset_foreign_probe: another program that sends and posts Lumiset's windows messages it has
// no business sending: notifications with pointers into this process or none, initialisation,
// destruction, renaming, timers. run-foreign-messages.sh runs it under Wine against the real
// Lumiset.exe, then checks that Lumiset still runs, with its icon, and still ends cleanly.
//
// Exit status: 0 yes / done, 1 no / not in time, 2 usage error, 3 no Lumiset window to act on.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "res/resource.h"

namespace {

enum ExitStatus : int { kYes = 0, kNo = 1, kUsage = 2, kNoWindow = 3 };

constexpr char kHostClass[] = "#32770";
constexpr char kHostTitle[] = "Property";
constexpr UINT kTrayIconId = 148;
constexpr WORD kZoomCommand = 32817;
constexpr WPARAM kAboutCommand = 16;
constexpr UINT kSendTimeoutMs = 2000;
constexpr DWORD kPollMs = 50;

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
HWND WaitFor(DWORD timeoutMs, Find find) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (const HWND window = find()) {
            return window;
        }
        if (GetTickCount64() >= deadline) {
            return nullptr;
        }
        Sleep(kPollMs);
    }
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

// The host takes its posted messages in order: once the tab asked for after the flood shows, the
// flood has been handled.
bool WaitForFloodTaken(HWND host, HWND settings, DWORD timeoutMs) {
    const UINT show_settings = RegisterWindowMessageA("LumisetShowSettings");
    const HWND tab = GetDlgItem(settings, IDC_SETTINGS_TAB);
    PostMessageA(host, show_settings, 1, 0);
    return WaitFor(timeoutMs, [tab]() -> HWND {
               DWORD_PTR selected = 0;
               return SendMessageTimeoutA(tab, TCM_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG,
                                          kSendTimeoutMs, &selected) &&
                              selected == 1
                          ? tab
                          : nullptr;
           }) != nullptr;
}

int ForgeAll(DWORD timeoutMs) {
    const HWND host = Host();
    if (!host) {
        std::printf("no host window\n");
        return kNoWindow;
    }
    PostMessageA(host, RegisterWindowMessageA("LumisetShowSettings"), 0, 0);
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
    if (!IsWindow(settings) || !WaitForFloodTaken(host, settings, timeoutMs)) {
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
    PostMessageA(host, RegisterWindowMessageA("LumisetShowSettings"), 0, 0);
    if (!WaitFor(timeoutMs, [host] { return SettingsWindow(host); })) {
        std::printf("closed, and not opened again within %lu ms\n", timeoutMs);
        return kNo;
    }
    std::printf("closed and opened again\n");
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage("no command");
    }
    const std::string_view command = argv[1];
    DWORD ms = 0;
    const bool takes_number = command == "forge" || command == "wait-icon" ||
                              command == "close-settings" || command == "sleep";
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
