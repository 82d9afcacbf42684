#include "device/camera_nodes.h"

#include <array>
#include <string_view>

#include "device/camera_device.h"
#include "device/hardware_id_list.h"

namespace device {

namespace {

constexpr DWORD kPropertyBufferSize = 512;

// A text property of the node, or "" when it has none.
std::string TextProperty(HDEVINFO list, SP_DEVINFO_DATA& element, DWORD property) {
    std::array<BYTE, kPropertyBufferSize> buffer{};
    DWORD type = 0;
    DWORD delivered = 0;
    if (!SetupDiGetDeviceRegistryPropertyA(list, &element, property, &type, buffer.data(),
                                           kPropertyBufferSize - 1, &delivered)) {
        return {};
    }
    // The buffer keeps a NUL at its end, so a text without one still ends.
    return std::string(reinterpret_cast<const char*>(buffer.data()));
}

std::string FirstHardwareId(HDEVINFO list, SP_DEVINFO_DATA& element) {
    std::array<BYTE, kPropertyBufferSize> buffer{};
    DWORD type = 0;
    DWORD delivered = 0;
    if (!SetupDiGetDeviceRegistryPropertyA(list, &element, SPDRP_HARDWAREID, &type, buffer.data(),
                                           kPropertyBufferSize, &delivered)) {
        return {};
    }
    if (delivered == 0 || delivered > kPropertyBufferSize) {
        delivered = kPropertyBufferSize;
    }
    const auto entries = HardwareIdEntries({buffer.data(), delivered});
    return entries.empty() ? std::string() : std::string(entries.front());
}

std::string NodeName(HDEVINFO list, SP_DEVINFO_DATA& element) {
    for (const DWORD property :
         {static_cast<DWORD>(SPDRP_FRIENDLYNAME), static_cast<DWORD>(SPDRP_DEVICEDESC)}) {
        if (std::string name = TextProperty(list, element, property); !name.empty()) {
            return name;
        }
    }
    return FirstHardwareId(list, element);
}

}  // namespace

CameraNodeState NodeStateOf(CONFIGRET answer, ULONG status, ULONG problem) {
    using Kind = CameraNodeState::Kind;
    if (answer == CR_NO_SUCH_DEVINST) {
        return {Kind::Absent, 0};
    }
    if (answer != CR_SUCCESS) {
        return {Kind::Unknown, 0};
    }
    if (status & DN_STARTED) {
        return {Kind::Started, 0};
    }
    if (status & DN_HAS_PROBLEM) {
        return problem == CM_PROB_DISABLED ? CameraNodeState{Kind::Disabled, 0}
                                           : CameraNodeState{Kind::Problem, problem};
    }
    return {Kind::Stopped, 0};
}

std::vector<CameraNode> InstalledCameraNodes() {
    std::vector<CameraNode> nodes;
    ForEachInstalledCamera([&nodes](HDEVINFO list, SP_DEVINFO_DATA& element) {
        ULONG status = 0;
        ULONG problem = 0;
        const CONFIGRET answer =
            CM_Get_DevNode_Status_Ex(&status, &problem, element.DevInst, 0, nullptr);
        nodes.push_back({NodeName(list, element), NodeStateOf(answer, status, problem)});
    });
    return nodes;
}

}  // namespace device
