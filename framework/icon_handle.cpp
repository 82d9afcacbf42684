#include "framework/icon_handle.h"

#include "framework/win_app.h"

namespace framework {

IconHandle LoadIconResource(UINT id, int cx, int cy) {
    return IconHandle(static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id),
                                                      IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR)));
}

}  // namespace framework
