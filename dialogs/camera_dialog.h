// CCameraDialog: a dialog of the camera's controls. While its window exists it keeps the
// camera's filter bound for its reads and writes, and it lets Esc pass so that Esc never
// cancels or closes it.
#pragma once

#include "camera/capture_filter_binding.h"
#include "framework/dialog.h"

class CCameraDialog : public CDialog {
public:
    using CDialog::CDialog;

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);

    KeptCaptureFilterBinding m_binding;  // while the window exists

    DECLARE_MESSAGE_MAP()
};

// CControlPage: a page that reads the camera as it starts and at every paint. It sits in a window
// that shows it under a tab, which takes Ctrl+Tab.
class CControlPage : public CCameraDialog {
public:
    using CCameraDialog::CCameraDialog;

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnPaint();

    // Shows the camera's state.
    virtual void Refresh() = 0;
    // Windows gives a radio button's tab stop to it when checked and takes it when unchecked;
    // the page puts back the tab stop of every radio button, so that Tab reaches each.
    virtual void KeepRadiosReachable() {}
    static void KeepTabStop(const CWnd& control);

    DECLARE_MESSAGE_MAP()
};
