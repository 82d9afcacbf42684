// The host's commands that switch the camera: power-line frequency and the device on or off.
#include "app/property_host_dlg.h"
#include "app/switch_under_way.h"
#include "camera/capture_filter.h"
#include "camera/power_line_memory.h"
#include "camera/video_processing.h"
#include "device/camera_device.h"

void CPropertyHostDlg::SwitchCameraOn() {
    const CameraSwitchResult result = [this] {
        const SwitchUnderWay underWay(m_switchUnderWay);
        const CameraSwitchResult switched = EnableCamera();
        m_cameraState.Switched(true, switched);
        if (switched.Accepted()) {
            m_deviceEnableSetting.StoreDeviceEnableSetting(1);
            m_cameraState.Stored(1);
            // A camera that starts again starts with its own frequency: the next tick puts the
            // remembered one back, as when it is plugged in.
            m_reapplyPending = true;
        }
        return switched;
    }();
    ShowSwitchBalloon(result);
}

void CPropertyHostDlg::SwitchCameraOff() {
    const CameraSwitchResult result = [this] {
        const SwitchUnderWay underWay(m_switchUnderWay);
        const CameraSwitchResult switched = DisableCameraWithoutTheFilter();
        m_cameraState.Switched(false, switched);
        if (switched.Accepted()) {
            m_deviceEnableSetting.StoreDeviceEnableSetting(0);
            m_cameraState.Stored(0);
            // The camera is as the user wants it: device changes count again.
            m_reapplyFailed = false;
        }
        return switched;
    }();
    ShowSwitchBalloon(result);
}

CameraSwitchResult CPropertyHostDlg::DisableCameraWithoutTheFilter() {
    // Nor bound again by the effect worker's next step before the device operation is done.
    const SharedCaptureFilter::BindingPause pause(CaptureFilter);
    ReleaseCaptureFilter();
    return DisableCamera();
}

void CPropertyHostDlg::OnPowerLine50Hz() {
    SetAndRememberPowerLine(PowerLine50Hz);
}

void CPropertyHostDlg::OnPowerLine60Hz() {
    SetAndRememberPowerLine(PowerLine60Hz);
}
