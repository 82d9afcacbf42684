// What a person at a terminal is told when a command leaves Lumiset waiting for the clock, so
// that a program that seems to do nothing says why.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/sim/kernel.h"

namespace console {

struct ClockNoteInput {
    std::vector<sim::ClockWait> before;  // the machine's clock waits before the command
    std::vector<sim::ClockWait> after;   // and after it
    sim::Millis now = 0;
    bool clock_follows_wall = true;
    bool command_was_wait = false;
};

// One line, or nullopt when there is nothing to say. With a still clock: any pause (it holds the
// program until `wait`), else a timer the command set that comes before all else. With the wall
// clock, only a long pause the command started, since everything else passes by itself.
std::optional<std::string> ClockNote(const ClockNoteInput& input);

}  // namespace console
