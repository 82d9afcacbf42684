// Any bytes a device may report as its hardware-ID list: the walk stays inside them and returns
// the complete, non-empty entries in order, one right after the other from the first byte on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "device/hardware_id_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto* begin = reinterpret_cast<const char*>(data);
    const char* next = begin;
    for (std::string_view entry : device::HardwareIdEntries({data, size})) {
        if (entry.empty() || entry.data() != next || entry.data() + entry.size() >= begin + size ||
            entry.data()[entry.size()] != '\0') {
            std::abort();
        }
        next = entry.data() + entry.size() + 1;
        device::HardwareIdMatches(entry, "USB\\VID_F3A7&PID_5D20");
    }
    return 0;
}
