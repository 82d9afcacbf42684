// CDialog: a dialog made from a template of the program's resources and run modally.
#pragma once

#include "framework/wnd.h"
#include "platform/win32.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Creates the window from the template, owned by the parent or else by the application's main
    // window (the owner stays disabled meanwhile); runs the modal loop until EndDialog, then
    // destroys the window. Returns EndDialog's result, or -1 when the window could not be created
    // or the loop ended on WM_QUIT (which is posted again for the loop outside).
    virtual INT_PTR DoModal();

    // Creates the window modeless from the template: a child of `pParentWnd` for a child
    // template, otherwise owned by it (no owner when null). The window lives until DestroyWindow
    // or its parent's end; FALSE when it could not be created or exists already.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    BOOL DestroyWindow();

    // Ends the modal loop with `nResult` once the message being handled has been dealt with; the
    // window lives until then.
    void EndDialog(int nResult);

    // Keyboard navigation of the dialog (IsDialogMessageA) for keyboard and mouse messages.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    // Runs once, when the window and its controls exist: fills the controls (UpdateData(FALSE)).
    // TRUE lets the platform put the focus on the first control.
    virtual BOOL OnInitDialog();
    // IDOK: reads the controls back (UpdateData(TRUE)), then EndDialog(IDOK).
    virtual void OnOK();
    // IDCANCEL: EndDialog(IDCANCEL).
    virtual void OnCancel();

    // Commands that this dialog does not handle go on to its owner and then to the application.
    BOOL OnCmdMsg(UINT nID, UINT nCode) override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The answer to a message the window does not take from its sender.
    static INT_PTR Refuse(HWND hWnd, UINT message);
    HWND FindOwner() const;
    void RunModalLoop();

    bool m_continueModal = false;
    int m_nModalResult = -1;

    DECLARE_MESSAGE_MAP()
};
