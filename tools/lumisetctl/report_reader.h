// What `lumisetctl info` and `keys` show, read by lumisetctl itself with Lumiset's own device and
// camera code: the device nodes, the stored setting, the camera's and the remembered power-line
// frequency, the stored keys; of the running Lumiset, its rights and what its hidden window says of
// each key. It asks Lumiset nothing and changes nothing.
#pragma once

#include "tools/lumisetctl/lumisetctl_commands.h"

namespace lumisetctl {

// Runs on the calling thread, which it enters into COM for the camera's frequency and leaves.
Report ReadReport();

// The stored keys, and the running Lumiset's word on each; no camera or device is touched.
KeysReport ReadKeysReport();

}  // namespace lumisetctl
