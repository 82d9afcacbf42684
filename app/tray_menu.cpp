// The tray icon's popup menu: built afresh at every opening, its marks read from the camera.
#include <cstdint>

#include "app/property_host_dlg.h"
#include "camera/video_processing.h"
#include "device/camera_device.h"
#include "framework/bitmap.h"
#include "framework/menu.h"
#include "res/resource.h"

namespace {

// The mark is the item's image for both check states; no item is ever checked.
void Mark(CMenu& popup, UINT command, const CBitmap& mark) {
    popup.SetMenuItemBitmaps(command, MF_BYCOMMAND, &mark, &mark);
}

}  // namespace

LRESULT CPropertyHostDlg::OnTrayNotify(WPARAM, LPARAM lParam) {
    if (lParam != WM_RBUTTONUP && lParam != WM_LBUTTONDBLCLK) {
        return 0;
    }
    CMenu menu;
    menu.LoadMenu(IDR_TRAY_MENU);
    CMenu popup = menu.GetSubMenu(0);
    POINT cursor{};
    GetCursorPos(&cursor);
    CBitmap mark;
    mark.LoadBitmap(IDB_MENU_MARK);

    if (QueryCameraStatus() == CameraStatusStarted) {
        Mark(popup, ID_CAMERA_ON, mark);
        std::int32_t frequency = 0;  // stays 0, neither frequency, when nothing can be read
        GetProcAmpValue(PowerLineFrequencyProperty, frequency);
        if (frequency == PowerLine50Hz) {
            Mark(popup, ID_FLICKER_50HZ, mark);
        } else if (frequency == PowerLine60Hz) {
            Mark(popup, ID_FLICKER_60HZ, mark);
        }
    } else {
        Mark(popup, ID_CAMERA_OFF, mark);
    }

    SetForegroundWindow();
    popup.TrackPopupMenu(TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, this);
    menu.DestroyMenu();
    mark.DeleteObject();
    return 0;
}
