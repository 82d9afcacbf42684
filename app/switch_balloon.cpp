// The balloons on the icon: why On or Off did not switch the camera (only a switch the user asked
// for shows one; start-up and re-applies stay silent), and a key another program holds.
#include <cstring>

#include "app/property_host_dlg.h"
#include "framework/cstring.h"
#include "res/resource.h"

namespace {

constexpr char kBalloonTitle[] = "CV Lumen Webcam";
constexpr DWORD kBalloonSpacingMs = 1000;

UINT ReasonString(CameraSwitchResult result) {
    switch (result.outcome()) {
        case CameraSwitchResult::NeedsAdministrator:
            return IDS_SWITCH_NEEDS_ADMINISTRATOR;
        case CameraSwitchResult::CameraInUse:
            return IDS_SWITCH_CAMERA_IN_USE;
        case CameraSwitchResult::NeedsRestart:
            return IDS_SWITCH_NEEDS_RESTART;
        case CameraSwitchResult::NoCamera:
        case CameraSwitchResult::Switched:
            break;
    }
    return IDS_SWITCH_NO_CAMERA;
}

template <std::size_t N>
void CopyText(char (&field)[N], const char* text) {
    std::strncpy(field, text, N - 1);
    field[N - 1] = '\0';
}

}  // namespace

void CPropertyHostDlg::ShowSwitchBalloon(CameraSwitchResult result) {
    if (result) {
        return;
    }
    CString text;
    text.LoadString(ReasonString(result));
    if (!text.IsEmpty()) {
        ShowBalloon(text);
    }
}

bool CPropertyHostDlg::ShowBalloon(const char* text) {
    // Before the first tick there is no icon to carry it.
    if (m_trayRecord.uFlags == 0) {
        return false;
    }
    // A flood of commands from another program gets one balloon a second.
    const DWORD now = GetTickCount();
    if (m_lastBalloonTick && now - *m_lastBalloonTick < kBalloonSpacingMs) {
        return true;
    }
    m_lastBalloonTick = now;
    NOTIFYICONDATAA balloon = m_trayRecord;
    balloon.uFlags = NIF_INFO;
    CopyText(balloon.szInfo, text);
    CopyText(balloon.szInfoTitle, kBalloonTitle);
    balloon.dwInfoFlags = NIIF_INFO;
    Shell_NotifyIconA(NIM_MODIFY, &balloon);
    return true;
}
