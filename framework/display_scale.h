// Display scale for a program that is per-monitor aware on Windows 10 and later and runs on older
// Windows too: the DPI functions of Windows 10 are looked up in user32 when needed, and where they
// are missing the system's metrics stand in (the program is system aware there).
#pragma once

#include "platform/win32.h"

namespace framework {

// A system metric (SM_CXSMICON, SM_CXICON, SM_CYCAPTION, ...) at the scale the window is drawn
// at.
int SystemMetricForWindow(int index, HWND window);

}  // namespace framework
