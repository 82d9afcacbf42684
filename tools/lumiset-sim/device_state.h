// A USB device node's state as the console names it: started, disabled or problem.
#pragma once

#include <string>

#include "platform/sim/device_tree.h"

namespace console {

std::string DeviceState(const sim::DeviceTree& devices, const sim::DeviceNode& node);

}  // namespace console
