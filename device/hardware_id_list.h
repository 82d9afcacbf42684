// Reading a device's hardware-ID multi-string and testing its entries against a model's prefix.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace device {

// The complete entries of a multi-string, in order, up to its closing empty entry. Only the
// given bytes are read: when the closing entry is not among them the list ends at the last
// complete entry, and an entry cut off by the end is left out.
std::vector<std::string_view> HardwareIdEntries(std::span<const unsigned char> bytes);

// True when `entry`, with the letters a to z upper-cased, begins with `prefix` byte for byte.
bool HardwareIdMatches(std::string_view entry, std::string_view prefix);

}  // namespace device
