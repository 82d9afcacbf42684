// lumiset_probe: looks at a running Lumiset.exe from outside and drives it, as any other program
// on the same desktop could. run-e2e.sh runs it under Wine.
//
// Exit status: 0 yes / done, 1 no / not done in time, 2 usage error, 3 no host window to act on.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

constexpr char kHostClass[] = "#32770";
constexpr char kHostTitle[] = "Property";
constexpr char kSettingsTitle[] = "CV Lumen Webcam Settings";
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
    "  wait-settings MS        waits up to MS ms for the visible settings window (\"#32770\"\n"
    "                          \"CV Lumen Webcam Settings\")\n"
    "  sleep MS                does nothing for MS ms (keeps the wineserver and desktop up)\n"
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

int WaitForSettings(DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const HWND settings = FindWindowA(kHostClass, kSettingsTitle);
        if (settings && IsWindowVisible(settings)) {
            std::printf("visible\n");
            return kYes;
        }
        if (GetTickCount64() >= deadline) {
            std::printf("%s after %lu ms\n", settings ? "hidden" : "absent", timeoutMs);
            return kNo;
        }
        Sleep(kPollIntervalMs);
    }
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
    int arguments;  // all numbers
};

constexpr Command kCommands[] = {
    {"find", 0},    {"count", 0}, {"show", 0}, {"wait-present", 1}, {"wait-gone", 1},
    {"command", 1}, {"post", 3},  {"send", 3}, {"sleep", 1},        {"wait-settings", 1},
};

const Command* FindCommand(const char* name) {
    for (const Command& command : kCommands) {
        if (std::strcmp(command.name, name) == 0) {
            return &command;
        }
    }
    return nullptr;
}

int Run(const std::string_view name, const unsigned long long* numbers) {
    if (name == "find") {
        return Find();
    }
    if (name == "count") {
        return Count();
    }
    if (name == "show") {
        return Show();
    }
    if (name == "wait-present" || name == "wait-gone" || name == "sleep" ||
        name == "wait-settings") {
        if (numbers[0] >= INFINITE) {
            return Usage("time out of range");
        }
        const auto ms = static_cast<DWORD>(numbers[0]);
        if (name == "sleep") {
            Sleep(ms);
            return kYes;
        }
        if (name == "wait-settings") {
            return WaitForSettings(ms);
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage("no command");
    }
    const Command* command = FindCommand(argv[1]);
    if (!command) {
        return Usage("unknown command");
    }
    if (argc - 2 != command->arguments) {
        return Usage("wrong number of arguments");
    }
    unsigned long long numbers[3] = {};
    for (int i = 0; i < command->arguments; ++i) {
        if (!ParseNumber(argv[2 + i], numbers[i])) {
            return Usage("arguments must be numbers");
        }
    }
    return Run(command->name, numbers);
}
