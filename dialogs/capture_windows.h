// The window of a video-capture application that shows the camera's picture. The Zoom dialog
// enables it again when it closes.
#pragma once

#include "platform/win32.h"

class CaptureWindows {
public:
    // Applies `enable` to the first capture window found by title: "VidCap", "AMCAP",
    // "AMCAP - " with the capture file of the profile's section "annie", the camera driver's
    // description; with the last two, also to the "AMCAP" window an earlier call found.
    void EnableCaptureWindows(BOOL enable);

private:
    HWND m_rememberedAmcap = nullptr;  // for the rest of the process, once found
};
