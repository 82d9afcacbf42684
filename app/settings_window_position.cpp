#include "app/settings_window_position.h"

#include <cstdint>

#include "camera/power_line_memory.h"
#include "framework/registry_key.h"

namespace {

constexpr const char* kPositionValueName = "SettingsWindowPosition";

struct StoredCorner {
    std::int32_t x;
    std::int32_t y;
};

}  // namespace

std::optional<POINT> ReadSettingsWindowPosition() {
    framework::RegistryKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRememberedPowerLineKeyPath, 0, KEY_QUERY_VALUE,
                      key.Out()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    StoredCorner corner{};
    DWORD type = 0;
    DWORD size = sizeof corner;
    if (RegQueryValueExA(key.Get(), kPositionValueName, nullptr, &type,
                         reinterpret_cast<BYTE*>(&corner), &size) != ERROR_SUCCESS ||
        type != REG_BINARY || size != sizeof corner) {
        return std::nullopt;
    }
    return POINT{corner.x, corner.y};
}

void KeepSettingsWindowPosition(POINT corner) {
    framework::RegistryKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRememberedPowerLineKeyPath, 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, key.Out(), nullptr) != ERROR_SUCCESS) {
        return;
    }
    const StoredCorner stored{static_cast<std::int32_t>(corner.x),
                              static_cast<std::int32_t>(corner.y)};
    RegSetValueExA(key.Get(), kPositionValueName, 0, REG_BINARY,
                   reinterpret_cast<const BYTE*>(&stored), sizeof stored);
}
