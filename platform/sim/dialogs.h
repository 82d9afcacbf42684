// The dialog manager: dialogs created from the program's compiled templates, the system dialog
// class's default processing, keyboard handling for dialogs, and the standard controls'
// behaviour (buttons, static texts, the tab control).
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
    // A click on a button as the user makes it: nothing happens when it is disabled.
    void Click(HWND button);

    // Dialog units to pixels for the templates' font.
    static RECT ToPixels(short x, short y, short cx, short cy);

private:
    std::optional<LRESULT> DialogProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    std::optional<LRESULT> ButtonProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    std::optional<LRESULT> TabProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    bool IsDescendant(HWND ancestor, HWND hwnd) const;

    Machine& machine_;
};

}  // namespace sim
