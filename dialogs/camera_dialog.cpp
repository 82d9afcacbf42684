#include "dialogs/camera_dialog.h"

#include "framework/paint_dc.h"

BEGIN_MESSAGE_MAP(CCameraDialog, CDialog)
    ON_MESSAGE(WM_DESTROY, &CCameraDialog::OnDestroy)
END_MESSAGE_MAP()

BOOL CCameraDialog::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) {
        return FALSE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

LRESULT CCameraDialog::OnDestroy(WPARAM, LPARAM) {
    m_binding.Release();
    return Default();
}

BEGIN_MESSAGE_MAP(CControlPage, CCameraDialog)
    ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CControlPage::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_TAB && ::GetKeyState(VK_CONTROL) < 0) {
        return FALSE;  // the window the page is in switches its tabs
    }
    return CCameraDialog::PreTranslateMessage(pMsg);
}

BOOL CControlPage::OnInitDialog() {
    CCameraDialog::OnInitDialog();
    Refresh();
    KeepRadiosReachable();
    return TRUE;
}

BOOL CControlPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    const BOOL handled = CCameraDialog::OnCommand(wParam, lParam);
    if (GetSafeHwnd() != nullptr) {
        KeepRadiosReachable();
    }
    return handled;
}

void CControlPage::OnPaint() {
    { CPaintDC dc(this); }  // nothing is drawn: the controls draw themselves
    Refresh();
    KeepRadiosReachable();
}

void CControlPage::KeepTabStop(const CWnd& control) {
    const HWND hwnd = control.GetSafeHwnd();
    if (hwnd == nullptr) {
        return;
    }
    const LONG_PTR style = ::GetWindowLongPtrA(hwnd, GWL_STYLE);
    if ((style & WS_TABSTOP) == 0) {
        ::SetWindowLongPtrA(hwnd, GWL_STYLE, style | WS_TABSTOP);
    }
}
