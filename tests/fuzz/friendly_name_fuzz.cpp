// Any name a capture device may register, in each ANSI code page: the test converts only the
// head of the name, and must decide as the first four bytes of the whole name's conversion do.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "camera/friendly_name.h"
#include "platform/sim/machine.h"

namespace {

constexpr unsigned kCodePages[] = {1252, 936, 950};

sim::Machine& TheMachine() {
    static sim::Machine machine;
    return machine;
}

// The first four bytes of the whole name in the ANSI code page begin a camera's name.
bool WholeNameBeginsACameraName(const std::vector<WCHAR>& name) {
    int units = 0;
    while (name[static_cast<std::size_t>(units)] != 0) {
        ++units;
    }
    if (units == 0) {
        return false;
    }
    std::string narrow(static_cast<std::size_t>(units) * 4, '\0');
    const int length = WideCharToMultiByte(CP_ACP, 0, name.data(), units, narrow.data(),
                                           static_cast<int>(narrow.size()), nullptr, nullptr);
    if (length < 4) {
        return false;
    }
    return std::memcmp(narrow.data(), "USB ", 4) == 0 || std::memcmp(narrow.data(), "CV L", 4) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    TheMachine().locale().ansi_code_page = kCodePages[data[0] % std::size(kCodePages)];
    // UTF-16 units as Windows keeps them, little-endian, then the terminator.
    std::vector<WCHAR> name;
    for (std::size_t i = 1; i + 1 < size; i += 2) {
        name.push_back(static_cast<WCHAR>(data[i] | (data[i + 1] << 8)));
    }
    name.push_back(0);
    if (camera::IsCameraFriendlyName(name.data()) != WholeNameBeginsACameraName(name)) {
        std::abort();
    }
    return 0;
}
