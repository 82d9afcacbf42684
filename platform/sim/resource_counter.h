// Accounting of what the program holds: open handles of every kind and COM references, so a
// test can assert that an operation released everything it acquired.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace sim {

class ResourceCounter {
public:
    void Acquired(std::string_view kind) { ++open_[std::string(kind)]; }
    void Released(std::string_view kind) { --open_[std::string(kind)]; }
    int Open(std::string_view kind) const;
    // Every kind with a nonzero count, for a readable failure message.
    std::map<std::string, int> Outstanding() const;

private:
    std::map<std::string, int, std::less<>> open_;
};

// Kinds of handle the machine accounts for.
namespace kinds {
inline constexpr std::string_view kRegistryKey = "registry key";
inline constexpr std::string_view kDeviceList = "device list";
inline constexpr std::string_view kThreadHandle = "thread handle";
inline constexpr std::string_view kEventHandle = "event handle";
inline constexpr std::string_view kHook = "hook";
inline constexpr std::string_view kTokenHandle = "token handle";
inline constexpr std::string_view kProcessHandle = "process handle";
inline constexpr std::string_view kDeviceNotification = "device notification";
}  // namespace kinds

}  // namespace sim
