#include "tools/lumisetctl/report_reader.h"

#include "camera/capture_filter.h"
#include "camera/power_line_memory.h"
#include "device/camera_key_setting.h"
#include "device/camera_nodes.h"
#include "device/device_enable_setting.h"
#include "framework/kernel_handle.h"
#include "platform/win32.h"

namespace lumisetctl {

namespace {

// The calling thread's COM apartment, for as long as it lives.
class ComApartment {
public:
    ComApartment() : entered_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComApartment() {
        if (entered_) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool entered_;
};

// Whether the process that made `window` runs with administrator rights (an elevated token);
// nothing when that cannot be told.
std::optional<bool> ProcessElevated(HWND window) {
    DWORD process_id = 0;
    if (GetWindowThreadProcessId(window, &process_id) == 0 || process_id == 0) {
        return std::nullopt;
    }
    const framework::KernelHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
    if (!process) {
        return std::nullopt;
    }
    framework::KernelHandle token;
    if (!OpenProcessToken(process.Get(), TOKEN_QUERY, token.Out())) {
        return std::nullopt;
    }
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size)) {
        return std::nullopt;
    }
    return elevation.TokenIsElevated != 0;
}

Report::Camera::State StateOf(device::CameraNodeState::Kind kind) {
    using Kind = device::CameraNodeState::Kind;
    using State = Report::Camera::State;
    switch (kind) {
        case Kind::Started:
            return State::Started;
        case Kind::Disabled:
            return State::Disabled;
        case Kind::Absent:
            return State::Absent;
        case Kind::Problem:
            return State::Problem;
        case Kind::Stopped:
            return State::Stopped;
        case Kind::Unknown:
            break;
    }
    return State::Unknown;
}

// Bound through a reference of our own for the read and released after it.
std::optional<long> CameraPowerLine() {
    const ComApartment com;
    SharedCaptureFilter filter;
    return ReadCameraPowerLine(filter);
}

KeysReport KeysOf(HWND host) {
    KeysReport report;
    report.running = host != nullptr;
    const CameraKeys keys = ReadCameraKeys();
    for (const CameraKeySlot slot : kCameraKeySlots) {
        KeysReport::Key& key = report.keys[static_cast<std::size_t>(slot)];
        key.key = KeyOf(keys, slot);
        if (host) {
            key.state = ReadCameraKeyState(host, slot, key.key);
        }
    }
    return report;
}

}  // namespace

KeysReport ReadKeysReport() {
    return KeysOf(FindWindowA(kHostClass, kHostTitle));
}

Report ReadReport() {
    Report report;
    const HWND host = FindWindowA(kHostClass, kHostTitle);
    if (host) {
        report.running = true;
        report.administrator = ProcessElevated(host);
    }
    for (const device::CameraNode& node : device::InstalledCameraNodes()) {
        report.cameras.push_back({node.name, StateOf(node.state.kind), node.state.problem});
    }
    DeviceEnableSetting setting;
    setting.OpenDeviceEnableKey();
    report.stored_setting = setting.ReadStoredSetting();
    report.power_line = CameraPowerLine();
    report.remembered_power_line = ReadRememberedPowerLine();
    report.keys = KeysOf(host);
    return report;
}

}  // namespace lumisetctl
