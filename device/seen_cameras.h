// SeenCameras: the camera device nodes the host has seen present, by device instance ID. A
// camera that arrives is news only when its node was not among them: the nodes that the host's
// own roll-back starts again, or that come back into the port they left, were there before.
#pragma once

#include <set>
#include <string>

namespace device {

class SeenCameras {
public:
    // Looks at the cameras present now and remembers them; true when one was not seen before.
    bool Look();

private:
    std::set<std::string> seen_;
};

}  // namespace device
