// What the camera's driver package writes to the registry when the camera is installed: its
// own key, naming each driver instance's settings key, and the instance's entry in the imaging
// device class (under HKEY_LOCAL_MACHINE).
#pragma once

#include <string_view>

namespace sim {

class Registry;

namespace driver_registry {

inline constexpr std::string_view kDriverKey = "SOFTWARE\\KESTRA\\LUMCAM\\KLV2DRV";
// REG_DWORD: how many instances the driver has set up.
inline constexpr std::string_view kInstanceCountValue = "InstanceIndex";
// REG_SZ: the kernel path of the first instance's settings key.
inline constexpr std::string_view kFirstInstanceValue = "ii0001";
inline constexpr std::string_view kFirstInstancePath =
    "\\Registry\\MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\"
    "{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0000\\Settings";

// The first instance's key in the imaging device class, and its description.
inline constexpr std::string_view kInstanceKey =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0000";
inline constexpr std::string_view kDriverDescValue = "DriverDesc";
inline constexpr std::string_view kDriverDesc = "CV Lumen Webcam Driver";

// Writes the values above, creating the keys as needed.
void Install(Registry& registry);

}  // namespace driver_registry
}  // namespace sim
