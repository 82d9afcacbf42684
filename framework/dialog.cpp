#include "framework/dialog.h"

#include <utility>

#include "framework/message_loop.h"
#include "framework/message_origin.h"
#include "framework/outside_messages.h"
#include "framework/win_app.h"

namespace {

// The messages whose result a dialog procedure returns itself; every other result goes through
// DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
        case WM_INITDIALOG:
        case WM_QUERYDRAGICON:
        case WM_CHARTOITEM:
        case WM_VKEYTOITEM:
        case WM_COMPAREITEM:
            return true;
        default:
            return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
    }
}

bool IsInputMessage(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

// A message that another program made up, which neither a handler nor the dialog manager's default
// processing may take, whatever else the thread is handling: a pointer into another thread's
// memory, a position change without its record, or a destruction that is not happening. (Posted
// ones never get here: the framework's filters drop them.)
bool IsForged(HWND hWnd, UINT message, LPARAM lParam) {
    if (framework::IsPositionWithoutRecord(message, lParam)) {
        return true;
    }
    if (framework::CarriesSendersPointer(message)) {
        return framework::SentFromAnotherThread();
    }
    if (message == WM_DESTROY || message == WM_NCDESTROY) {
        return framework::SentFromAnotherThread() && !CWnd::IsBeingDestroyed(hWnd);
    }
    return false;
}

// Command ids from 0x8000 are commands in the framework's sense; from 0xF000 they are the
// system's own.
bool IsRoutedCommand(UINT nID, UINT nCode) {
    return nCode == 0 && (nID & 0x8000) != 0 && nID < 0xF000;
}

}  // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

HWND CDialog::FindOwner() const {
    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    if (owner == nullptr) {
        if (CWnd* main = AfxGetMainWnd(); main != nullptr && main != this) {
            owner = main->m_hWnd;
        }
    }
    // A popup cannot be owned by a child window: take the child's top-level parent.
    while (owner != nullptr && (::GetWindowLongPtrA(owner, GWL_STYLE) & WS_CHILD) != 0) {
        owner = ::GetParent(owner);
    }
    return owner;
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd != nullptr) {
        return -1;
    }
    const HWND owner = FindOwner();
    const bool reenableOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (reenableOwner) {
        ::EnableWindow(owner, FALSE);
    }

    // The loop runs on until the dialog closes: a sender from another thread gets its answer
    // now, and what the dialog's controls send meanwhile is the program's own.
    const framework::NestedLoop nested;
    m_nModalResult = -1;
    m_continueModal = true;
    const HWND hWnd =
        ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), owner,
                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (hWnd != nullptr && m_continueModal) {
        RunModalLoop();
    }
    m_continueModal = false;

    // Hidden before the owner comes back, so that activation returns to the owner.
    if (m_hWnd != nullptr) {
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (reenableOwner) {
        ::EnableWindow(owner, TRUE);
    }
    if (m_hWnd != nullptr) {
        const Destroying destroying(*this);
        ::DestroyWindow(m_hWnd);
    }
    if (m_hWnd != nullptr) {
        ReleaseWindow();
    }
    return m_nModalResult;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    if (m_hWnd != nullptr) {
        return FALSE;
    }
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    const HWND parent = pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr;
    return ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDTemplate), parent,
                                &CDialog::DialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

BOOL CDialog::DestroyWindow() {
    if (m_hWnd == nullptr) {
        return FALSE;
    }
    // The object lets go of the window when WM_NCDESTROY reaches it.
    const Destroying destroying(*this);
    return ::DestroyWindow(m_hWnd);
}

void CDialog::RunModalLoop() {
    // The template may have shown the window already; otherwise it is shown once the queue has
    // gone idle for the first time.
    bool showOnIdle = (GetStyle() & WS_VISIBLE) == 0;
    MSG msg{};
    while (m_continueModal) {
        if (showOnIdle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            showOnIdle = false;
            ShowWindow(SW_SHOWNORMAL);
            continue;
        }
        const framework::Taken taken = framework::TakeMessage(msg);
        if (taken != framework::Taken::kMessage) {
            // WM_QUIT ends every loop: leave it in the queue for the loop outside.
            if (taken == framework::Taken::kQuit) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            }
            m_nModalResult = -1;
            break;
        }
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    if (m_continueModal) {
        m_continueModal = false;
        // Wakes the loop should it be waiting for a message.
        if (m_hWnd != nullptr) {
            ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
        }
    }
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (m_hWnd == nullptr || !IsInputMessage(pMsg->message)) {
        return FALSE;
    }
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCmdMsg(UINT nID, UINT nCode) {
    if (CWnd::OnCmdMsg(nID, nCode)) {
        return TRUE;
    }
    if (!IsRoutedCommand(nID, nCode)) {
        return FALSE;
    }
    if (CWnd* owner = FromHandlePermanent(::GetParent(m_hWnd));
        owner != nullptr && owner->OnCmdMsg(nID, nCode)) {
        return TRUE;
    }
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OnCmdMsg(nID, nCode);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* dialog = static_cast<CDialog*>(FromHandlePermanent(hWnd));
    if (message == WM_INITDIALOG) {
        // The object arrives with the dialog manager's own WM_INITDIALOG, the first message it
        // handles; what came before (WM_SETFONT and the creation messages) gets the platform's
        // default processing. Another one, from anyone, changes nothing.
        if (dialog != nullptr) {
            return FALSE;
        }
        dialog = reinterpret_cast<CDialog*>(lParam);
        if (dialog == nullptr || !dialog->Attach(hWnd)) {
            return FALSE;
        }
        return dialog->HandleDialogMessage(message, wParam, lParam);
    }
    if (dialog == nullptr) {
        return FALSE;
    }
    if (IsForged(hWnd, message, lParam)) {
        return Refuse(hWnd, message);
    }
    if (framework::SentFromAnotherThread() && framework::AcceptedOutsideMessage::NoneUnderWay()) {
        if (!framework::AcceptsSentFromOutside(hWnd, message, wParam)) {
            return Refuse(hWnd, message);
        }
        const framework::AcceptedOutsideMessage accepted;
        return dialog->HandleDialogMessage(message, wParam, lParam);
    }
    return dialog->HandleDialogMessage(message, wParam, lParam);
}

INT_PTR CDialog::Refuse(HWND hWnd, UINT message) {
    // Answered without a handler and without the dialog manager's default processing, except
    // where the answer is the procedure's own result: there (a colour, a drag icon) the default
    // is the only sound one, and it reads nothing from the sender.
    if (ReturnsResultDirectly(message)) {
        return FALSE;
    }
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, 0);
    return TRUE;
}

INT_PTR CDialog::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND hWnd = m_hWnd;
    CurrentMessage current;
    CurrentMessage* outer = std::exchange(m_pCurrentMessage, &current);
    const LRESULT result =
        message == WM_INITDIALOG ? OnInitDialog() : WindowProc(message, wParam, lParam);
    m_pCurrentMessage = outer;

    if (message == WM_NCDESTROY) {
        // Destroyed while its loop runs (not by DoModal): the loop ends.
        if (m_continueModal) {
            m_continueModal = false;
            m_nModalResult = -1;
        }
        ReleaseWindow();
        return FALSE;
    }
    if (ReturnsResultDirectly(message)) {
        return static_cast<INT_PTR>(result);
    }
    if (current.useDefault) {
        return FALSE;
    }
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()
