// Wrappers of the standard controls, bound to a dialog's controls by DDX_Control.
#pragma once

#include "framework/wnd.h"
#include "platform/win32.h"

// A push button, check box or radio button.
class CButton : public CWnd {
public:
    int GetCheck() const;
    void SetCheck(int nCheck);
};

// A trackbar ("msctls_trackbar32").
class CSliderCtrl : public CWnd {
public:
    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE);
    int GetRangeMin() const;
    int GetRangeMax() const;
    int GetPos() const;
    void SetPos(int nPos);
};

// An edit box; its text is the window text.
class CEdit : public CWnd {};

// A tab control ("SysTabControl32").
class CTabCtrl : public CWnd {
public:
    // Inserts a tab with that text; its index, or -1.
    int InsertItem(int nItem, LPCSTR lpszItem);
    int GetCurSel() const;
    // Selects without notifying the parent; the previous selection, or -1.
    int SetCurSel(int nItem);
    // The display area for a window rectangle (bLarger FALSE), or the reverse.
    void AdjustRect(BOOL bLarger, RECT* lpRect) const;
};
