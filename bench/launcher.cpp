// lumiset_bench_launcher: starts a program of Lumiset's shape from inside Wine and times it, so
// that Wine's own start is not counted. run-bench.sh runs it under a wineserver that is already
// up.
//
//   lumiset_bench_launcher [--menus N] [--shown TITLE] [--exit-after MS] STOP_FILE EXE [ARGUMENT]
//
// Starts EXE (with ARGUMENT, if given) and prints, a line each as it happens:
//   shown MS      with --shown: CreateProcess to a visible top-level "#32770" titled TITLE
//   window MS     CreateProcess to the top-level "#32770" "Property" window (not with --shown:
//                 that program's host comes up before the timing starts)
//   answer MS     CreateProcess to that window's first answer (WM_NULL, sent)
//   menu MS       with --menus: N times, the tray callback (WM_APP + 1000 with WM_RBUTTONUP,
//                 posted as the shell posts it) to the popup menu ("#32768") being visible;
//                 Esc closes the menu before the next one
// then waits until STOP_FILE exists and, with --exit-after, until MS have passed since the start
// (a program of this shape adds its tray icon at its first tick, a second after it is up), posts
// the exit command (WM_COMMAND 32772) and prints
//   exit MS       the post to the process's end
// Status 0 when all went through, 1 when the program did not start, answer or end in time,
// 2 for a bad command line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr char kHostTitle[] = "Property";
constexpr char kMenuClass[] = "#32768";
constexpr UINT kTrayMessage = WM_APP + 1000;
constexpr WPARAM kTrayIconId = 148;
constexpr WPARAM kExitCommand = 32772;
constexpr double kDeadlineMs = 30000;
constexpr DWORD kStopPollMs = 20;
constexpr UINT kAnswerWaitMs = 100;

struct Options {
    int menus = 0;
    double exit_after_ms = 0;
    const char* shown_title = nullptr;
    const char* stop_file = nullptr;
    const char* exe = nullptr;
    const char* argument = nullptr;
};

double NowMs() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency);
}

void Report(const char* what, double ms) {
    std::printf("%s %.2f\n", what, ms);
    std::fflush(stdout);
}

int Fail(const char* why) {
    std::fprintf(stderr, "lumiset_bench_launcher: %s\n", why);
    return 1;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    int at = 1;
    for (; at + 1 < argc && std::strncmp(argv[at], "--", 2) == 0; at += 2) {
        if (std::strcmp(argv[at], "--menus") == 0) {
            options.menus = std::atoi(argv[at + 1]);
        } else if (std::strcmp(argv[at], "--exit-after") == 0) {
            options.exit_after_ms = std::atof(argv[at + 1]);
        } else if (std::strcmp(argv[at], "--shown") == 0) {
            options.shown_title = argv[at + 1];
        } else {
            return false;
        }
    }
    if (argc - at != 2 && argc - at != 3) {
        return false;
    }
    options.stop_file = argv[at];
    options.exe = argv[at + 1];
    options.argument = argc - at == 3 ? argv[at + 2] : nullptr;
    return options.menus >= 0;
}

HWND VisibleWindow(const char* window_class, const char* title) {
    const HWND window = FindWindowA(window_class, title);
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

bool Answers(HWND window) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerWaitMs, &answer) != 0;
}

// Waits until `ready` returns true, checking every millisecond; false at the deadline.
template <typename Ready>
bool WaitFor(double since, Ready ready) {
    while (!ready()) {
        if (NowMs() - since > kDeadlineMs) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

// Wine loads its display driver into a process at the first call that needs it; done here, it
// does not count in the first timing.
void LoadDisplayDriver() {
    const HDC screen = GetDC(nullptr);
    ReleaseDC(nullptr, screen);
    IsWindowVisible(GetDesktopWindow());
}

// One opening of the tray menu, timed from the shell's message to the menu on the screen; then
// Esc, and the host answers again once its menu loop has returned.
bool TimeTrayMenu(HWND host) {
    const double asked = NowMs();
    PostMessageA(host, kTrayMessage, kTrayIconId, WM_RBUTTONUP);
    HWND menu = nullptr;
    if (!WaitFor(asked, [&] { return (menu = VisibleWindow(kMenuClass, nullptr)) != nullptr; })) {
        return false;
    }
    Report("menu", NowMs() - asked);
    const double closing = NowMs();
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
    return WaitFor(closing, [] { return VisibleWindow(kMenuClass, nullptr) == nullptr; }) &&
           WaitFor(closing, [&] { return Answers(host); });
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: lumiset_bench_launcher [--menus N] [--shown TITLE] [--exit-after MS] "
                     "STOP_FILE EXE [ARGUMENT]\n");
        return 2;
    }
    std::string command_line = std::string("\"") + options.exe + "\"";
    if (options.argument != nullptr) {
        command_line += std::string(" ") + options.argument;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};

    LoadDisplayDriver();
    const double started = NowMs();
    if (!CreateProcessA(options.exe, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return Fail("CreateProcess failed");
    }
    CloseHandle(process.hThread);
    const auto running = [&] { return WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0; };

    if (options.shown_title != nullptr) {
        if (!WaitFor(started,
                     [&] {
                         return VisibleWindow(kDialogClass, options.shown_title) != nullptr ||
                                !running();
                     }) ||
            !running()) {
            return Fail("no window shown");
        }
        Report("shown", NowMs() - started);
    }
    HWND host = nullptr;
    if (!WaitFor(started,
                 [&] {
                     return (host = FindWindowA(kDialogClass, kHostTitle)) != nullptr || !running();
                 }) ||
        host == nullptr) {
        return Fail("no host window");
    }
    if (options.shown_title == nullptr) {
        Report("window", NowMs() - started);
    }
    if (!WaitFor(started, [&] { return Answers(host); })) {
        return Fail("the host window does not answer");
    }
    if (options.shown_title == nullptr) {
        Report("answer", NowMs() - started);
    }
    for (int i = 0; i < options.menus; ++i) {
        if (!TimeTrayMenu(host)) {
            return Fail("no tray menu, or it did not close");
        }
    }

    while (GetFileAttributesA(options.stop_file) == INVALID_FILE_ATTRIBUTES) {
        Sleep(kStopPollMs);
    }
    while (NowMs() - started < options.exit_after_ms) {
        Sleep(kStopPollMs);
    }
    const double asked = NowMs();
    PostMessageA(host, WM_COMMAND, kExitCommand, 0);
    if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(kDeadlineMs)) != WAIT_OBJECT_0) {
        return Fail("the program did not end");
    }
    Report("exit", NowMs() - asked);
    CloseHandle(process.hProcess);
    return 0;
}
