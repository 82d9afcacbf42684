#include "framework/wnd.h"

#include <algorithm>
#include <utility>

#include "framework/data_exchange.h"
#include "framework/win_app.h"

namespace {

// The object attached to a window travels with the window, as a property of this name.
constexpr char kObjectProperty[] = "LumisetCWnd";

}  // namespace

CWnd::~CWnd() {
    if (m_hWnd != nullptr) {
        Detach();
    }
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (hWnd == nullptr) {
        return nullptr;
    }
    return static_cast<CWnd*>(::GetPropA(hWnd, kObjectProperty));
}

BOOL CWnd::Attach(HWND hWnd) {
    if (hWnd == nullptr || m_hWnd != nullptr) {
        return FALSE;
    }
    if (::GetPropA(hWnd, kObjectProperty) != nullptr || !::SetPropA(hWnd, kObjectProperty, this)) {
        return FALSE;
    }
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach() {
    const HWND hWnd = std::exchange(m_hWnd, nullptr);
    if (hWnd != nullptr && ::GetPropA(hWnd, kObjectProperty) == this) {
        ::RemovePropA(hWnd, kObjectProperty);
    }
    return hWnd;
}

void CWnd::ReleaseWindow() {
    for (CWnd* control : m_boundControls) {
        control->Detach();
    }
    m_boundControls.clear();
    m_temporaries.clear();
    Detach();
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags);
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::SetForegroundWindow() {
    return ::SetForegroundWindow(m_hWnd);
}

DWORD CWnd::GetStyle() const {
    return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE));
}

int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}

CWnd* CWnd::GetDlgItem(int nID) const {
    const HWND child = ::GetDlgItem(m_hWnd, nID);
    if (child == nullptr) {
        return nullptr;
    }
    if (CWnd* permanent = FromHandlePermanent(child)) {
        return permanent;
    }
    const auto known = std::find_if(m_temporaries.begin(), m_temporaries.end(),
                                    [child](const auto& wnd) { return wnd->m_hWnd == child; });
    if (known != m_temporaries.end()) {
        return known->get();
    }
    // A temporary is not attached: it only names the handle.
    auto temporary = std::make_unique<CWnd>();
    temporary->m_hWnd = child;
    m_temporaries.push_back(std::move(temporary));
    return m_temporaries.back().get();
}

UINT CWnd::IsDlgButtonChecked(int nIDButton) const {
    const HWND button = ::GetDlgItem(m_hWnd, nIDButton);
    return button != nullptr ? static_cast<UINT>(::SendMessageA(button, BM_GETCHECK, 0, 0)) : 0;
}

void CWnd::SetWindowText(LPCSTR lpszString) {
    ::SetWindowTextA(m_hWnd, lpszString);
}

int CWnd::GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const {
    return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
}

void CWnd::GetWindowText(CString& rString) const {
    // A text that fills the buffer may be longer: retry with a larger one.
    std::string buffer(256, '\0');
    for (;;) {
        const int copied = ::GetWindowTextA(m_hWnd, buffer.data(), static_cast<int>(buffer.size()));
        if (copied < static_cast<int>(buffer.size()) - 1) {
            buffer.resize(static_cast<std::size_t>(std::max(copied, 0)));
            rString = CString(std::move(buffer));
            return;
        }
        buffer.assign(buffer.size() * 2, '\0');
    }
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) {
    return ::KillTimer(m_hWnd, nIDEvent);
}

CMenu CWnd::GetSystemMenu(BOOL bRevert) const {
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange exchange(this, bSaveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

bool CWnd::IsBeingDestroyed(HWND hWnd) {
    for (; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        if (const CWnd* wnd = FromHandlePermanent(hWnd); wnd != nullptr && wnd->m_bDestroying) {
            return true;
        }
    }
    return false;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        if (CWnd* wnd = FromHandlePermanent(hWnd);
            wnd != nullptr && wnd->PreTranslateMessage(pMsg)) {
            return TRUE;
        }
        if (hWnd == hWndStop) {
            break;
        }
    }
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) {
        result = Default();
    }
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) {
            return FALSE;
        }
        *pResult = 1;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        return OnNotify(wParam, lParam, pResult);
    }
    const CMessageEntry* entry = FindMessageEntry(message);
    if (entry == nullptr) {
        return FALSE;
    }
    *pResult = entry->thunk(*this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    if (id == 0) {
        return FALSE;
    }
    // Menus, accelerators and other programs pass no control handle: whatever their high word,
    // they are commands. A control passes its handle and its notification code.
    const UINT code = lParam == 0 ? 0 : HIWORD(wParam);
    return OnCmdMsg(id, code);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr) {
        return FALSE;
    }
    const CMessageEntry* entry = FindNotifyEntry(static_cast<UINT>(header->idFrom), header->code);
    if (entry == nullptr) {
        return FALSE;
    }
    *pResult = entry->thunk(*this, 0, lParam);
    return TRUE;
}

LRESULT CWnd::Default() {
    if (m_pCurrentMessage != nullptr) {
        m_pCurrentMessage->useDefault = true;
    }
    return 0;
}

void CWnd::OnTimer(UINT_PTR) {
    Default();
}

void CWnd::OnPaint() {
    Default();
}

void CWnd::OnClose() {
    Default();
}

HICON CWnd::OnQueryDragIcon() {
    Default();
    return nullptr;
}

void CWnd::OnWindowPosChanging(WINDOWPOS*) {
    Default();
}

void CWnd::OnShowWindow(BOOL, UINT) {
    Default();
}

void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}

void CWnd::OnDrawItem(int, DRAWITEMSTRUCT*) {
    Default();
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()
