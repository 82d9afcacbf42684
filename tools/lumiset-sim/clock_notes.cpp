#include "tools/lumiset-sim/clock_notes.h"

#include <algorithm>

namespace console {

namespace {

// A pause this long is worth a word even while the clock follows the wall clock.
constexpr sim::Millis kLongPause = 1000;

bool Existed(const std::vector<sim::ClockWait>& before, const sim::ClockWait& wait) {
    return std::any_of(before.begin(), before.end(), [&wait](const sim::ClockWait& old) {
        return old.thread == wait.thread && old.due == wait.due &&
               old.for_messages == wait.for_messages;
    });
}

// The earliest wait of the kind asked for, optionally only among those new since `before`.
std::optional<sim::Millis> Earliest(const ClockNoteInput& input, bool for_messages, bool only_new) {
    std::optional<sim::Millis> earliest;
    for (const sim::ClockWait& wait : input.after) {
        if (wait.for_messages != for_messages || wait.due <= input.now ||
            (only_new && Existed(input.before, wait))) {
            continue;
        }
        if (!earliest || wait.due < *earliest) {
            earliest = wait.due;
        }
    }
    return earliest;
}

}  // namespace

std::optional<std::string> ClockNote(const ClockNoteInput& input) {
    if (input.clock_follows_wall) {
        const auto pause = Earliest(input, false, true);
        if (pause && *pause - input.now >= kLongPause) {
            return "note: Lumiset pauses for " + std::to_string(*pause - input.now) +
                   " ms; it goes on by itself";
        }
        return std::nullopt;
    }
    if (const auto pause = Earliest(input, false, false)) {
        const std::string ms = std::to_string(*pause - input.now);
        return "note: Lumiset pauses for " + ms + " ms and the clock is still: \"wait " + ms +
               "\" lets it go on";
    }
    if (input.command_was_wait) {
        return std::nullopt;  // timers that came round again are no news
    }
    // A timer is news when the command set it and it now comes first.
    std::optional<sim::Millis> first_before;
    for (const sim::ClockWait& wait : input.before) {
        first_before = std::min(first_before.value_or(wait.due), wait.due);
    }
    if (const auto timer = Earliest(input, true, true);
        timer && (!first_before || *timer < *first_before)) {
        const std::string ms = std::to_string(*timer - input.now);
        return "note: Lumiset's timer is due in " + ms + " ms and the clock is still: \"wait " +
               ms + "\" lets it run";
    }
    return std::nullopt;
}

}  // namespace console
