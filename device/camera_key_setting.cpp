#include "device/camera_key_setting.h"

#include "framework/registry_key.h"

namespace {

// What a present value means: REG_DWORD of 4 bytes, else no key.
CameraKey ReadPresentKey(HKEY key, const char* name, const CameraKey& absent) {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LSTATUS status =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (status == ERROR_FILE_NOT_FOUND) {
        return absent;
    }
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) {
        return {};
    }
    return CameraKey::FromValue(value);
}

}  // namespace

const char* CameraKeyValueName(CameraKeySlot slot) {
    switch (slot) {
        case CameraKeySlot::Off:
            return "HotkeyOff";
        case CameraKeySlot::On:
            return "HotkeyOn";
        case CameraKeySlot::Toggle:
            break;
    }
    return "HotkeyToggle";
}

CameraKey DefaultCameraKey(CameraKeySlot slot) {
    if (slot == CameraKeySlot::Toggle) {
        return {MOD_WIN | MOD_SHIFT, 'O'};
    }
    return {};
}

CameraKeys ReadCameraKeys() {
    CameraKeys keys{};
    framework::RegistryKey key;
    const LSTATUS opened =
        RegOpenKeyExA(HKEY_CURRENT_USER, kCameraKeysPath, 0, KEY_QUERY_VALUE, key.Out());
    for (const CameraKeySlot slot : kCameraKeySlots) {
        if (opened == ERROR_FILE_NOT_FOUND) {
            KeyOf(keys, slot) = DefaultCameraKey(slot);
        } else if (opened == ERROR_SUCCESS) {
            KeyOf(keys, slot) =
                ReadPresentKey(key.Get(), CameraKeyValueName(slot), DefaultCameraKey(slot));
        }
        // A key that cannot be opened for another reason may hold the user's "none": no keys.
    }
    return keys;
}

LSTATUS StoreCameraKey(CameraKeySlot slot, CameraKey key) {
    framework::RegistryKey writable;
    const LSTATUS created = RegCreateKeyExA(HKEY_CURRENT_USER, kCameraKeysPath, 0, nullptr, 0,
                                            KEY_SET_VALUE, nullptr, writable.Out(), nullptr);
    if (created != ERROR_SUCCESS) {
        return created;
    }
    const DWORD value = key.Value();
    return RegSetValueExA(writable.Get(), CameraKeyValueName(slot), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&value), sizeof value);
}

std::optional<CameraKeySlot> SlotSharingKey(const CameraKeys& keys, CameraKeySlot slot,
                                            CameraKey key) {
    if (key.None()) {
        return std::nullopt;
    }
    for (const CameraKeySlot other : kCameraKeySlots) {
        if (other != slot && KeyOf(keys, other) == key) {
            return other;
        }
    }
    return std::nullopt;
}
