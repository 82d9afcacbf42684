#include "device/device_enable_setting.h"

#include "device/camera_device.h"

namespace {

constexpr DWORD kCameraOn = 1;

// Reads the value into a 4-byte buffer preset to 1. The stored type is not examined: a shorter
// value fills the low-order bytes, a longer one cannot be read.
bool ReadDeviceEnable(HKEY key, DWORD& setting) {
    setting = kCameraOn;
    DWORD type = 0;
    DWORD size = sizeof setting;
    return RegQueryValueExA(key, kDeviceEnableValueName, nullptr, &type,
                            reinterpret_cast<BYTE*>(&setting), &size) == ERROR_SUCCESS;
}

void WriteDeviceEnable(HKEY key, DWORD value) {
    RegSetValueExA(key, kDeviceEnableValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
}

}  // namespace

void DeviceEnableSetting::OpenDeviceEnableKey() {
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDeviceEnableKeyPath, 0, KEY_READ, DeviceEnableKey.Out());
}

DWORD DeviceEnableSetting::LoadDeviceEnableSetting() {
    OpenDeviceEnableKey();
    DWORD setting = kCameraOn;
    if (!ReadDeviceEnable(DeviceEnableKey.Get(), setting)) {
        setting = kCameraOn;
        framework::RegistryKey writable;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDeviceEnableKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, writable.Out(), nullptr) == ERROR_SUCCESS) {
            // The first read can fail for a passing reason; a stored choice that reads now is
            // the user's and stays. Only a missing or oversized value gets the default.
            if (!ReadDeviceEnable(writable.Get(), setting)) {
                setting = kCameraOn;
                WriteDeviceEnable(writable.Get(), setting);
            }
            writable.Reset();
            // On the very first start the key did not exist yet; without a handle to it the
            // utility would end itself at its first tick.
            if (!DeviceEnableKey) {
                OpenDeviceEnableKey();
            }
        }
    }
    if (setting != 0) {
        EnableCamera();
    } else {
        DisableCamera();
    }
    return setting;
}

void DeviceEnableSetting::StoreDeviceEnableSetting(DWORD value) {
    framework::RegistryKey writable;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDeviceEnableKeyPath, 0, KEY_ALL_ACCESS,
                      writable.Out()) != ERROR_SUCCESS) {
        return;
    }
    WriteDeviceEnable(writable.Get(), value);
}

bool DeviceEnableSetting::IsDeviceEnableReadable() const {
    return ReadStoredSetting().has_value();
}

std::optional<DWORD> DeviceEnableSetting::ReadStoredSetting() const {
    DWORD setting = kCameraOn;
    if (!ReadDeviceEnable(DeviceEnableKey.Get(), setting)) {
        return std::nullopt;
    }
    return setting;
}

void DeviceEnableSetting::CloseDeviceEnableSetting() {
    DeviceEnableKey.Reset();
}
