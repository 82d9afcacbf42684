#include "tools/lumisetctl/uninstall_wait.h"

// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

#include <memory>
#include <vector>

namespace lumisetctl {
namespace {

constexpr wchar_t kSettingKey[] = L"SOFTWARE\\Corvance\\CV Lumen Webcam";
constexpr wchar_t kSettingValue[] = L"DeviceEnable";
constexpr wchar_t kProgramFile[] = L"Lumiset.exe";

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

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

}  // namespace

// Asked without a buffer: a value of any type and length counts.
bool SettingReadable() {
    return RegGetValueW(HKEY_LOCAL_MACHINE, kSettingKey, kSettingValue,
                        RRF_RT_ANY | RRF_SUBKEY_WOW6464KEY, nullptr, nullptr,
                        nullptr) == ERROR_SUCCESS;
}

bool WaitForNoLumiset(unsigned milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        const std::vector<Handle> processes = LumisetProcesses();
        if (processes.empty()) {
            return true;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return false;
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

}  // namespace lumisetctl
