#include "device/camera_device.h"

#include <algorithm>
#include <vector>

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

// How the platform took one property-change request.
enum class Change {
    Rejected,      // SetupDiSetClassInstallParamsA did not accept it
    Denied,        // the class installer refused it to a user without the rights
    NeedsRestart,  // carried out as far as it goes; the system finishes it at the next restart
    CarriedOut,
};

// Hands one property-change request to the platform and, when accepted, has the class installer
// carry it out.
Change RequestPropertyChange(HDEVINFO list, SP_DEVINFO_DATA& element, DWORD state_change,
                             DWORD scope) {
    SP_PROPCHANGE_PARAMS request{};
    request.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
    request.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    request.StateChange = state_change;
    request.Scope = scope;
    request.HwProfile = 0;
    if (!SetupDiSetClassInstallParamsA(list, &element, &request.ClassInstallHeader,
                                       sizeof request)) {
        return Change::Rejected;
    }
    if (!SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, list, &element) &&
        GetLastError() == ERROR_ACCESS_DENIED) {
        return Change::Denied;
    }
    SP_DEVINSTALL_PARAMS_A params{};
    params.cbSize = sizeof params;
    if (SetupDiGetDeviceInstallParamsA(list, &element, &params) &&
        (params.Flags & (DI_NEEDRESTART | DI_NEEDREBOOT)) != 0) {
        return Change::NeedsRestart;
    }
    return Change::CarriedOut;
}

// Why the devices of one walk did not switch; the most telling reason wins.
struct WhyNotSwitched {
    bool denied = false;
    bool in_use = false;
    bool needs_restart = false;

    void Note(Change change) {
        denied = denied || change == Change::Denied;
        needs_restart = needs_restart || change == Change::NeedsRestart;
    }
    CameraSwitchResult Result() const {
        if (denied) {
            return CameraSwitchResult::NeedsAdministrator;
        }
        if (in_use) {
            return CameraSwitchResult::CameraInUse;
        }
        if (needs_restart) {
            return CameraSwitchResult::NeedsRestart;
        }
        return CameraSwitchResult::NoCamera;
    }
};

struct NodeStatus {
    bool disabled = false;
    bool started = false;
};

// A failed read leaves both at 0: neither disabled nor started.
NodeStatus ReadNodeStatus(DEVINST node) {
    ULONG status = 0;
    ULONG problem = 0;
    CM_Get_DevNode_Status_Ex(&status, &problem, node, 0, nullptr);
    return {(status & DN_HAS_PROBLEM) != 0 && problem == CM_PROB_DISABLED,
            (status & DN_STARTED) != 0};
}

DeviceInfoList InstalledUsbDevices(DWORD flags) {
    return DeviceInfoList(SetupDiGetClassDevsA(nullptr, "USB", nullptr, flags));
}

}  // namespace

CameraSwitchResult EnableCamera() {
    const DeviceInfoList list = InstalledUsbDevices(DIGCF_ALLCLASSES);
    if (!list) {
        return CameraSwitchResult::NoCamera;
    }
    bool enabled = false;
    WhyNotSwitched why;
    ForEachCameraEntry(list.Get(), Models::AOnly, [&](SP_DEVINFO_DATA& element) {
        why.Note(RequestPropertyChange(list.Get(), element, DICS_ENABLE, DICS_FLAG_GLOBAL));
        const Change change =
            RequestPropertyChange(list.Get(), element, DICS_ENABLE, DICS_FLAG_CONFIGSPECIFIC);
        why.Note(change);
        enabled = enabled || change == Change::CarriedOut;
        return NextStep::NextDevice;
    });
    if (enabled) {
        return why.needs_restart ? CameraSwitchResult::NeedsRestart : CameraSwitchResult::Switched;
    }
    return why.Result();
}

CameraSwitchResult DisableCamera() {
    const DeviceInfoList list = InstalledUsbDevices(DIGCF_ALLCLASSES);
    if (!list) {
        return CameraSwitchResult::NoCamera;
    }
    // The devices that reported themselves disabled since the last roll-back.
    std::vector<DEVINST> disabled;
    WhyNotSwitched why;
    ForEachCameraEntry(list.Get(), Models::AOrB, [&](SP_DEVINFO_DATA& element) {
        const Change change =
            RequestPropertyChange(list.Get(), element, DICS_DISABLE, DICS_FLAG_CONFIGSPECIFIC);
        why.Note(change);
        // A change the system finishes at restart is not rolled back: that would cancel it.
        if (change != Change::CarriedOut) {
            return NextStep::NextDevice;
        }
        const NodeStatus status = ReadNodeStatus(element.DevInst);
        if (status.disabled) {
            disabled.push_back(element.DevInst);
        } else if (status.started) {
            // It would not stop: leave the cameras that can run switched on. That enables the
            // ones disabled so far again.
            EnableCamera();
            disabled.clear();
            why.in_use = true;
        }
        return NextStep::NextDevice;
    });
    // Only what is still off at the end counts: the user's choice is stored on this result.
    const bool still_disabled =
        !disabled.empty() && std::all_of(disabled.begin(), disabled.end(), [](DEVINST node) {
            return ReadNodeStatus(node).disabled;
        });
    if (still_disabled) {
        // Another camera waits for the restart to stop: the switch is not done until then.
        return why.needs_restart ? CameraSwitchResult::NeedsRestart : CameraSwitchResult::Switched;
    }
    why.in_use = why.in_use || !disabled.empty();
    return why.Result();
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

namespace {

void ForEachCamera(DWORD flags, const std::function<void(HDEVINFO, SP_DEVINFO_DATA&)>& visit) {
    const DeviceInfoList list = InstalledUsbDevices(flags);
    if (!list) {
        return;
    }
    ForEachCameraEntry(list.Get(), Models::AOrB, [&](SP_DEVINFO_DATA& element) {
        visit(list.Get(), element);
        return NextStep::NextDevice;
    });
}

}  // namespace

void ForEachInstalledCamera(const std::function<void(HDEVINFO, SP_DEVINFO_DATA&)>& visit) {
    ForEachCamera(DIGCF_ALLCLASSES, visit);
}

void ForEachPresentCamera(const std::function<void(HDEVINFO, SP_DEVINFO_DATA&)>& visit) {
    ForEachCamera(DIGCF_PRESENT | DIGCF_ALLCLASSES, visit);
}
