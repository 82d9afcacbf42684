// Keeping the camera as the user set it: when the camera comes back (plugged in again, perhaps as
// a new device node that starts enabled) or the machine wakes, the host marks the camera and its
// next tick puts back the stored on/off choice and the remembered frequency. The message itself
// only marks: the device may still be starting, and a switch under way must be stored first.
#include "app/property_host_dlg.h"
#include "app/switch_under_way.h"
#include "camera/capture_filter.h"
#include "camera/power_line_memory.h"
#include "device/camera_device.h"

LRESULT CPropertyHostDlg::OnDeviceChange(WPARAM wParam, LPARAM) {
    // lParam is not read: an arrival is only ever one of the camera's, the one class we asked
    // for, or something the next tick finds nothing to do about.
    if (wParam == DBT_DEVICEARRIVAL) {
        m_reapplyFailed = false;
        MarkCameraForReapply();
    } else if (wParam == DBT_DEVNODES_CHANGED && !m_reapplyFailed) {
        MarkCameraForReapply();
    }
    return TRUE;
}

LRESULT CPropertyHostDlg::OnPowerBroadcast(WPARAM wParam, LPARAM) {
    if (wParam == PBT_APMRESUMEAUTOMATIC) {
        m_reapplyFailed = false;
        MarkCameraForReapply();
    }
    return 0;
}

void CPropertyHostDlg::MarkCameraForReapply() {
    // The host's own switch changes device nodes too; what it leaves is the user's choice.
    if (!m_switchUnderWay) {
        m_reapplyPending = true;
    }
}

void CPropertyHostDlg::ReapplyCameraSetting(DWORD stored) {
    m_reapplyPending = false;
    const CameraStatus status = QueryCameraStatus();
    bool switched = true;
    if (stored == 0 && status == CameraStatusStarted) {
        const SwitchUnderWay underWay(m_switchUnderWay);
        const SharedCaptureFilter::BindingPause pause(CaptureFilter);
        ReleaseCaptureFilter();
        switched = static_cast<bool>(DisableCamera());
    } else if (stored != 0 && status == CameraStatusDisabled) {
        const SwitchUnderWay underWay(m_switchUnderWay);
        switched = static_cast<bool>(EnableCamera());
    }
    m_reapplyFailed = !switched;
    // As at start, the frequency goes to the capture device whatever the walk found of its node
    // (a camera may not show its node, as under Wine); only a camera left off is not asked.
    const bool leftOff = stored == 0 || (status == CameraStatusDisabled && !switched);
    if (!leftOff) {
        ApplyRememberedPowerLine();
    }
}
