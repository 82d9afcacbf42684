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

BOOL CControlPage::OnInitDialog() {
    CCameraDialog::OnInitDialog();
    Refresh();
    return TRUE;
}

void CControlPage::OnPaint() {
    { CPaintDC dc(this); }  // nothing is drawn: the controls draw themselves
    Refresh();
}
