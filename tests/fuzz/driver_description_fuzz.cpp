// Any content of the camera driver's registry keys, on a simulated machine: the description
// lookup closes every key it opens, writes nothing when it fails, and what it writes is the
// terminated head of a description the registry holds, or empty.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "camera/driver_description.h"
#include "platform/sim/machine.h"

namespace {

constexpr const char* kDriverKey = "SOFTWARE\\KESTRA\\LUMCAM\\KLV2DRV";
constexpr DWORD kQword = 11;  // REG_QWORD, which the program never names
constexpr DWORD kTypes[] = {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY, REG_DWORD, kQword};
constexpr const char* kFailingOperations[] = {"RegOpenKeyExA", "RegQueryValueExA", "RegEnumValueA"};

std::vector<BYTE> Bytes(FuzzedDataProvider& input, std::size_t longest) {
    const std::string text = input.ConsumeRandomLengthString(longest);
    return std::vector<BYTE>(text.begin(), text.end());
}

bool IsDescriptionName(std::string_view name) {
    constexpr std::string_view kName = "driverdesc";
    return name.size() == kName.size() &&
           std::equal(name.begin(), name.end(), kName.begin(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
           });
}

// Sets a value and keeps the text of every description set anywhere, as far as its first NUL.
void Set(sim::Registry& registry, std::string_view path, std::string_view name, DWORD type,
         std::vector<BYTE> bytes, std::vector<std::string>& descriptions) {
    if (IsDescriptionName(name)) {
        descriptions.emplace_back(bytes.begin(), std::find(bytes.begin(), bytes.end(), 0));
    }
    registry.SetValue(HKEY_LOCAL_MACHINE, path, name, type, std::move(bytes));
}

// A value name: mostly an instance name the driver would write, sometimes anything.
std::string ValueName(FuzzedDataProvider& input) {
    if (input.ConsumeBool()) {
        return input.ConsumeRandomLengthString(24);
    }
    char name[32];
    std::snprintf(name, sizeof name, "ii%04u", input.ConsumeIntegralInRange<unsigned>(0, 12));
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    sim::Machine machine;
    sim::Registry& registry = machine.registry();

    // Read one by one, in this order, so that a seed can be written by hand.
    std::vector<std::string> descriptions;
    if (input.ConsumeBool()) {
        const DWORD type = input.PickValueInArray(kTypes);
        Set(registry, kDriverKey, "InstanceIndex", type, Bytes(input, 12), descriptions);
    }
    const int values = input.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < values; ++i) {
        const std::string name = ValueName(input);
        const DWORD type = input.PickValueInArray(kTypes);
        Set(registry, kDriverKey, name, type, Bytes(input, 400), descriptions);
    }
    // Instance keys, each with a description that the lookup may find.
    const int keys = input.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < keys; ++i) {
        const std::string path = input.ConsumeRandomLengthString(300);
        const DWORD type = input.PickValueInArray(kTypes);
        Set(registry, path, "DriverDesc", type, Bytes(input, 400), descriptions);
    }
    if (input.ConsumeBool()) {
        const char* operation = input.PickValueInArray(kFailingOperations);
        machine.faults().Fail(operation, input.ConsumeIntegralInRange(1, 3));
    }

    char out[kDriverDescriptionSize];
    std::memset(out, '#', sizeof out);
    const int result = ReadDriverDescription(out);
    if (machine.resources().Open("registry key") != 0 || (result != 0 && result != 1)) {
        std::abort();
    }
    if (std::all_of(std::begin(out), std::end(out), [](char c) { return c == '#'; })) {
        return 0;
    }
    const char* end = static_cast<const char*>(std::memchr(out, '\0', sizeof out));
    if (result == 0 || end == nullptr) {
        std::abort();
    }
    const std::string written(out, static_cast<std::size_t>(end - out));
    const bool from_a_description =
        written.empty() || std::any_of(descriptions.begin(), descriptions.end(),
                                       [&written](const std::string& description) {
                                           return description.substr(0, written.size()) == written;
                                       });
    if (!from_a_description) {
        std::abort();
    }
    return 0;
}
