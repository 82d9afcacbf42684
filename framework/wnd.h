// CWnd: a framework object bound to a window handle, with the window's message map.
#pragma once

#include <memory>
#include <vector>

#include "framework/cmd_target.h"
#include "framework/cstring.h"
#include "framework/menu.h"
#include "framework/message_map.h"
#include "platform/win32.h"

class CDataExchange;

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    // Leaves the window itself alone: a dialog's window is destroyed by DoModal, a control's with
    // its dialog.
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }  // NOLINT: passes as the handle, as in the API

    // The framework object attached to `hWnd`, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // Attaches this object to `hWnd` (FALSE if either is attached already) and detaches it again.
    BOOL Attach(HWND hWnd);
    HWND Detach();

    BOOL ShowWindow(int nCmdShow);
    BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL SetForegroundWindow();
    DWORD GetStyle() const;
    int GetDlgCtrlID() const;

    // The child with this id: its bound wrapper when DDX_Control bound one, otherwise a temporary
    // object that this window keeps until its own window goes away. Null when there is no child.
    CWnd* GetDlgItem(int nID) const;
    UINT IsDlgButtonChecked(int nIDButton) const;

    void SetWindowText(LPCSTR lpszString);
    int GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);

    // A view of the window's system menu (the window owns it); empty when there is none.
    CMenu GetSystemMenu(BOOL bRevert) const;

    // Runs DoDataExchange in one direction: FALSE fills the controls, TRUE reads them back.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Offered every message that a loop of the framework takes from the queue, before it is
    // translated and dispatched, for this window and the windows below it. TRUE consumes it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // The framework is destroying the window, or a window above it (its parent, or its owner): a
    // WM_DESTROY or WM_NCDESTROY that it gets is real, even while a message from another thread is
    // being handled.
    static bool IsBeingDestroyed(HWND hWnd);

    // Offers `pMsg` to the PreTranslateMessage of its window and of that window's parents (owners,
    // for popups), up to and including `hWndStop`. TRUE when one consumed it.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

protected:
    // Every message of the window: the message map, otherwise default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The message map alone; TRUE when an entry handled the message, with its result.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void DoDataExchange(CDataExchange* pDX);

    // Asks for the platform's default processing of the message being handled. A dialog procedure
    // cannot run it from inside the handler, so it runs when the handler has returned; the handler
    // gets 0.
    LRESULT Default();

    // Default handlers of the standard messages (see ON_WM_… in framework/message_map.h).
    void OnTimer(UINT_PTR nIDEvent);
    void OnPaint();
    void OnClose();
    HICON OnQueryDragIcon();
    void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    void OnShowWindow(BOOL bShow, UINT nStatus);
    void OnSysCommand(UINT nID, LPARAM lParam);
    // Owner-drawn items go back to the platform's default handling: neither menus nor controls of
    // this framework draw themselves.
    void OnDrawItem(int nIDCtl, DRAWITEMSTRUCT* lpDrawItemStruct);

    // The state of the message a handler is running for, set by whoever delivers it to
    // WindowProc; nested deliveries to the same window stack up.
    struct CurrentMessage {
        bool useDefault = false;  // Default() was asked for
    };
    CurrentMessage* m_pCurrentMessage = nullptr;

    // Called when the window has gone: detaches the object, its bound controls and temporaries.
    void ReleaseWindow();

    // Marks the window as being destroyed by the framework for as long as it lives.
    class Destroying {
    public:
        explicit Destroying(CWnd& wnd) : m_wnd(wnd) { m_wnd.m_bDestroying = true; }
        ~Destroying() { m_wnd.m_bDestroying = false; }
        Destroying(const Destroying&) = delete;
        Destroying& operator=(const Destroying&) = delete;

    private:
        CWnd& m_wnd;
    };

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;

private:
    friend void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

    bool m_bDestroying = false;
    std::vector<CWnd*> m_boundControls;
    mutable std::vector<std::unique_ptr<CWnd>> m_temporaries;
};
