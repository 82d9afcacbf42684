// The host's commands that switch the camera: power-line frequency and the device on or off.
#include "app/property_host_dlg.h"
#include "camera/capture_filter.h"
#include "camera/video_processing.h"
#include "device/camera_device.h"

void CPropertyHostDlg::SwitchCameraOn() {
    if (!EnableCamera()) {
        return;
    }
    m_deviceEnableSetting.StoreDeviceEnableSetting(1);
}

void CPropertyHostDlg::SwitchCameraOff() {
    // The filter must not be held while its device goes away, nor bound again meanwhile by the
    // effect worker's next step.
    const SharedCaptureFilter::BindingPause pause(CaptureFilter);
    ReleaseCaptureFilter();
    if (!DisableCamera()) {
        return;
    }
    m_deviceEnableSetting.StoreDeviceEnableSetting(0);
}

void CPropertyHostDlg::OnPowerLine50Hz() {
    SetProcAmpValue(PowerLineFrequencyProperty, PowerLine50Hz);
}

void CPropertyHostDlg::OnPowerLine60Hz() {
    SetProcAmpValue(PowerLineFrequencyProperty, PowerLine60Hz);
}
