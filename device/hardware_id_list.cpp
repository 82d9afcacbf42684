#include "device/hardware_id_list.h"

#include <algorithm>

namespace device {

std::vector<std::string_view> HardwareIdEntries(std::span<const unsigned char> bytes) {
    std::vector<std::string_view> entries;
    const char* const data = reinterpret_cast<const char*>(bytes.data());
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto terminator = std::find(bytes.begin() + start, bytes.end(), 0);
        if (terminator == bytes.end()) {
            break;
        }
        const auto length = static_cast<std::size_t>(terminator - bytes.begin()) - start;
        if (length == 0) {
            break;
        }
        entries.emplace_back(data + start, length);
        start += length + 1;
    }
    return entries;
}

bool HardwareIdMatches(std::string_view entry, std::string_view prefix) {
    if (entry.size() < prefix.size()) {
        return false;
    }
    return std::equal(prefix.begin(), prefix.end(), entry.begin(), [](char wanted, char c) {
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        return upper == wanted;
    });
}

}  // namespace device
