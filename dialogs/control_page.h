// CControlPage: what the two control pages share. A page reads the camera as it starts and at
// every paint, keeps the camera's filter bound while its window exists, and lets Esc pass so
// that it never cancels or closes the page.
#pragma once

#include "camera/capture_filter_binding.h"
#include "framework/dialog.h"

class CControlPage : public CDialog {
public:
    using CDialog::CDialog;

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    void OnPaint();
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);

    // Shows the camera's state.
    virtual void Refresh() = 0;

    KeptCaptureFilterBinding m_binding;  // while the window exists

    DECLARE_MESSAGE_MAP()
};
