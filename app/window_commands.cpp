// The host's window commands beyond the tray menu: effects and frames, still sizes and
// snapshots, face tracking, the filter's property frame and the Zoom dialog. No menu of the
// running program sends them; other programs do. Each binds the camera's filter for its own
// action when none is bound; the Zoom dialog does so itself while it is open.
#include "app/property_host_dlg.h"
#include "camera/capture_filter_binding.h"
#include "camera/face_tracking.h"
#include "camera/property_frame.h"
#include "camera/still_image.h"
#include "camera/vendor_properties.h"
#include "dialogs/effect_ids.h"
#include "dialogs/zoom_dialog.h"
#include "res/resource.h"

// Only the channel is written: a running cycle overwrites it at its next step.
void CPropertyHostDlg::OnEffect(UINT nID) {
    if (const auto effect = EffectOfCommand(nID)) {
        CaptureFilterBinding binding;
        SetCameraControl(ImageChannel::Effect, *effect);
    }
}

void CPropertyHostDlg::OnStillImage(UINT nID) {
    CaptureFilterBinding binding;
    SetSnapshotSize(static_cast<WORD>(nID));
}

void CPropertyHostDlg::OnFaceTracking() {
    CaptureFilterBinding binding;
    ToggleFaceTracking();
}

// The frame's title may be one the code page cannot spell, and Wine titles it otherwise: the
// program's own frame is known without it.
void CPropertyHostDlg::OnOpenPropertyPage() {
    if (m_closing || m_modalWindows.IsOpen(ModalWindows::PropertyFrame) || IsPropertyFrameOpen()) {
        return;
    }
    CaptureFilterBinding binding;
    const ModalWindows::Running running(m_modalWindows, ModalWindows::PropertyFrame, nullptr);
    ShowFilterPropertyFrame();
}

// Two Zoom dialogs would write their own zoom levels in turn at every tick.
void CPropertyHostDlg::OnZoom() {
    if (m_closing || m_modalWindows.IsOpen(ModalWindows::Zoom)) {
        return;
    }
    const ModalWindows::Running running(m_modalWindows, ModalWindows::Zoom, nullptr);
    OpenZoomDialog(m_captureWindows, m_settingsWindow.GetSafeHwnd());
}
