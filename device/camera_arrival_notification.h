// CameraArrivalNotification: the registration that makes the system tell a window when a camera's
// video interface arrives (WM_DEVICECHANGE, DBT_DEVICEARRIVAL). It ends with its owner.
#pragma once

#include "framework/unique_handle.h"
#include "platform/win32.h"

namespace device {

struct DeviceNotificationTraits {
    using Handle = HDEVNOTIFY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle notification) { UnregisterDeviceNotification(notification); }
};

}  // namespace device

using CameraArrivalNotification = framework::UniqueHandle<device::DeviceNotificationTraits>;

// Registers `window` for arrivals of the video capture interface class; an empty owner when the
// system refuses (DBT_DEVNODES_CHANGED still reaches every top-level window).
CameraArrivalNotification RegisterCameraArrival(HWND window);
