#include "camera/face_tracking.h"

#include "camera/vendor_properties.h"

namespace {

constexpr std::int32_t kZoomModeOff = 0;
constexpr std::int32_t kZoomModeFaceTracking = 2;

}  // namespace

void ToggleFaceTracking() {
    const bool tracking = GetZoomControl(ZoomChannel::ZoomMode) == kZoomModeFaceTracking;
    SetZoomControl(ZoomChannel::ZoomMode, tracking ? kZoomModeOff : kZoomModeFaceTracking);
}
