#include "dialogs/zoom_arrows.h"

namespace {

constexpr std::int32_t kRight = 1;
constexpr std::int32_t kLeft = 2;
constexpr std::int32_t kBottom = 4;
constexpr std::int32_t kTop = 8;
constexpr std::int64_t kAtFullZoom = 32;
constexpr std::int32_t kMaxZoomLevel = 64;

// A code for one side or one corner; any other tells nothing usable.
bool NamesSides(std::int64_t code) {
    switch (code) {
        case kRight:
        case kLeft:
        case kBottom:
        case kBottom | kRight:
        case kBottom | kLeft:
        case kTop:
        case kTop | kRight:
        case kTop | kLeft:
            return true;
        default:
            return false;
    }
}

ArrowStates All(bool enabled) {
    return {enabled, enabled, enabled, enabled};
}

}  // namespace

ArrowStates ArrowStatesFor(std::int32_t level, std::int32_t view_position) {
    if (level < 0) {
        return {};
    }
    if (level == 0) {
        return All(false);
    }
    if (level == 1) {
        // The first step crops the width alone: only left and right are told.
        return {view_position != kLeft && view_position != (kTop | kBottom | kLeft),
                view_position != kRight && view_position != (kTop | kBottom | kRight), std::nullopt,
                std::nullopt};
    }
    const std::int64_t sides =
        level == kMaxZoomLevel ? view_position - kAtFullZoom : std::int64_t{view_position};
    if (!NamesSides(sides)) {
        return All(true);
    }
    // A button is off when its side is one the view touches.
    return {(sides & kLeft) == 0, (sides & kRight) == 0, (sides & kTop) == 0,
            (sides & kBottom) == 0};
}
