// Keeping the camera as the user set it: when the camera comes back (plugged in again, perhaps as
// a new device node that starts enabled) or the machine wakes, the host marks the camera and its
// next tick puts back the stored on/off choice and the remembered frequency. The message itself
// only marks: the device may still be starting, and a switch under way must be stored first.
#include "app/property_host_dlg.h"
#include "app/switch_under_way.h"
#include "camera/power_line_memory.h"
#include "device/camera_device.h"

LRESULT CPropertyHostDlg::OnDeviceChange(WPARAM wParam, LPARAM) {
    // What the host's own switch sets off (a roll-back brings cameras back, so they arrive) is
    // not the camera coming back: during the switch, and until the tick after a failed re-apply,
    // device messages are its own.
    if (m_switchUnderWay || m_ownDeviceEventsSettling) {
        return TRUE;
    }
    // lParam is not read: an arrival is one of the class asked for, or one the next tick finds
    // nothing to do about.
    if (wParam == DBT_DEVICEARRIVAL) {
        m_reapplyFailed = false;
        m_reapplyPending = true;
    } else if (wParam == DBT_DEVNODES_CHANGED && !m_reapplyFailed) {
        m_reapplyPending = true;
    }
    return TRUE;
}

LRESULT CPropertyHostDlg::OnPowerBroadcast(WPARAM wParam, LPARAM) {
    if (wParam == PBT_APMRESUMEAUTOMATIC) {
        m_reapplyFailed = false;
        m_reapplyPending = true;
    }
    return 0;
}

void CPropertyHostDlg::ReapplyCameraSetting(DWORD stored) {
    m_reapplyPending = false;
    const CameraStatus status = QueryCameraStatus();
    bool switched = true;
    if (stored == 0 && status == CameraStatusStarted) {
        const SwitchUnderWay underWay(m_switchUnderWay);
        switched = static_cast<bool>(DisableCameraWithoutTheFilter());
    } else if (stored != 0 && status == CameraStatusDisabled) {
        const SwitchUnderWay underWay(m_switchUnderWay);
        switched = static_cast<bool>(EnableCamera());
    }
    m_reapplyFailed = !switched;
    m_ownDeviceEventsSettling = !switched;
    // As at start, the frequency goes to the capture device whatever the walk found of its node
    // (a camera may not show its node, as under Wine); only a camera left off is not asked.
    const bool leftOff = stored == 0 || (status == CameraStatusDisabled && !switched);
    if (!leftOff) {
        ApplyRememberedPowerLine();
    }
}
