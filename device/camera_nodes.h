// The installed cameras as a person looks at them: each one's name and the state of its device
// node. Read only.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

namespace device {

struct CameraNodeState {
    enum class Kind {
        Started,
        Disabled,  // by its config flag, as On/Off switches it
        Absent,    // installed, not plugged in
        Problem,   // `problem` tells which
        Stopped,   // none of the above
        Unknown,   // the state could not be read
    };
    Kind kind = Kind::Unknown;
    ULONG problem = 0;
};

struct CameraNode {
    std::string name;  // friendly name, else device description, else first hardware ID
    CameraNodeState state;
};

// Every installed camera of either model, in the system's order.
std::vector<CameraNode> InstalledCameraNodes();

// A node's state from what CM_Get_DevNode_Status_Ex answered.
CameraNodeState NodeStateOf(CONFIGRET answer, ULONG status, ULONG problem);

}  // namespace device
