#include "framework/data_exchange.h"

#include "framework/wnd.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd != nullptr) {
        return;
    }
    CWnd& dialog = *pDX->m_pDlgWnd;
    if (rControl.Attach(::GetDlgItem(dialog.m_hWnd, nIDC))) {
        dialog.m_boundControls.push_back(&rControl);
    }
}
