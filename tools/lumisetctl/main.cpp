// lumisetctl.exe: sends the running Lumiset its window commands by name. See README.md.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "device/camera_key_setting.h"
#include "tools/lumisetctl/lumisetctl_commands.h"
#include "tools/lumisetctl/report_reader.h"
#include "tools/lumisetctl/uninstall_wait.h"

namespace {

std::string ErrorText(const std::string& what, DWORD error) {
    return what + " (error " + std::to_string(error) + ")";
}

class WindowsMachine : public lumisetctl::Machine {
public:
    bool LumisetRunning() override { return Host() != nullptr; }

    Result Post(unsigned command) override {
        const HWND host = Host();
        if (host == nullptr) {
            return {Result::Kind::NotRunning, {}};
        }
        // Posted, not sent: some commands open modal dialogs and would keep us waiting.
        if (!PostMessageA(host, WM_COMMAND, command, 0)) {
            const DWORD error = GetLastError();
            if (error == ERROR_INVALID_WINDOW_HANDLE) {
                return {Result::Kind::NotRunning, {}};  // it ended meanwhile
            }
            return {Result::Kind::Failed, ErrorText("cannot post to Lumiset", error)};
        }
        return {Result::Kind::Done, {}};
    }

    // Lumiset.exe from our own folder; a running copy hands the request on and ends.
    Result StartSettings() override {
        std::string path(MAX_PATH, '\0');
        DWORD length = 0;
        while ((length = GetModuleFileNameA(nullptr, path.data(),
                                            static_cast<DWORD>(path.size()))) == path.size() &&
               path.size() < 32768) {
            path.resize(path.size() * 2);
        }
        if (length == 0 || length == path.size()) {
            return {Result::Kind::Failed,
                    ErrorText("cannot find lumisetctl's own folder", GetLastError())};
        }
        path.resize(length);
        path.erase(path.find_last_of("\\/") + 1);
        path += "Lumiset.exe";

        std::string command_line = "\"" + path + "\" /settings";
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!CreateProcessA(path.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process)) {
            return {Result::Kind::Failed, ErrorText("cannot start " + path, GetLastError())};
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return {Result::Kind::Done, {}};
    }

    bool SettingReadable() override { return lumisetctl::SettingReadable(); }
    bool WaitForNoLumiset(unsigned milliseconds) override {
        return lumisetctl::WaitForNoLumiset(milliseconds);
    }
    lumisetctl::Report ReadReport() override { return lumisetctl::ReadReport(); }
    lumisetctl::KeysReport ReadKeys() override { return lumisetctl::ReadKeysReport(); }

    Result StoreKey(CameraKeySlot slot, CameraKey key) override {
        const LSTATUS status = StoreCameraKey(slot, key);
        if (status != ERROR_SUCCESS) {
            return {Result::Kind::Failed,
                    ErrorText("cannot store the key", static_cast<DWORD>(status))};
        }
        return {Result::Kind::Done, {}};
    }

    Result PostKeysChanged() override {
        const HWND host = Host();
        if (host == nullptr) {
            return {Result::Kind::NotRunning, {}};
        }
        const UINT message = RegisterWindowMessageA(kCameraKeysChangedMessage);
        if (message == 0) {
            return {Result::Kind::Failed, ErrorText("cannot tell Lumiset", GetLastError())};
        }
        if (!PostMessageA(host, message, 0, 0)) {
            const DWORD error = GetLastError();
            if (error == ERROR_INVALID_WINDOW_HANDLE) {
                return {Result::Kind::NotRunning, {}};
            }
            return {Result::Kind::Failed, ErrorText("cannot tell Lumiset", error)};
        }
        return {Result::Kind::Done, {}};
    }

private:
    static HWND Host() { return FindWindowA(lumisetctl::kHostClass, lumisetctl::kHostTitle); }
};

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    WindowsMachine machine;
    const lumisetctl::Outcome outcome = lumisetctl::Run(args, machine);
    std::fputs(outcome.output.c_str(), stdout);
    if (!outcome.error.empty()) {
        std::fprintf(stderr, "lumisetctl: %s\n", outcome.error.c_str());
    }
    return outcome.status;
}
