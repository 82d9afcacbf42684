// The dialog manager: dialogs created from the program's compiled templates (top-level, or child
// dialogs inside a window of the program), the system dialog class's default processing, and
// keyboard handling for dialogs. The controls' own behaviour is in controls.h.
#pragma once

#include <optional>

#include "platform/sim/api/win32_user.h"

namespace sim {

class Machine;

class Dialogs {
public:
    explicit Dialogs(Machine& machine);

    HWND Create(WORD template_id, HWND parent, DLGPROC procedure, LPARAM param);
    BOOL IsDialogMessage(HWND dialog, MSG* msg);
    HWND Item(HWND dialog, int id) const;

    // Dialog units to pixels for the templates' font at that display scale.
    static RECT ToPixels(short x, short y, short cx, short cy, UINT dpi = USER_DEFAULT_SCREEN_DPI);

private:
    // The dialog manager's answer to a new display scale, for a per-monitor aware dialog: the
    // dialog takes the suggested rectangle, and its controls and child dialogs scale with it.
    void FollowDpi(HWND dialog, const RECT* suggested);
    void Relayout(HWND dialog, UINT dpi);

    std::optional<LRESULT> DialogProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

    Machine& machine_;
};

}  // namespace sim
