// How far the console lets the simulated clock go: the program reads it through the 32-bit
// GetTickCount, which would wrap after 4294967295 ms.
#pragma once

#include "platform/sim/kernel.h"

namespace console {

inline constexpr sim::Millis kClockEnd = 0xFFFFFFFF;

// The milliseconds the clock may still move on from `now`.
constexpr sim::Millis ClockRoom(sim::Millis now) {
    return now < kClockEnd ? kClockEnd - now : 0;
}

}  // namespace console
