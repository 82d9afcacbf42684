// The keys that switch the camera from anywhere: each does what the tray menu's "Off" or "On"
// does, the toggle going by the camera as the menu marks it.
#include <string>

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
    CString sentence;
    sentence.LoadString(IDS_KEY_USED_ELSEWHERE);
    // The translations name the key where the sentence has it.
    std::string text = sentence.GetString();
    if (const auto at = text.find("%s"); at != std::string::npos) {
        text.replace(at, 2, KeyName(*m_keyToName));
    }
    if (ShowBalloon(text.c_str())) {
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
