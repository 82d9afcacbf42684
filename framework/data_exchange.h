// Data exchange between a dialog's controls and its members (DoDataExchange).
#pragma once

#include "platform/win32.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;
};

// Binds the wrapper `rControl` to the dialog's control `nIDC`, once; it stays bound until the
// dialog's window goes away. Controls are not subclassed: the wrapper only names the control.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
