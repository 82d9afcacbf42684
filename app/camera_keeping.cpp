// Keeping the camera as the user set it: when the camera comes back (plugged in again, perhaps as
// a new device node that starts enabled) or the machine wakes, the host marks the camera and its
// next tick puts back the stored on/off choice and the remembered frequency. The message itself
// only marks: the device may still be starting, and a switch under way must be stored first.
#include "app/property_host_dlg.h"
#include "app/switch_under_way.h"
#include "camera/power_line_memory.h"
#include "device/camera_device.h"

LRESULT CPropertyHostDlg::OnDeviceChange(WPARAM wParam, LPARAM) {
    // Nothing the host's own switch sets off marks the camera while the switch is under way.
    if (m_switchUnderWay) {
        return TRUE;
    }
    // After a failed re-apply the messages that follow are mostly its own (a roll-back starts
    // cameras again, so they arrive): only an arrival is looked at, and only for a node not seen
    // before. lParam is not read: the device tree tells which nodes are there, and any program
    // may send this message.
    if (m_reapplyFailed) {
        m_arrivalAfterFailure = m_arrivalAfterFailure || wParam == DBT_DEVICEARRIVAL;
    } else if (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVNODES_CHANGED) {
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

void CPropertyHostDlg::KeepCameraAsSet(DWORD stored) {
    if (m_arrivalAfterFailure) {
        m_arrivalAfterFailure = false;
        if (m_reapplyFailed && m_seenCameras.Look()) {
            m_reapplyFailed = false;
            m_reapplyPending = true;
        }
    }
    if (m_reapplyPending) {
        ReapplyCameraSetting(stored);
    }
}

void CPropertyHostDlg::ReapplyCameraSetting(DWORD stored) {
    m_reapplyPending = false;
    const CameraStatus status = QueryCameraStatus();
    m_cameraState.Found(status == CameraStatusStarted);
    const bool switchOff = stored == 0 && status == CameraStatusStarted;
    const bool switchOn = stored != 0 && status == CameraStatusDisabled;
    bool switched = true;
    if (switchOff || switchOn) {
        // Whatever the switch starts again was there before it.
        m_seenCameras.Look();
        const SwitchUnderWay underWay(m_switchUnderWay);
        const CameraSwitchResult result =
            switchOff ? DisableCameraWithoutTheFilter() : EnableCamera();
        m_cameraState.Switched(switchOn, result);
        switched = static_cast<bool>(result);
    }
    m_reapplyFailed = !switched;
    // As at start, the frequency goes to the capture device whatever the walk found of its node
    // (a camera may not show its node, as under Wine); only a camera left off is not asked.
    const bool leftOff = stored == 0 || (status == CameraStatusDisabled && !switched);
    if (!leftOff) {
        ApplyRememberedPowerLine();
    }
}
