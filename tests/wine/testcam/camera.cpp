#include "tests/wine/testcam/camera.h"

#include <cwchar>
#include <mutex>
#include <string>
#include <vector>

#include "tests/wine/testcam/testcam_ids.h"

namespace testcam {

namespace {

// Long enough for any path Windows accepts.
constexpr DWORD kPathCapacity = 32768;

std::mutex& ModelLock() {
    static std::mutex lock;
    return lock;
}

// 1 or 2 from LUMISET_TESTCAM_POWERLINE; anything else leaves the model's own start value.
void StartPowerLineFromEnvironment(sim::CameraDriver& driver) {
    wchar_t text[8] = {};
    const DWORD length = GetEnvironmentVariableW(kPowerLineVariable, text, 8);
    if (length == 1 && (text[0] == L'1' || text[0] == L'2')) {
        driver.SetPowerLine(text[0] - L'0');
    }
}

sim::CameraDriver& Model(Device device) {
    static sim::CameraDriver camera = [] {
        sim::CameraDriver driver;
        driver.property_pages() = {kPageClsid};
        StartPowerLineFromEnvironment(driver);
        return driver;
    }();
    static sim::CameraDriver foreign = [] {
        sim::CameraDriver driver;
        driver.property_pages().clear();
        return driver;
    }();
    return device == Device::Camera ? camera : foreign;
}

// The frequency another process left in the file LUMISET_TESTCAM_POWERLINE_CHANGE names, taken
// once: the file goes. Not a request, so not logged.
void TakePowerLineChange(sim::CameraDriver& driver) {
    std::vector<wchar_t> path(kPathCapacity);
    const DWORD length =
        GetEnvironmentVariableW(kPowerLineChangeVariable, path.data(), kPathCapacity);
    if (length == 0 || length >= kPathCapacity) {
        return;
    }
    const HANDLE file = CreateFileW(path.data(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    char text[4] = {};
    DWORD read = 0;
    const BOOL done = ReadFile(file, text, sizeof text - 1, &read, nullptr);
    CloseHandle(file);
    DeleteFileW(path.data());
    if (done && read >= 1 && (text[0] == '1' || text[0] == '2')) {
        driver.SetPowerLine(text[0] - '0');
    }
}

// Opened, appended to and closed for every request, so that another process reading the file
// sees each line as soon as the request returns.
void AppendToLog(const std::vector<std::string>& lines, const char* prefix) {
    if (lines.empty()) {
        return;
    }
    std::vector<wchar_t> path(kPathCapacity);
    const DWORD length = GetEnvironmentVariableW(kLogVariable, path.data(), kPathCapacity);
    if (length == 0 || length >= kPathCapacity) {
        return;
    }
    std::string text;
    for (const std::string& line : lines) {
        text += prefix;
        text += line;
        text += '\n';
    }
    const HANDLE file = CreateFileW(path.data(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

HRESULT Ask(Device device, const std::function<HRESULT(sim::CameraDriver&)>& request) {
    const std::lock_guard<std::mutex> held(ModelLock());
    sim::CameraDriver& driver = Model(device);
    if (device == Device::Camera) {
        TakePowerLineChange(driver);
    }
    const HRESULT result = request(driver);
    AppendToLog(driver.Log(), device == Device::Foreign ? kForeignLogPrefix : "");
    driver.ClearLog();
    return result;
}

}  // namespace testcam
