// TrayPopup: the tray icon's popup menu, loaded afresh and marked from the camera's state. The
// menu and its mark bitmap live as long as the object; the menu goes first.
#pragma once

#include "framework/bitmap.h"
#include "framework/menu.h"

class TrayPopup {
public:
    // Loads the menu and marks "On" with the frequency the camera reports, or "Off".
    TrayPopup();

    CMenu& Popup() { return m_popup; }
    // Whether the query that marked the menu found the camera started ("On" marked).
    bool CameraStarted() const { return m_cameraStarted; }

private:
    CBitmap m_mark;
    CMenu m_menu;
    CMenu m_popup;  // a view of the menu's first popup
    bool m_cameraStarted = false;
};
