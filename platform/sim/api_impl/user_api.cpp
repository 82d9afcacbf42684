// Windows, messages and dialogs, on the current machine. The *A functions convert text through
// the machine's ANSI code page.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/api/win32_commctrl.h"
#include "platform/sim/api/win32_user.h"
#include "platform/sim/api_impl/api_support.h"
#include "platform/sim/codepage.h"
#include "platform/sim/machine.h"

namespace {

using sim::api::CopyAnsi;
using sim::api::M;

bool Injected(const char* operation, DWORD error) {
    return sim::api::FailsByInjection(operation, error);
}

std::u16string FromAnsi(LPCSTR text) {
    return text ? sim::AnsiToUtf16(text, M().locale().ansi_code_page) : std::u16string();
}

sim::Window* Find(HWND hwnd) {
    sim::Window* window = M().windows().Find(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    }
    return window;
}

}  // namespace

HWND WINAPI CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    if (Injected("CreateDialogParamA", ERROR_NOT_ENOUGH_MEMORY)) {
        return nullptr;
    }
    if (!M().program().IsProgram(hInstance) || !IS_INTRESOURCE(lpTemplateName)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return M().dialogs().Create(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(lpTemplateName)),
                                hWndParent, lpDialogFunc, dwInitParam);
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    if (const sim::Window* window = M().windows().Find(hWnd); window && window->TopLevel()) {
        M().trace().Record("DestroyWindow " + sim::Utf16ToUtf8(window->title));
    }
    return M().windows().Destroy(hWnd) ? TRUE : FALSE;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    return M().windows().Show(hWnd, nCmdShow) ? TRUE : FALSE;
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                         UINT uFlags) {
    return M().windows().SetPosition(hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags) ? TRUE : FALSE;
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    return M().windows().Enable(hWnd, bEnable != FALSE) ? TRUE : FALSE;
}

BOOL WINAPI IsWindow(HWND hWnd) {
    return M().windows().Find(hWnd) ? TRUE : FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    const sim::Window* window = M().windows().Find(hWnd);
    return window && window->Enabled() ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    return M().windows().ShownOnScreen(hWnd) ? TRUE : FALSE;
}

BOOL WINAPI IsIconic(HWND hWnd) {
    const sim::Window* window = Find(hWnd);
    return window && (window->style & WS_MINIMIZE) ? TRUE : FALSE;
}

HWND WINAPI GetParent(HWND hWnd) {
    const sim::Window* window = Find(hWnd);
    if (!window) {
        return nullptr;
    }
    return window->TopLevel() ? window->owner : window->parent;
}

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
    const sim::Window* window = Find(hWnd);
    if (!window) {
        return nullptr;
    }
    sim::WindowManager& windows = M().windows();
    switch (uCmd) {
        case GW_OWNER:
            return window->TopLevel() ? window->owner : nullptr;
        case GW_CHILD: {
            const auto children = windows.ChildrenInZOrder(hWnd);
            return children.empty() ? nullptr : children.front();
        }
        case GW_HWNDNEXT:
        case GW_HWNDPREV: {
            const auto siblings = window->TopLevel() ? windows.TopLevelWindows()
                                                     : windows.ChildrenInZOrder(window->parent);
            auto it = std::find(siblings.begin(), siblings.end(), hWnd);
            if (it == siblings.end()) {
                return nullptr;
            }
            if (uCmd == GW_HWNDPREV) {
                return it == siblings.begin() ? nullptr : *(it - 1);
            }
            return it + 1 == siblings.end() ? nullptr : *(it + 1);
        }
        default:
            return nullptr;
    }
}

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd) {
    return M().windows().IsDescendant(hWndParent, hWnd) ? TRUE : FALSE;
}

HWND WINAPI GetFocus() {
    return M().windows().Focus(sim::Kernel::CurrentThread());
}

HWND WINAPI SetFocus(HWND hWnd) {
    const HWND previous = GetFocus();
    if (!Find(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    M().windows().SetFocus(hWnd);
    return previous;
}

SHORT WINAPI GetKeyState(int nVirtKey) {
    return M().navigation().Down(static_cast<UINT>(nVirtKey)) ? static_cast<SHORT>(0x8000) : 0;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    if (!Find(hDlg)) {
        return nullptr;
    }
    return M().dialogs().Item(hDlg, nIDDlgItem);
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    const sim::Window* window = Find(hWnd);
    return window && !window->TopLevel() ? window->id : 0;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
    const sim::Window* window = Find(hWnd);
    if (!window) {
        return 0;
    }
    switch (nIndex) {
        case GWL_STYLE:
            return static_cast<LONG_PTR>(window->style);
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(window->ex_style);
        case GWLP_ID:
            return window->id;
        case GWLP_USERDATA:
            return window->user_data;
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(window->proc);
        case static_cast<int>(DWLP_MSGRESULT):
            return window->dialog_result;
        case static_cast<int>(DWLP_DLGPROC):
            return reinterpret_cast<LONG_PTR>(window->dialog_proc);
        case static_cast<int>(DWLP_USER):
            return window->dialog_user;
        default:
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
    }
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    sim::Window* window = Find(hWnd);
    if (!window) {
        return 0;
    }
    LONG_PTR old = GetWindowLongPtrA(hWnd, nIndex);
    switch (nIndex) {
        case GWL_STYLE:
            window->style = static_cast<DWORD>(dwNewLong);
            break;
        case GWL_EXSTYLE:
            window->ex_style = static_cast<DWORD>(dwNewLong);
            break;
        case GWLP_ID:
            window->id = static_cast<int>(dwNewLong);
            break;
        case GWLP_USERDATA:
            window->user_data = dwNewLong;
            break;
        case GWLP_WNDPROC:
            window->proc = reinterpret_cast<WNDPROC>(dwNewLong);
            break;
        case static_cast<int>(DWLP_MSGRESULT):
            window->dialog_result = dwNewLong;
            break;
        case static_cast<int>(DWLP_DLGPROC):
            window->dialog_proc = reinterpret_cast<DLGPROC>(dwNewLong);
            break;
        case static_cast<int>(DWLP_USER):
            window->dialog_user = dwNewLong;
            break;
        default:
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
    }
    return old;
}

namespace {

std::string PropertyName(LPCSTR name) {
    std::string upper = name != nullptr ? name : "";
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

}  // namespace

BOOL WINAPI SetPropA(HWND hWnd, LPCSTR lpString, HANDLE hData) {
    sim::Window* window = Find(hWnd);
    if (!window || lpString == nullptr) {
        return FALSE;
    }
    window->properties[PropertyName(lpString)] = hData;
    return TRUE;
}

HANDLE WINAPI GetPropA(HWND hWnd, LPCSTR lpString) {
    const sim::Window* window = Find(hWnd);
    if (!window || lpString == nullptr) {
        return nullptr;
    }
    const auto found = window->properties.find(PropertyName(lpString));
    return found != window->properties.end() ? found->second : nullptr;
}

HANDLE WINAPI RemovePropA(HWND hWnd, LPCSTR lpString) {
    sim::Window* window = Find(hWnd);
    if (!window || lpString == nullptr) {
        return nullptr;
    }
    const auto found = window->properties.find(PropertyName(lpString));
    if (found == window->properties.end()) {
        return nullptr;
    }
    const HANDLE data = found->second;
    window->properties.erase(found);
    return data;
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    if (!Find(hWnd)) {
        return FALSE;
    }
    M().windows().SetText(hWnd, FromAnsi(lpString));
    return TRUE;
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    const sim::Window* window = Find(hWnd);
    if (!window) {
        if (lpString && nMaxCount > 0) {
            lpString[0] = '\0';
        }
        return 0;
    }
    return CopyAnsi(window->title, lpString, nMaxCount);
}

HWND WINAPI FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
    if (Injected("FindWindowA", ERROR_INVALID_WINDOW_HANDLE)) {
        return nullptr;
    }
    sim::WindowManager& windows = M().windows();
    for (HWND hwnd : windows.TopLevelWindows()) {
        const sim::Window* window = windows.Find(hwnd);
        if (lpClassName && !sim::SameTextIgnoringCase(window->class_name, FromAnsi(lpClassName))) {
            continue;
        }
        if (lpWindowName && !sim::SameTextIgnoringCase(window->title, FromAnsi(lpWindowName))) {
            continue;
        }
        return hwnd;
    }
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
    const sim::Window* window = Find(hWnd);
    if (!window) {
        return 0;
    }
    if (lpdwProcessId) {
        *lpdwProcessId = static_cast<DWORD>(window->process);
    }
    return static_cast<DWORD>(window->thread);
}

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
    if (Injected("SetForegroundWindow", ERROR_ACCESS_DENIED)) {
        return FALSE;
    }
    if (!Find(hWnd)) {
        return FALSE;
    }
    M().windows().SetForeground(hWnd);
    return TRUE;
}

HWND WINAPI GetForegroundWindow() {
    return M().windows().foreground();
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return M().windows().DefaultProcedure(hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    // A control's own messages can be made to fail: the control never sees it and the answer
    // is 0, as for a window that went away meanwhile.
    if (const sim::Window* window = M().windows().Find(hWnd)) {
        const bool trackbar = sim::SameTextIgnoringCase(window->class_name, u"msctls_trackbar32") &&
                              Msg >= WM_USER && Msg <= WM_USER + 40;
        const bool button = sim::SameTextIgnoringCase(window->class_name, u"Button") &&
                            Msg >= BM_GETCHECK && Msg <= BM_SETIMAGE;
        if ((trackbar && Injected("SendMessageA(TBM)", ERROR_INVALID_WINDOW_HANDLE)) ||
            (button && Injected("SendMessageA(BM)", ERROR_INVALID_WINDOW_HANDLE))) {
            return 0;
        }
    }
    return M().windows().Send(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI SendNotifyMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!Find(hWnd)) {
        return FALSE;
    }
    return M().windows().SendNotify(hWnd, Msg, wParam, lParam) ? TRUE : FALSE;
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (Injected("PostMessageA", ERROR_NOT_ENOUGH_MEMORY)) {
        return FALSE;
    }
    // Their data would have to outlive the call: Windows only sends them.
    if (sim::IsCopiedMessage(Msg, wParam)) {
        SetLastError(ERROR_MESSAGE_SYNC_ONLY);
        return FALSE;
    }
    return M().windows().Post(hWnd, Msg, wParam, lParam) ? TRUE : FALSE;
}

void WINAPI PostQuitMessage(int nExitCode) {
    M().windows().PostQuit(nExitCode);
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    // As when Wine cannot unpack what another program sent: -1, and the message is gone.
    if (Injected("GetMessageA", ERROR_INVALID_PARAMETER)) {
        return -1;
    }
    return M().windows().Get(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax);
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg) {
    return M().windows().Peek(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg);
}

BOOL WINAPI TranslateMessage(const MSG* /*lpMsg*/) {
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
    return M().windows().Dispatch(lpMsg);
}

BOOL WINAPI IsDialogMessageA(HWND hDlg, LPMSG lpMsg) {
    return M().dialogs().IsDialogMessage(hDlg, lpMsg);
}

UINT WINAPI RegisterWindowMessageA(LPCSTR lpString) {
    if (Injected("RegisterWindowMessageA", ERROR_NOT_ENOUGH_MEMORY)) {
        return 0;
    }
    if (!lpString || !*lpString) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return M().windows().RegisterMessage(FromAnsi(lpString));
}

BOOL WINAPI ChangeWindowMessageFilterEx(HWND hwnd, UINT message, DWORD action,
                                        PCHANGEFILTERSTRUCT pChangeFilterStruct) {
    if (Injected("ChangeWindowMessageFilterEx", ERROR_ACCESS_DENIED)) {
        return FALSE;
    }
    sim::Window* window = Find(hwnd);
    if (!window) {
        return FALSE;
    }
    if (pChangeFilterStruct && pChangeFilterStruct->cbSize != sizeof(CHANGEFILTERSTRUCT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    switch (action) {
        case MSGFLT_ALLOW:
            window->allowed_from_lower_rights.insert(message);
            return TRUE;
        case MSGFLT_DISALLOW:
            window->allowed_from_lower_rights.erase(message);
            return TRUE;
        case MSGFLT_RESET:
            window->allowed_from_lower_rights.clear();
            return TRUE;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
    }
}

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    M().trace().Record("SetTimer " + std::to_string(nIDEvent) + " " + std::to_string(uElapse));
    if (Injected("SetTimer", ERROR_NOT_ENOUGH_MEMORY)) {
        return 0;
    }
    return M().windows().SetTimer(hWnd, nIDEvent, uElapse, lpTimerFunc);
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    if (Injected("KillTimer", ERROR_INVALID_PARAMETER)) {
        return FALSE;
    }
    M().trace().Record("KillTimer " + std::to_string(uIDEvent));
    return M().windows().KillTimer(hWnd, uIDEvent) ? TRUE : FALSE;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    sim::Window* window = Find(hWnd);
    if (!window || !lpPaint) {
        return nullptr;
    }
    *lpPaint = PAINTSTRUCT{};
    // Nothing erased the background on the way: the program is to, when erasing was asked for.
    lpPaint->fErase = window->needs_erase ? TRUE : FALSE;
    window->needs_paint = false;
    window->needs_erase = false;
    lpPaint->hdc = reinterpret_cast<HDC>(hWnd);
    lpPaint->rcPaint =
        RECT{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    return lpPaint->hdc;
}

BOOL WINAPI EndPaint(HWND /*hWnd*/, const PAINTSTRUCT* /*lpPaint*/) {
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* /*lpRect*/, BOOL bErase) {
    // Update regions are whole windows here: any rectangle invalidates the window.
    using Reach = sim::WindowManager::Reach;
    sim::WindowManager& windows = M().windows();
    if (!hWnd) {
        for (HWND top_level : windows.TopLevelWindows()) {
            windows.Invalidate(top_level, bErase != FALSE, Reach::kUnclipped);
        }
        return TRUE;
    }
    if (!Find(hWnd)) {
        return FALSE;
    }
    windows.Invalidate(hWnd, bErase != FALSE, Reach::kUnclipped);
    return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    if (!Find(hWnd)) {
        return FALSE;
    }
    M().windows().UpdateNow(hWnd, sim::WindowManager::Reach::kAllChildren);
    return TRUE;
}

BOOL WINAPI RedrawWindow(HWND hWnd, const RECT* /*lprcUpdate*/, HRGN /*hrgnUpdate*/, UINT flags) {
    using Reach = sim::WindowManager::Reach;
    sim::WindowManager& windows = M().windows();
    std::vector<HWND> targets;
    if (hWnd) {
        if (!Find(hWnd)) {
            return FALSE;
        }
        targets.push_back(hWnd);
    } else {
        targets = windows.TopLevelWindows();  // the desktop: every window on it
    }
    const Reach reach = (flags & RDW_ALLCHILDREN)  ? Reach::kAllChildren
                        : (flags & RDW_NOCHILDREN) ? Reach::kWindowOnly
                                                   : Reach::kUnclipped;
    for (HWND target : targets) {
        if (flags & RDW_INVALIDATE) {
            windows.Invalidate(target, (flags & RDW_ERASE) != 0, reach);
        } else if (flags & RDW_VALIDATE) {
            windows.Validate(target, reach);
        }
        if (flags & RDW_UPDATENOW) {
            windows.UpdateNow(target, reach);
        }
    }
    return TRUE;
}

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
    return picce && picce->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}

HRESULT WINAPI CoInitialize(LPVOID /*pvReserved*/) {
    M().trace().Record("CoInitialize");
    if (auto code = M().faults().Take("CoInitialize")) {
        return static_cast<HRESULT>(*code != 0 ? *code : 0x80004005u);
    }
    return M().apartments().Initialize(sim::Kernel::CurrentThread()) ? 0 : 1;
}

void WINAPI CoUninitialize() {
    M().trace().Record("CoUninitialize");
    M().apartments().Uninitialize(sim::Kernel::CurrentThread());
}
