// The controls' own behaviour, as their window classes give it on Windows: buttons (check boxes,
// radio buttons and their groups), edit boxes, trackbars, tab controls and hotkey controls. The
// desktop's mouse and keyboard reach them as posted input messages.
#pragma once

#include <optional>

#include "platform/sim/api/win32_commctrl.h"

namespace sim {

class Machine;

class Controls {
public:
    explicit Controls(Machine& machine);

    // A click on a button as the user makes it: nothing happens when it is disabled.
    void Click(HWND button);
    // A point, in the tab control's client coordinates, on the tab `index`.
    static POINT TabPoint(int index);

private:
    std::optional<LRESULT> Button(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    std::optional<LRESULT> Edit(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    std::optional<LRESULT> Trackbar(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    std::optional<LRESULT> Tab(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    std::optional<LRESULT> HotkeyControl(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

    void UncheckRadioGroup(HWND checked);
    // A trackbar's key: moves the position and notifies the parent; false when it is a key the
    // trackbar leaves alone.
    bool TrackbarKey(HWND hwnd, UINT virtual_key);
    // The tab `index` chosen by a person (a click, an arrow key): nothing when it is out of range
    // or already selected, or when the parent refuses the change.
    void SelectTabByUser(HWND tab, int index);
    // WM_HSCROLL, or WM_VSCROLL for a vertical trackbar, to the trackbar's parent.
    void NotifyScroll(HWND trackbar, WORD code, int position = 0);
    // WM_NOTIFY with a plain NMHDR to the control's parent; returns the parent's answer.
    LRESULT Notify(HWND control, UINT code);

    Machine& machine_;
};

}  // namespace sim
