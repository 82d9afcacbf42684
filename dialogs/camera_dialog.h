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

// CControlPage: a page that reads the camera as it starts and at every paint.
class CControlPage : public CCameraDialog {
public:
    using CCameraDialog::CCameraDialog;

protected:
    BOOL OnInitDialog() override;
    void OnPaint();

    // Shows the camera's state.
    virtual void Refresh() = 0;

    DECLARE_MESSAGE_MAP()
};
