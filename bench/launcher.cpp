// lumiset_bench_launcher: starts a program of Lumiset's shape from inside Wine and times it, so
// that Wine's own start is not counted. run-bench.sh runs it under a wineserver that is already
// up.
//
//   lumiset_bench_launcher EXE STOP_FILE
//
// Prints, a line each as it happens:
//   window MS     CreateProcess to the top-level "#32770" "Property" window
//   answer MS     CreateProcess to that window's first answer (WM_NULL, sent)
// then waits until STOP_FILE exists, posts the exit command (WM_COMMAND 32772) and prints
//   exit MS       the post to the process's end
// Status 0 when all went through, 1 when the program did not start, answer or end in time,
// 2 for a bad command line.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr char kHostClass[] = "#32770";
constexpr char kHostTitle[] = "Property";
constexpr WPARAM kExitCommand = 32772;
constexpr double kDeadlineMs = 30000;
constexpr DWORD kStopPollMs = 20;

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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: lumiset_bench_launcher EXE STOP_FILE\n");
        return 2;
    }
    std::string command_line = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};

    const double started = NowMs();
    if (!CreateProcessA(argv[1], command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return Fail("CreateProcess failed");
    }
    CloseHandle(process.hThread);

    HWND host = nullptr;
    while ((host = FindWindowA(kHostClass, kHostTitle)) == nullptr) {
        if (NowMs() - started > kDeadlineMs || WaitForSingleObject(process.hProcess, 0) == 0) {
            return Fail("no host window");
        }
        Sleep(1);
    }
    Report("window", NowMs() - started);
    DWORD_PTR answer = 0;
    while (SendMessageTimeoutA(host, WM_NULL, 0, 0, SMTO_NORMAL, 100, &answer) == 0) {
        if (NowMs() - started > kDeadlineMs) {
            return Fail("the host window does not answer");
        }
    }
    Report("answer", NowMs() - started);

    while (GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES) {
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
