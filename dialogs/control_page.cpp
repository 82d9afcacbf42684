#include "dialogs/control_page.h"

#include "framework/paint_dc.h"

BEGIN_MESSAGE_MAP(CControlPage, CDialog)
    ON_WM_PAINT()
    ON_MESSAGE(WM_DESTROY, &CControlPage::OnDestroy)
END_MESSAGE_MAP()

BOOL CControlPage::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) {
        return FALSE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

BOOL CControlPage::OnInitDialog() {
    CDialog::OnInitDialog();
    Refresh();
    return TRUE;
}

void CControlPage::OnPaint() {
    { CPaintDC dc(this); }  // nothing is drawn: the controls draw themselves
    Refresh();
}

LRESULT CControlPage::OnDestroy(WPARAM, LPARAM) {
    m_binding.Release();
    return Default();
}
