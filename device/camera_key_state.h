// How the running Lumiset and lumisetctl speak of the keys. lumisetctl posts the registered
// message kCameraKeysChangedMessage to the hidden window after it stored a key; Lumiset reads the
// keys again. Lumiset tells whether it holds each key by a property of its hidden window (one per
// key, readable by any program on the desktop, gone with the window): the key it tried to
// register in the stored form, with kCameraKeyHeld or kCameraKeyRefused.
#pragma once

#include <cstdint>

#include "device/camera_key.h"
#include "platform/win32.h"

inline constexpr const char* kCameraKeysChangedMessage = "LumisetKeysChanged";

inline constexpr std::uintptr_t kCameraKeyHeld = 0x01000000;
inline constexpr std::uintptr_t kCameraKeyRefused = 0x02000000;

// "LumisetKeyOff", "LumisetKeyOn", "LumisetKeyToggle".
const char* CameraKeyPropertyName(CameraKeySlot slot);

// After each registration: whether `key` is now held (RegisterHotKey succeeded). No key removes
// the property. False when the property could not be set.
bool PublishCameraKeyState(HWND window, CameraKeySlot slot, CameraKey key, bool held);
// Before the window goes.
void RemoveCameraKeyStates(HWND window);

enum class CameraKeyState {
    Unpublished,  // the window tells nothing of this key
    Held,
    Refused,  // another program holds the key, or the system refused it
    Stale,    // the window speaks of another key: the change is not taken yet
};
// What `window` says of `stored`, the key as stored now.
CameraKeyState ReadCameraKeyState(HWND window, CameraKeySlot slot, CameraKey stored);
