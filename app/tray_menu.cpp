// The tray icon's notifications: a right click or a double click opens the popup menu.
#include "app/property_host_dlg.h"
#include "app/tray_popup.h"

LRESULT CPropertyHostDlg::OnTrayNotify(WPARAM, LPARAM lParam) {
    if (m_closing || (lParam != WM_RBUTTONUP && lParam != WM_LBUTTONDBLCLK)) {
        return 0;
    }
    // Where the click was: building the menu asks the camera, which takes a while.
    POINT cursor{};
    GetCursorPos(&cursor);
    TrayPopup menu;
    // The icon follows what the menu shows, from the next tick on.
    m_cameraState.Found(menu.CameraStarted());
    SetForegroundWindow();
    menu.Popup().TrackPopupMenu(TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, this);
    return 0;
}
