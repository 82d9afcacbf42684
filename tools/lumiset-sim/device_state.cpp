#include "tools/lumiset-sim/device_state.h"

namespace console {

std::string DeviceState(const sim::DeviceTree& devices, const sim::DeviceNode& node) {
    const auto status = devices.Status(node.number);
    if (!status) {
        return node.Disabled() ? "disabled" : "started";
    }
    if (status->first & DN_STARTED) {
        return "started";
    }
    if ((status->first & DN_HAS_PROBLEM) && status->second == CM_PROB_DISABLED) {
        return "disabled";
    }
    return "problem";
}

}  // namespace console
