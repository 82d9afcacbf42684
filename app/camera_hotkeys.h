// The keys that switch the camera from anywhere, registered on the hidden window from what the
// user stored: at start, again whenever they change, and let go before the window goes. A key that
// another program holds does not work; the window says so to lumisetctl (a property a key), and
// the caller names it once.
#pragma once

#include <array>
#include <optional>

#include "device/camera_key.h"
#include "platform/win32.h"

class CameraHotkeys {
public:
    // Lets go of what `host` holds and registers the stored keys anew; the first key that could
    // not be had, if any.
    std::optional<CameraKey> Register(HWND host);
    // Lets go of every key and of what the window says of them.
    void Unregister(HWND host);

    // Which key a WM_HOTKEY names, when it is one of ours.
    static std::optional<CameraKeySlot> SlotOf(WPARAM id);

private:
    std::array<bool, kCameraKeySlots.size()> m_held{};
};
