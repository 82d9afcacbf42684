// The stored on/off choice for the camera: "DeviceEnable" under HKEY_LOCAL_MACHINE
// "SOFTWARE\Corvance\CV Lumen Webcam", applied at every start. The read handle kept from start
// to exit also keeps the utility alive: once the value cannot be read through it, the host ends.
#pragma once

#include <optional>

#include "framework/registry_key.h"
#include "platform/win32.h"

inline constexpr const char* kDeviceEnableKeyPath = "SOFTWARE\\Corvance\\CV Lumen Webcam";
inline constexpr const char* kDeviceEnableValueName = "DeviceEnable";

class DeviceEnableSetting {
public:
    // Opens DeviceEnableKey, reads the setting (writing the default 1 where it cannot be read)
    // and switches the camera on or off to match. Returns the setting it went by.
    DWORD LoadDeviceEnableSetting();

    // Opens DeviceEnableKey for reading only, as a program that just looks does; changes nothing.
    void OpenDeviceEnableKey();

    // Writes 1 (on) or 0 (off) where the key exists; never creates the key.
    void StoreDeviceEnableSetting(DWORD value);

    // Whether "DeviceEnable" can still be read through DeviceEnableKey.
    bool IsDeviceEnableReadable() const;
    // The value read through DeviceEnableKey (nonzero: on), or nothing when it cannot be read.
    std::optional<DWORD> ReadStoredSetting() const;

    void CloseDeviceEnableSetting();

private:
    framework::RegistryKey DeviceEnableKey;
};
