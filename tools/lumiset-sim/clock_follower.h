// Moves a simulated machine's clock along with a wall clock, for a person at a terminal.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "platform/sim/kernel.h"

namespace console {

class ClockFollower {
public:
    using WallClock = std::function<std::chrono::steady_clock::time_point()>;
    ClockFollower(sim::Kernel& kernel, WallClock wall_clock);

    // Moves the machine's clock on by the wall time gone since the last catch-up, in whole
    // milliseconds (the rest counts next time), running all that falls due on the way; it stops
    // at the clock's end (clock_limit.h).
    void CatchUp();
    // How long the console may wait for input before something on the machine falls due, in
    // milliseconds; nullopt when nothing waits for the clock.
    std::optional<int> IdleTimeout() const;

private:
    sim::Kernel& kernel_;
    WallClock wall_clock_;
    std::chrono::steady_clock::time_point last_;
};

}  // namespace console
