#include "app/tray_popup.h"

#include <cstdint>

#include "camera/video_processing.h"
#include "device/camera_device.h"
#include "res/resource.h"

namespace {

// The mark is the item's image for both check states; no item is ever checked.
void Mark(CMenu& popup, UINT command, const CBitmap& mark) {
    popup.SetMenuItemBitmaps(command, MF_BYCOMMAND, &mark, &mark);
}

}  // namespace

TrayPopup::TrayPopup() {
    m_menu.LoadMenu(IDR_TRAY_MENU);
    m_popup = m_menu.GetSubMenu(0);
    m_mark.LoadBitmap(IDB_MENU_MARK);

    m_cameraStarted = QueryCameraStatus() == CameraStatusStarted;
    if (m_cameraStarted) {
        Mark(m_popup, ID_CAMERA_ON, m_mark);
        std::int32_t frequency = 0;  // stays 0, neither frequency, when nothing can be read
        GetProcAmpValue(PowerLineFrequencyProperty, frequency);
        if (frequency == PowerLine50Hz) {
            Mark(m_popup, ID_FLICKER_50HZ, m_mark);
        } else if (frequency == PowerLine60Hz) {
            Mark(m_popup, ID_FLICKER_60HZ, m_mark);
        }
    } else {
        Mark(m_popup, ID_CAMERA_OFF, m_mark);
    }
}
