#include "camera/driver_description.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "framework/registry_key.h"
#include "platform/win32.h"

namespace {

constexpr const char* kDriverKeyPath = "SOFTWARE\\KESTRA\\LUMCAM\\KLV2DRV";
constexpr const char* kInstanceCountName = "InstanceIndex";
constexpr const char* kDescriptionName = "DriverDesc";
constexpr std::string_view kKernelMachineRoot = "\\Registry\\MACHINE\\";
constexpr std::string_view kSettingsSubkey = "\\Settings";

constexpr DWORD kPathValueSize = 260;
constexpr std::size_t kInstancePathLength = 255;
constexpr DWORD kDescriptionValueSize = 256;
// "ii" and at most ten digits: a longer name cannot be an instance value.
constexpr DWORD kInstanceNameSize = 16;
constexpr std::size_t kMinimumDigits = 4;

// The index of a value named as "ii%04d" formats it, or nullopt for any other name. Value names
// compare without case, as the registry compares them.
std::optional<std::uint32_t> InstanceIndexOf(std::string_view name) {
    if (name.size() < 2 || (name[0] != 'i' && name[0] != 'I') ||
        (name[1] != 'i' && name[1] != 'I')) {
        return std::nullopt;
    }
    const std::string_view digits = name.substr(2);
    if (digits.size() < kMinimumDigits || digits.size() > 10) {
        return std::nullopt;
    }
    std::uint64_t index = 0;
    for (char digit : digits) {
        if (digit < '0' || digit > '9') {
            return std::nullopt;
        }
        index = index * 10 + static_cast<std::uint64_t>(digit - '0');
    }
    // Padding stops at four digits: "ii00012" is no instance name.
    if (index > UINT32_MAX || (digits.size() > kMinimumDigits && digits[0] == '0')) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(index);
}

// The lowest instance index from 1 to `count` that names a value of the key. The key's values
// are enumerated rather than every name tried, so a huge count costs nothing more.
std::optional<std::uint32_t> FirstInstance(HKEY driver_key, std::uint32_t count) {
    std::optional<std::uint32_t> first;
    for (DWORD position = 0;; ++position) {
        char name[kInstanceNameSize] = {};
        DWORD name_length = sizeof name;
        const LSTATUS status = RegEnumValueA(driver_key, position, name, &name_length, nullptr,
                                             nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            continue;  // a long name, not an instance value
        }
        if (status == ERROR_NO_MORE_ITEMS) {
            return first;
        }
        if (status != ERROR_SUCCESS) {
            return std::nullopt;  // without the whole list the first instance is unknown
        }
        const auto index =
            InstanceIndexOf(std::string_view(name, std::min<DWORD>(name_length, sizeof name - 1)));
        if (index && *index >= 1 && *index <= count && (!first || *index < *first)) {
            first = index;
        }
    }
}

// Reads a value as text of at most `capacity` bytes, whatever its type: the bytes read, up to the
// first terminator. nullopt when it cannot be read or does not fit.
std::optional<std::string> ReadText(HKEY key, const char* name, DWORD capacity) {
    std::string bytes(capacity, '\0');
    DWORD size = capacity;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    bytes.resize(std::min(size, capacity));
    bytes.resize(std::strlen(bytes.c_str()));
    return bytes;
}

// The instance key under HKEY_LOCAL_MACHINE named by a path in the kernel's notation.
std::string InstanceKeyPath(std::string_view kernel_path) {
    std::string_view path = kernel_path;
    if (const auto root = path.find(kKernelMachineRoot); root != std::string_view::npos) {
        path.remove_prefix(root + kKernelMachineRoot.size());
        if (const auto settings = path.find(kSettingsSubkey); settings != std::string_view::npos) {
            path = path.substr(0, settings);
        }
    }
    return std::string(path.substr(0, kInstancePathLength));
}

void CopyDescription(std::string_view description, char (&out)[kDriverDescriptionSize]) {
    const std::size_t length = std::min(description.size(), kDriverDescriptionSize - 1);
    std::memcpy(out, description.data(), length);
    out[length] = '\0';
}

}  // namespace

int ReadDriverDescription(char (&out)[kDriverDescriptionSize]) {
    framework::RegistryKey driver_key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDriverKeyPath, 0, KEY_READ, driver_key.Out()) !=
        ERROR_SUCCESS) {
        return 0;
    }
    std::uint32_t count = 0;
    DWORD size = sizeof count;
    if (RegQueryValueExA(driver_key.Get(), kInstanceCountName, nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&count), &size) != ERROR_SUCCESS) {
        count = 0;
    }
    if (count == 0) {
        return 1;
    }
    // The first instance value that exists decides, even when it leads nowhere.
    const auto instance = FirstInstance(driver_key.Get(), count);
    if (!instance) {
        return 1;
    }
    char name[kInstanceNameSize] = {};
    std::snprintf(name, sizeof name, "ii%04u", static_cast<unsigned>(*instance));
    const auto kernel_path = ReadText(driver_key.Get(), name, kPathValueSize);
    if (!kernel_path || kernel_path->empty()) {
        return 1;
    }
    framework::RegistryKey instance_key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, InstanceKeyPath(*kernel_path).c_str(), 0, KEY_READ,
                      instance_key.Out()) != ERROR_SUCCESS) {
        return 0;
    }
    const auto description = ReadText(instance_key.Get(), kDescriptionName, kDescriptionValueSize);
    CopyDescription(description.value_or(std::string()), out);
    return 1;
}
