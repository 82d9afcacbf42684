// Where the program's own top-level windows open: on the monitor where the user works, clear of
// each other. Every move goes through SetWindowPos, so a window that lands on a monitor of another
// scale takes that scale (WM_DPICHANGED) before its size is used.
#pragma once

#include "platform/win32.h"

namespace framework {

// The work area of the monitor under the mouse pointer; the primary monitor's when the pointer
// cannot be read.
RECT WorkAreaUnderPointer();

// Centres the window on the work area; a window larger than the area keeps its top-left corner
// inside it.
void CentreOnWorkArea(HWND window, const RECT& workArea);

// Moves the window's top-left corner to `corner` when its caption would be on a monitor's work
// area there, so that it can be grabbed; false, leaving it where it is, otherwise.
bool MoveToIfReachable(HWND window, POINT corner);

// Opens `window` beside `other` on other's monitor: to its right where it fits, else to its
// left, else centred on that monitor and clear of other's caption.
void PlaceBeside(HWND window, HWND other);

}  // namespace framework
