#include "platform/sim/camera/driver_registry.h"

#include "platform/sim/api/win32_registry.h"
#include "platform/sim/registry.h"

namespace sim::driver_registry {

void Install(Registry& registry) {
    registry.SetDword(HKEY_LOCAL_MACHINE, kDriverKey, kInstanceCountValue, 1);
    registry.SetString(HKEY_LOCAL_MACHINE, kDriverKey, kFirstInstanceValue, kFirstInstancePath);
    registry.SetString(HKEY_LOCAL_MACHINE, kInstanceKey, kDriverDescValue, kDriverDesc);
}

}  // namespace sim::driver_registry
