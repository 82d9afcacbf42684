// Fault injection: a test names a platform operation and how many of its next calls fail.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class FaultInjector {
public:
    static constexpr int kAlways = -1;

    // The next `count` calls of `operation` fail (kAlways: every call), once `after` calls have
    // run normally. `code`, where given, replaces the error the operation reports by default.
    void Fail(std::string_view operation, int count = 1, std::optional<std::uint32_t> code = {},
              int after = 0);
    void Clear(std::string_view operation);
    void ClearAll();

    // Whether an operation of that name takes injected faults.
    static bool IsKnownOperation(std::string_view operation);
    // Every operation that takes injected faults, by its published name.
    static std::vector<std::string_view> KnownOperations();

    // How many times `operation` was called on this machine, failed or not.
    int Calls(std::string_view operation) const;

    // Called by the operation itself: nullopt when it runs normally, otherwise the error code to
    // report (0 means "the operation's own default error").
    std::optional<std::uint32_t> Take(std::string_view operation);

private:
    struct Fault {
        int remaining;
        std::uint32_t code;
        int after;
    };
    std::map<std::string, Fault, std::less<>> faults_;
    std::map<std::string, int, std::less<>> calls_;
};

}  // namespace sim
