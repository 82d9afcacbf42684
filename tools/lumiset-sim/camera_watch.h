// What a person at a terminal is told of the camera's changes: its power-line frequency and the
// state of each USB device node, compared with the last look.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/machine.h"

namespace console {

class CameraWatch {
public:
    // Takes its first look at once; what is there already is no news.
    explicit CameraWatch(sim::Machine& machine);

    // What changed since the last look, a line each.
    std::vector<std::string> Changes();

private:
    struct Look {
        std::optional<std::int32_t> power_line;          // none while no camera is plugged in
        std::vector<std::pair<int, std::string>> nodes;  // number and state
    };
    Look LookNow();

    sim::Machine& machine_;
    Look last_;
};

}  // namespace console
