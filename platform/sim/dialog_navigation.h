// The dialog manager's keyboard navigation: Tab and Shift+Tab through the tab stops of a dialog
// and of the child dialogs inside it that hold controls of their own (WS_EX_CONTROLPARENT), the
// arrow keys within a group of buttons, and the keys held down with another key.
#pragma once

#include <set>
#include <vector>

#include "platform/sim/api/win32_user.h"

namespace sim {

class Machine;

class DialogNavigation {
public:
    explicit DialogNavigation(Machine& machine) : machine_(machine) {}

    // The keyboard: Shift, Ctrl and Alt held while the desktop presses another key.
    void Hold(UINT virtual_key) { held_.insert(virtual_key); }
    void Release(UINT virtual_key) { held_.erase(virtual_key); }
    bool Down(UINT virtual_key) const { return held_.count(virtual_key) != 0; }

    // The dialog that takes a key pressed in `dialog`: a child dialog made a control of its
    // parent dialog (DS_CONTROL) hands the keyboard up to it.
    HWND Destination(HWND dialog) const;
    // The tab stop after (or before) `from` in the dialog's tab order, going round; `from` itself
    // when there is no other, the first (or last) when `from` is not in the dialog.
    HWND NextTabItem(HWND dialog, HWND from, bool previous) const;
    // The control after (or before) `from` within its group, going round; `from` when alone.
    HWND NextGroupItem(HWND from, bool previous) const;
    // WM_NEXTDLGCTL as the system dialog class answers it.
    void NextDialogControl(HWND dialog, WPARAM wparam, LPARAM lparam);
    // Tab and the arrow keys of IsDialogMessage; false for a key it leaves to the control.
    bool HandleKey(HWND dialog, const MSG& msg);

private:
    bool IsDialog(HWND hwnd) const;
    // Every control of the dialog in tab order, with those of its control-holding children.
    void CollectControls(HWND parent, std::vector<HWND>& controls) const;
    // A tab stop a person can reach: shown and enabled, with every window up to `dialog`.
    bool Reachable(HWND dialog, HWND control) const;
    // A control the arrow keys move between rather than into.
    bool TakesArrowsAsNavigation(HWND control) const;

    Machine& machine_;
    std::set<UINT> held_;
};

}  // namespace sim
