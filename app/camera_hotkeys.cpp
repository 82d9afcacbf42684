#include "app/camera_hotkeys.h"

#include "device/camera_key_setting.h"
#include "device/camera_key_state.h"

namespace {

// Ids of our own for RegisterHotKey, one a slot (an application's are below 0xC000).
constexpr int kFirstId = 0x4C00;

int IdOf(CameraKeySlot slot) {
    return kFirstId + static_cast<int>(slot);
}

}  // namespace

std::optional<CameraKey> CameraHotkeys::Register(HWND host) {
    const CameraKeys keys = ReadCameraKeys();
    std::optional<CameraKey> refused;
    for (const CameraKeySlot slot : kCameraKeySlots) {
        auto& held = m_held[static_cast<std::size_t>(slot)];
        if (held) {
            UnregisterHotKey(host, IdOf(slot));
            held = false;
        }
        const CameraKey key = KeyOf(keys, slot);
        if (!key.None()) {
            // A key held down switches once.
            held = RegisterHotKey(host, IdOf(slot), key.modifiers | MOD_NOREPEAT, key.vk) != FALSE;
            if (!held && !refused) {
                refused = key;
            }
        }
        PublishCameraKeyState(host, slot, key, held);
    }
    return refused;
}

void CameraHotkeys::Unregister(HWND host) {
    for (const CameraKeySlot slot : kCameraKeySlots) {
        if (auto& held = m_held[static_cast<std::size_t>(slot)]; held) {
            UnregisterHotKey(host, IdOf(slot));
            held = false;
        }
    }
    RemoveCameraKeyStates(host);
}

std::optional<CameraKeySlot> CameraHotkeys::SlotOf(WPARAM id) {
    for (const CameraKeySlot slot : kCameraKeySlots) {
        if (id == static_cast<WPARAM>(IdOf(slot))) {
            return slot;
        }
    }
    return std::nullopt;
}
