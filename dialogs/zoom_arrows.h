// Which of the Zoom dialog's arrow buttons can still move the view, from the zoom level and the
// view-position code the camera reports: the sides of the frame the view touches (1 right,
// 2 left, 4 bottom, 8 top, and the corners' sums), with 32 added at the largest level.
#pragma once

#include <cstdint>
#include <optional>

struct ArrowStates {
    // Enabled or not; nullopt leaves the button as it is.
    std::optional<bool> left, right, top, bottom;
};

ArrowStates ArrowStatesFor(std::int32_t level, std::int32_t view_position);
