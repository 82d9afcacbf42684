// The keys that switch the camera from anywhere: each does what the tray menu's "Off" or "On"
// does, the toggle going by the camera as the menu marks it.
#include "app/property_host_dlg.h"
#include "device/camera_device.h"
#include "device/key_names.h"
#include "framework/cstring.h"
#include "res/resource.h"

void CPropertyHostDlg::RegisterCameraKeys() {
    // Once after start and once after each change, not at every failure: no retry loop.
    m_keyToName = m_cameraHotkeys.Register(m_hWnd);
    ShowKeyBalloonWhenIconIsThere();
}

void CPropertyHostDlg::ShowKeyBalloonWhenIconIsThere() {
    if (!m_keyToName) {
        return;
    }
    CString format;
    format.LoadString(IDS_KEY_USED_ELSEWHERE);
    CString text;
    text.Format(format, KeyName(*m_keyToName).c_str());
    if (ShowBalloon(text)) {
        m_keyToName.reset();
    }
}

LRESULT CPropertyHostDlg::OnKeysChanged(WPARAM, LPARAM) {
    if (!m_closing) {
        RegisterCameraKeys();
    }
    return 0;
}

LRESULT CPropertyHostDlg::OnHotKey(WPARAM wParam, LPARAM) {
    const std::optional<CameraKeySlot> slot = CameraHotkeys::SlotOf(wParam);
    if (!slot || m_closing || m_switchUnderWay) {
        return 0;
    }
    const bool on = *slot == CameraKeySlot::On ||
                    (*slot == CameraKeySlot::Toggle && QueryCameraStatus() != CameraStatusStarted);
    if (on) {
        SwitchCameraOn();
    } else {
        SwitchCameraOff();
    }
    return 0;
}
