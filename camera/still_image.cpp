#include "camera/still_image.h"

#include <cstdint>

#include "camera/capture_filter.h"
#include "camera/com_ptr.h"
#include "camera/vendor_properties.h"
#include "res/resource.h"

namespace {

constexpr ULONG kRequestFlags = KSPROPERTY_TYPE_SET | KSPROPERTY_TYPE_BASICSUPPORT;
constexpr std::int32_t kVgaWidth = 640;

// One stream's request. When none could be sent, `result` is what the trigger reports instead:
// 0 without a filter, or the failed query's HRESULT.
struct StreamOutcome {
    bool sent;
    HRESULT result;
};

StreamOutcome SetExternalTrigger(ULONG stream) {
    auto filter = CaptureFilter.Lock();
    if (!filter) {
        return {false, 0};
    }
    camera::ComPtr<IKsPropertySet> properties;
    if (const HRESULT queried =
            filter.Get()->QueryInterface(IID_IKsPropertySet, properties.OutVoid());
        queried != S_OK) {
        return {false, queried};
    }
    VideoControlModeRequest request{};
    request.Property.Flags = kRequestFlags;
    request.StreamIndex = stream;
    request.Mode = KS_VideoControlFlag_ExternalTriggerEnable;
    return {true, properties->Set(PROPSETID_VIDCAP_VIDEOCONTROL, KSPROPERTY_VIDEOCONTROL_MODE,
                                  &request, sizeof request, &request, sizeof request)};
}

enum class Half { Low, High };

// Puts `size` into one 16-bit half of SnapSize, leaving the other as read; no write when the half
// already holds it.
void SetSnapSizeHalf(std::int32_t snap_size, Half half, std::uint16_t size) {
    const auto packed = static_cast<std::uint32_t>(snap_size);
    auto low = static_cast<std::uint16_t>(packed & 0xFFFFu);
    auto high = static_cast<std::uint16_t>(packed >> 16);
    std::uint16_t& target = half == Half::Low ? low : high;
    if (target == size) {
        return;
    }
    target = size;
    const std::uint32_t repacked = (std::uint32_t{high} << 16) | low;
    SetCameraControl(ImageChannel::SnapSize, static_cast<std::int32_t>(repacked));
}

// The still size for SnapMode 1 (low half) or 2 (high half); another mode leaves SnapSize alone.
void SetSnapSizeForMode(std::uint16_t mode1_size, std::uint16_t mode2_size) {
    const std::int32_t mode = GetCameraControl(ImageChannel::SnapMode);
    const std::int32_t snap_size = GetCameraControl(ImageChannel::SnapSize);
    if (mode == 1) {
        SetSnapSizeHalf(snap_size, Half::Low, mode1_size);
    } else if (mode == 2) {
        SetSnapSizeHalf(snap_size, Half::High, mode2_size);
    }
}

}  // namespace

HRESULT TriggerSnapshot() {
    const StreamOutcome first = SetExternalTrigger(0);
    if (first.sent) {
        SetExternalTrigger(1);  // its outcome is not reported
    }
    return first.result;
}

void SetSnapshotSize(WORD command) {
    switch (command) {
        case ID_SNAPSHOT_SIZE_VGA:
            if (GetCameraControl(ImageChannel::CurrentWidth) == kVgaWidth) {
                SetImageControl(ImageChannel::SnapSize, 0);
            }
            break;
        case ID_SNAPSHOT_SIZE_LARGE:
            SetSnapSizeForMode(1, 5);
            break;
        case ID_SNAPSHOT_SIZE_MEDIUM:
            SetSnapSizeForMode(2, 6);
            break;
        case ID_SNAPSHOT_SIZE_SMALL:
            SetSnapSizeForMode(3, 5);
            break;
        case ID_SNAPSHOT_SIZE_HIGH:
            SetSnapSizeHalf(GetCameraControl(ImageChannel::SnapSize), Half::High, 4);
            break;
        default:
            break;
    }
    TriggerSnapshot();
}
