// What `lumisetctl info` shows, read by lumisetctl itself with Lumiset's own device and camera
// code: the device nodes, the stored setting, the camera's and the remembered power-line frequency,
// and the running Lumiset's rights. It asks Lumiset nothing and changes nothing.
#pragma once

#include "tools/lumisetctl/lumisetctl_commands.h"

namespace lumisetctl {

// Runs on the calling thread, which it enters into COM for the camera's frequency and leaves.
Report ReadReport();

}  // namespace lumisetctl
