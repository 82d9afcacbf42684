// The user's keys that switch the camera, kept per user beside the remembered frequency:
// REG_DWORD values HotkeyOff, HotkeyOn and HotkeyToggle in CameraKey's stored form. An absent
// value is the default; a value of another type or size, or with bits we never write, is no key
// and stays as it is: only an explicit change by the user writes.
#pragma once

#include <optional>

#include "device/camera_key.h"
#include "platform/win32.h"

inline constexpr const char* kCameraKeysPath = "Software\\Corvance\\CV Lumen Webcam";

const char* CameraKeyValueName(CameraKeySlot slot);

// The toggle is Win+Shift+O; off and on have none.
CameraKey DefaultCameraKey(CameraKeySlot slot);

// Each value read once, now; nothing is kept between reads.
CameraKeys ReadCameraKeys();

// Writes one key (0 for none, which is not the default); ERROR_SUCCESS or why not.
LSTATUS StoreCameraKey(CameraKeySlot slot, CameraKey key);

// Another slot than `slot` that already has `key`: two of our keys cannot be one.
std::optional<CameraKeySlot> SlotSharingKey(const CameraKeys& keys, CameraKeySlot slot,
                                            CameraKey key);
