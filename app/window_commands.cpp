// The host's window commands beyond the tray menu: effects and frames, still sizes and
// snapshots, face tracking and the filter's property frame. No menu of the running program sends
// them; other programs do. Each binds the camera's filter for its own action when none is bound.
#include <cstdint>

#include "app/property_host_dlg.h"
#include "camera/capture_filter_binding.h"
#include "camera/face_tracking.h"
#include "camera/property_frame.h"
#include "camera/still_image.h"
#include "camera/vendor_properties.h"
#include "res/resource.h"

namespace {

constexpr std::int32_t kNoEffect = 0;

}  // namespace

void CPropertyHostDlg::OnEffect(UINT nID) {
    // Effects 1 to 16 and frames 17 to 26, in command order.
    const auto effect = static_cast<std::int32_t>(nID - ID_EFFECT_AGED_PHOTO + 1);
    CaptureFilterBinding binding;
    SetCameraControl(ImageChannel::Effect, effect);
}

void CPropertyHostDlg::OnNoEffect() {
    CaptureFilterBinding binding;
    SetCameraControl(ImageChannel::Effect, kNoEffect);
}

void CPropertyHostDlg::OnStillImage(UINT nID) {
    CaptureFilterBinding binding;
    SetSnapshotSize(static_cast<WORD>(nID));
}

void CPropertyHostDlg::OnFaceTracking() {
    CaptureFilterBinding binding;
    ToggleFaceTracking();
}

void CPropertyHostDlg::OnOpenPropertyPage() {
    if (IsPropertyFrameOpen()) {
        return;
    }
    CaptureFilterBinding binding;
    ShowFilterPropertyFrame();
}
