// A key that switches the camera from anywhere, as RegisterHotKey takes it, and its stored form:
// one DWORD with the virtual-key code in bits 0-7 and the MOD_ flags in bits 16-19.
#pragma once

#include <array>
#include <cstddef>

#include "platform/win32.h"

// The three keys, in the order they are listed.
enum class CameraKeySlot { Off, On, Toggle };
inline constexpr std::array<CameraKeySlot, 3> kCameraKeySlots{CameraKeySlot::Off, CameraKeySlot::On,
                                                              CameraKeySlot::Toggle};

inline constexpr DWORD kCameraKeyModifiers = MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN;
// Every bit a stored key may have.
inline constexpr DWORD kCameraKeyBits = (kCameraKeyModifiers << 16) | 0xFF;

struct CameraKey {
    UINT modifiers = 0;  // kCameraKeyModifiers
    UINT vk = 0;         // 0: no key

    bool None() const { return vk == 0; }

    // 0 for no key.
    DWORD Value() const {
        return None() ? 0 : ((modifiers & kCameraKeyModifiers) << 16) | (vk & 0xFF);
    }

    // A value with other bits, or with modifiers but no key, was not written by us: no key.
    static CameraKey FromValue(DWORD value) {
        if ((value & ~kCameraKeyBits) != 0 || (value & 0xFF) == 0) {
            return {};
        }
        return {(value >> 16) & kCameraKeyModifiers, value & 0xFF};
    }

    friend bool operator==(const CameraKey&, const CameraKey&) = default;
};

// The three keys by slot.
using CameraKeys = std::array<CameraKey, kCameraKeySlots.size()>;

inline CameraKey& KeyOf(CameraKeys& keys, CameraKeySlot slot) {
    return keys[static_cast<std::size_t>(slot)];
}
inline const CameraKey& KeyOf(const CameraKeys& keys, CameraKeySlot slot) {
    return keys[static_cast<std::size_t>(slot)];
}
