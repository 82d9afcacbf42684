// CFileDialog: the system's file-open dialog, run modally over the program's windows.
#pragma once

#include <string>

#include "framework/cstring.h"
#include "platform/win32.h"

class CWnd;

class CFileDialog {
public:
    // `lpszFilter` is pairs of "text|pattern|", ended by another '|'. `pParentWnd` owns the
    // dialog; without it the application's main window does. Only the open dialog is provided:
    // with bOpenFileDialog FALSE, DoModal fails (-1).
    explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr,
                         LPCSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         LPCSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
    virtual ~CFileDialog() = default;
    // m_ofn points into the object itself.
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK once the user has picked a file; IDCANCEL when the user cancelled or the dialog
    // failed (CommDlgExtendedError tells which).
    virtual INT_PTR DoModal();

    // The file picked, or the initial file name while none has been.
    CString GetPathName() const;

    // The structure handed to the system, for what the constructor does not set.
    OPENFILENAMEA m_ofn{};

private:
    HWND FindOwner() const;

    BOOL m_bOpenFileDialog;
    CWnd* m_pParentWnd;
    std::string m_strDefExt;
    std::string m_strFilter;  // the pairs separated and ended by NULs, as the system takes them
    char m_szFileName[MAX_PATH] = {};
};
