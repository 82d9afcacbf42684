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

    // Dialog units to pixels for the templates' font.
    static RECT ToPixels(short x, short y, short cx, short cy);

private:
    std::optional<LRESULT> DialogProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

    Machine& machine_;
};

}  // namespace sim
