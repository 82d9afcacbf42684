#include "device/camera_device.h"

#include <algorithm>

#include "device/device_info_list.h"
#include "device/hardware_id_list.h"
#include "platform/win32.h"

namespace {

using device::DeviceInfoList;

constexpr DWORD kHardwareIdBufferSize = 260;

static_assert(sizeof(SP_PROPCHANGE_PARAMS) == 20, "the property-change request is 20 bytes");

enum class Models { AOnly, AOrB };

// What the walk does after an entry matched.
enum class NextStep { NextEntry, NextDevice, Stop };

bool IsCameraEntry(std::string_view entry, Models models) {
    return device::HardwareIdMatches(entry, kModelAHardwareIdPrefix) ||
           (models == Models::AOrB && device::HardwareIdMatches(entry, kModelBHardwareIdPrefix));
}

// Walks the list's devices in order and calls `on_match` for every hardware-ID entry that names
// a camera of the given models, until the list ends or `on_match` says stop.
template <typename OnMatch>
void ForEachCameraEntry(HDEVINFO list, Models models, OnMatch on_match) {
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA element{};
        element.cbSize = sizeof element;
        if (!SetupDiEnumDeviceInfo(list, index, &element)) {
            return;
        }
        BYTE ids[kHardwareIdBufferSize] = {};
        DWORD type = 0;
        DWORD delivered = 0;
        if (!SetupDiGetDeviceRegistryPropertyA(list, &element, SPDRP_HARDWAREID, &type, ids,
                                               kHardwareIdBufferSize, &delivered)) {
            continue;
        }
        // The walk never reads beyond what the read delivered.
        if (delivered == 0 || delivered > kHardwareIdBufferSize) {
            delivered = kHardwareIdBufferSize;
        }
        for (std::string_view entry : device::HardwareIdEntries({ids, delivered})) {
            if (!IsCameraEntry(entry, models)) {
                continue;
            }
            const NextStep step = on_match(element);
            if (step == NextStep::Stop) {
                return;
            }
            if (step == NextStep::NextDevice) {
                break;
            }
        }
    }
}

// Hands one property-change request to the platform and, when accepted, has the class installer
// carry it out. True when the request was accepted.
bool RequestPropertyChange(HDEVINFO list, SP_DEVINFO_DATA& element, DWORD state_change,
                           DWORD scope) {
    SP_PROPCHANGE_PARAMS request{};
    request.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
    request.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    request.StateChange = state_change;
    request.Scope = scope;
    request.HwProfile = 0;
    if (!SetupDiSetClassInstallParamsA(list, &element, &request.ClassInstallHeader,
                                       sizeof request)) {
        return false;
    }
    SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, list, &element);
    return true;
}

DeviceInfoList InstalledUsbDevices(DWORD flags) {
    return DeviceInfoList(SetupDiGetClassDevsA(nullptr, "USB", nullptr, flags));
}

}  // namespace

bool EnableCamera() {
    const DeviceInfoList list = InstalledUsbDevices(DIGCF_ALLCLASSES);
    if (!list) {
        return false;
    }
    bool enabled = false;
    ForEachCameraEntry(list.Get(), Models::AOnly, [&](SP_DEVINFO_DATA& element) {
        RequestPropertyChange(list.Get(), element, DICS_ENABLE, DICS_FLAG_GLOBAL);
        if (RequestPropertyChange(list.Get(), element, DICS_ENABLE, DICS_FLAG_CONFIGSPECIFIC)) {
            enabled = true;
        }
        return NextStep::NextDevice;
    });
    return enabled;
}

bool DisableCamera() {
    const DeviceInfoList list = InstalledUsbDevices(DIGCF_ALLCLASSES);
    if (!list) {
        return false;
    }
    bool disabled = false;
    ForEachCameraEntry(list.Get(), Models::AOrB, [&](SP_DEVINFO_DATA& element) {
        if (!RequestPropertyChange(list.Get(), element, DICS_DISABLE, DICS_FLAG_CONFIGSPECIFIC)) {
            return NextStep::NextDevice;
        }
        // A failed read leaves both at 0: neither disabled nor started.
        ULONG status = 0;
        ULONG problem = 0;
        CM_Get_DevNode_Status_Ex(&status, &problem, element.DevInst, 0, nullptr);
        if ((status & DN_HAS_PROBLEM) && problem == CM_PROB_DISABLED) {
            disabled = true;
        } else if (status & DN_STARTED) {
            // It would not stop: leave the cameras that can run switched on.
            EnableCamera();
        }
        return NextStep::NextDevice;
    });
    return disabled;
}

CameraStatus QueryCameraStatus() {
    const DeviceInfoList list = InstalledUsbDevices(DIGCF_PRESENT | DIGCF_ALLCLASSES);
    if (!list) {
        return CameraStatusNone;
    }
    CameraStatus result = CameraStatusNone;
    ForEachCameraEntry(list.Get(), Models::AOrB, [&](SP_DEVINFO_DATA& element) {
        ULONG status = 0;
        ULONG problem = 0;
        if (CM_Get_DevNode_Status_Ex(&status, &problem, element.DevInst, 0, nullptr) !=
            CR_SUCCESS) {
            result = CameraStatusQueryFailed;
            return NextStep::Stop;
        }
        if ((status & DN_HAS_PROBLEM) && problem == CM_PROB_DISABLED) {
            result = CameraStatusDisabled;
        }
        if (status & DN_PRIVATE_PROBLEM) {
            result = CameraStatusProblem;
        }
        if (status & DN_STARTED) {
            result = CameraStatusStarted;
        }
        return NextStep::NextEntry;
    });
    return result;
}
