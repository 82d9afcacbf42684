#include "camera/power_line_memory.h"

#include <limits>

#include "camera/capture_filter.h"
#include "camera/video_processing.h"
#include "framework/registry_key.h"
#include "platform/win32.h"

// GetProcAmpValue leaves the variable alone when it reads nothing, also when it reports success
// for a filter without the control.
std::optional<std::int32_t> ReadCameraPowerLine(SharedCaptureFilter& filter) {
    constexpr std::int32_t kNotRead = std::numeric_limits<std::int32_t>::min();
    std::int32_t frequency = kNotRead;
    if (GetProcAmpValue(filter, PowerLineFrequencyProperty, frequency) == 0 ||
        frequency == kNotRead) {
        return std::nullopt;
    }
    return frequency;
}

namespace {

std::optional<std::int32_t> CameraPowerLine() {
    return ReadCameraPowerLine(CaptureFilter);
}

void WriteRememberedPowerLine(std::int32_t frequency) {
    framework::RegistryKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRememberedPowerLineKeyPath, 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, key.Out(), nullptr) != ERROR_SUCCESS) {
        return;
    }
    const DWORD value = static_cast<DWORD>(frequency);
    RegSetValueExA(key.Get(), kRememberedPowerLineValueName, 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&value), sizeof value);
}

}  // namespace

std::optional<std::int32_t> ReadRememberedPowerLine() {
    framework::RegistryKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRememberedPowerLineKeyPath, 0, KEY_QUERY_VALUE,
                      key.Out()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key.Get(), kRememberedPowerLineValueName, nullptr, &type,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value) {
        return std::nullopt;
    }
    if (value != static_cast<DWORD>(PowerLine50Hz) && value != static_cast<DWORD>(PowerLine60Hz)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

bool SetAndRememberPowerLine(std::int32_t frequency) {
    // Only a value the camera took is the user's choice to keep.
    if (!SetProcAmpValueAccepted(PowerLineFrequencyProperty, frequency)) {
        return false;
    }
    WriteRememberedPowerLine(frequency);
    return true;
}

void ApplyRememberedPowerLine() {
    const std::optional<std::int32_t> remembered = ReadRememberedPowerLine();
    if (!remembered) {
        return;
    }
    const std::optional<std::int32_t> reported = CameraPowerLine();
    if (!reported || *reported == *remembered) {
        return;
    }
    SetProcAmpValue(PowerLineFrequencyProperty, *remembered);
    CameraPowerLine();
}
