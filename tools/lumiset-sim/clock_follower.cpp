#include "tools/lumiset-sim/clock_follower.h"

#include <algorithm>
#include <limits>

#include "tools/lumiset-sim/clock_limit.h"

namespace console {

ClockFollower::ClockFollower(sim::Kernel& kernel, WallClock wall_clock)
    : kernel_(kernel), wall_clock_(std::move(wall_clock)), last_(wall_clock_()) {}

void ClockFollower::CatchUp() {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(wall_clock_() - last_);
    if (elapsed.count() > 0) {
        last_ += elapsed;
        kernel_.Advance(
            std::min(static_cast<sim::Millis>(elapsed.count()), ClockRoom(kernel_.Now())));
    }
}

std::optional<int> ClockFollower::IdleTimeout() const {
    const auto waits = kernel_.ClockWaits();
    if (waits.empty()) {
        return std::nullopt;
    }
    const sim::Millis next =
        std::min_element(waits.begin(), waits.end(), [](const auto& a, const auto& b) {
            return a.due < b.due;
        })->due;
    if (next <= kernel_.Now()) {
        return 0;
    }
    // The wall time at which the machine's clock reaches `next`, from now, rounded up.
    const auto due_at = last_ + std::chrono::milliseconds(next - kernel_.Now());
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(due_at - wall_clock_());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(
        left.count(), 0, std::numeric_limits<int>::max()));
}

}  // namespace console
