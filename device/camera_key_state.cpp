#include "device/camera_key_state.h"

const char* CameraKeyPropertyName(CameraKeySlot slot) {
    switch (slot) {
        case CameraKeySlot::Off:
            return "LumisetKeyOff";
        case CameraKeySlot::On:
            return "LumisetKeyOn";
        case CameraKeySlot::Toggle:
            break;
    }
    return "LumisetKeyToggle";
}

bool PublishCameraKeyState(HWND window, CameraKeySlot slot, CameraKey key, bool held) {
    if (key.None()) {
        RemovePropA(window, CameraKeyPropertyName(slot));
        return true;
    }
    const std::uintptr_t state = key.Value() | (held ? kCameraKeyHeld : kCameraKeyRefused);
    return SetPropA(window, CameraKeyPropertyName(slot), reinterpret_cast<HANDLE>(state)) != FALSE;
}

void RemoveCameraKeyStates(HWND window) {
    for (const CameraKeySlot slot : kCameraKeySlots) {
        RemovePropA(window, CameraKeyPropertyName(slot));
    }
}

CameraKeyState ReadCameraKeyState(HWND window, CameraKeySlot slot, CameraKey stored) {
    const auto state =
        reinterpret_cast<std::uintptr_t>(GetPropA(window, CameraKeyPropertyName(slot)));
    if (state == 0) {
        return CameraKeyState::Unpublished;
    }
    if ((state & kCameraKeyBits) != stored.Value()) {
        return CameraKeyState::Stale;
    }
    if ((state & ~static_cast<std::uintptr_t>(kCameraKeyBits)) == kCameraKeyHeld) {
        return CameraKeyState::Held;
    }
    if ((state & ~static_cast<std::uintptr_t>(kCameraKeyBits)) == kCameraKeyRefused) {
        return CameraKeyState::Refused;
    }
    return CameraKeyState::Unpublished;
}
