// The label a person reads for each control of a window, found where a person finds it: the
// text on the control's row to its left, or for an icon button the way its arrow points.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/sim/desktop.h"

namespace console {

// One label for each of `controls` (the visible controls of `top_level`, as
// Desktop::VisibleControls lists them), in the same order; nullopt where the control's own text
// is its label or none is found.
std::vector<std::optional<std::u16string>> ControlLabels(
    const sim::WindowManager& windows, HWND top_level,
    const std::vector<sim::ControlView>& controls);

}  // namespace console
