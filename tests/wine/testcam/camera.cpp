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
    const HRESULT result = request(driver);
    AppendToLog(driver.Log(), device == Device::Foreign ? kForeignLogPrefix : "");
    driver.ClearLog();
    return result;
}

}  // namespace testcam
