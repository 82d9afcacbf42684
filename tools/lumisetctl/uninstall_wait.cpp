#include "tools/lumisetctl/uninstall_wait.h"

// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace lumisetctl {
namespace {

constexpr wchar_t kSettingKey[] = L"SOFTWARE\\Corvance\\CV Lumen Webcam";
constexpr wchar_t kSettingValue[] = L"DeviceEnable";
constexpr wchar_t kProgramFile[] = L"Lumiset.exe";
constexpr int kLongestWait = 600;

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// While the value can be read, every Lumiset runs on (an upgrade keeps it): nothing to wait for.
bool SettingReadable() {
    DWORD value = 0;
    DWORD size = sizeof value;
    return RegGetValueW(HKEY_LOCAL_MACHINE, kSettingKey, kSettingValue,
                        RRF_RT_ANY | RRF_SUBKEY_WOW6464KEY, nullptr, &value,
                        &size) == ERROR_SUCCESS;
}

// Every running Lumiset.exe that we may wait for.
std::vector<Handle> LumisetProcesses() {
    std::vector<Handle> processes;
    const Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.get() == INVALID_HANDLE_VALUE) {
        return processes;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (lstrcmpiW(entry.szExeFile, kProgramFile) != 0) {
            continue;
        }
        if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
            processes.emplace_back(process);
        }
    }
    return processes;
}

int WaitForLumisetToEnd(DWORD timeout_ms) {
    if (SettingReadable()) {
        return 0;
    }
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    for (;;) {
        const std::vector<Handle> processes = LumisetProcesses();
        if (processes.empty()) {
            return 0;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return 1;
        }
        // The first ones the system can wait for at once; the next round looks again.
        std::vector<HANDLE> handles;
        for (const Handle& process : processes) {
            if (handles.size() == MAXIMUM_WAIT_OBJECTS) {
                break;
            }
            handles.push_back(process.get());
        }
        WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE,
                               static_cast<DWORD>(deadline - now));
    }
}

}  // namespace

bool RunUninstallWait(const std::vector<std::string>& args, int& status) {
    if (args.empty() || args[0] != "--uninstall-wait") {
        return false;
    }
    int seconds = -1;
    if (args.size() == 2 && !args[1].empty() && args[1].size() <= 3 &&
        std::all_of(args[1].begin(), args[1].end(), [](char c) { return c >= '0' && c <= '9'; })) {
        seconds = std::stoi(args[1]);
    }
    if (seconds < 0 || seconds > kLongestWait) {
        std::fputs("lumisetctl: --uninstall-wait needs SECONDS, 0 to 600\n", stderr);
        status = 2;
        return true;
    }
    status = WaitForLumisetToEnd(static_cast<DWORD>(seconds) * 1000);
    return true;
}

}  // namespace lumisetctl
