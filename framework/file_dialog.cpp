#include "framework/file_dialog.h"

#include <algorithm>
#include <cstring>

#include "framework/outside_messages.h"
#include "framework/win_app.h"
#include "framework/wnd.h"

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName,
                         DWORD dwFlags, LPCSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd) {
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof m_szFileName;
    if (lpszFileName != nullptr) {
        const size_t length = std::min(std::strlen(lpszFileName), sizeof m_szFileName - 1);
        std::memcpy(m_szFileName, lpszFileName, length);
    }
    if (lpszDefExt != nullptr) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt.c_str();
    }
    if (lpszFilter != nullptr) {
        m_strFilter = lpszFilter;
        std::replace(m_strFilter.begin(), m_strFilter.end(), '|', '\0');
        // The system reads up to an empty string; a filter without its final '|' still ends.
        m_strFilter.append(2, '\0');
        m_ofn.lpstrFilter = m_strFilter.c_str();
    }
}

HWND CFileDialog::FindOwner() const {
    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (owner == nullptr) {
        if (CWnd* main = AfxGetMainWnd(); main != nullptr) {
            owner = main->GetSafeHwnd();
        }
    }
    // A popup cannot be owned by a child window: take the child's top-level parent.
    while (owner != nullptr && (::GetWindowLongPtrA(owner, GWL_STYLE) & WS_CHILD) != 0) {
        owner = ::GetParent(owner);
    }
    return owner;
}

INT_PTR CFileDialog::DoModal() {
    if (!m_bOpenFileDialog) {
        return -1;
    }
    m_ofn.hwndOwner = FindOwner();
    const framework::NestedLoop nested;
    return ::GetOpenFileNameA(&m_ofn) ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const {
    return CString(m_szFileName);
}
