// DeviceInfoList: an owned device-information set.
#pragma once

#include "framework/unique_handle.h"
#include "platform/win32.h"

namespace device {

struct DeviceInfoListTraits {
    using Handle = HDEVINFO;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle list) { SetupDiDestroyDeviceInfoList(list); }
};

using DeviceInfoList = framework::UniqueHandle<DeviceInfoListTraits>;

}  // namespace device
