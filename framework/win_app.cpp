#include "framework/win_app.h"

#include "framework/message_loop.h"
#include "framework/message_origin.h"
#include "framework/wnd.h"

namespace {

CWinApp*& TheApp() {
    static CWinApp* app = nullptr;
    return app;
}

}  // namespace

CWinApp::CWinApp() {
    TheApp() = this;
}

CWinApp::~CWinApp() {
    if (TheApp() == this) {
        TheApp() = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return m_nExitCode;
}

int CWinApp::Run() {
    // A run without a main window has nothing to wait for: it ends at once.
    if (m_pMainWnd == nullptr) {
        ::PostQuitMessage(0);
    }
    MSG msg{};
    for (;;) {
        const framework::Taken taken = framework::TakeMessage(msg);
        if (taken == framework::Taken::kQuit) {
            m_nExitCode = static_cast<int>(msg.wParam);
        }
        if (taken != framework::Taken::kMessage) {
            break;
        }
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return ExitInstance();
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->hwnd == nullptr) {
        return FALSE;  // thread messages belong to no window
    }
    return CWnd::WalkPreTranslateTree(m_pMainWnd != nullptr ? m_pMainWnd->m_hWnd : nullptr, pMsg);
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp* AfxGetApp() {
    return TheApp();
}

CWnd* AfxGetMainWnd() {
    CWinApp* app = AfxGetApp();
    return app != nullptr ? app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetResourceHandle() {
    return ::GetModuleHandleA(nullptr);
}

BOOL AfxEnableControlContainer() {
    return TRUE;
}

BOOL AfxPreTranslateMessage(MSG* pMsg) {
    CWinApp* app = AfxGetApp();
    return app != nullptr ? app->PreTranslateMessage(pMsg)
                          : CWnd::WalkPreTranslateTree(nullptr, pMsg);
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return -1;
    }
    app->m_hInstance = hInstance;
    app->m_lpCmdLine = lpCmdLine;
    app->m_nCmdShow = nCmdShow;

    // The dialogs hold tab controls and trackbars.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_TAB_CLASSES | ICC_BAR_CLASSES;
    ::InitCommonControlsEx(&controls);

    // Other programs' posts of messages that only the system sends end here, whatever loop of this
    // thread takes them from the queue, for the whole life of the program.
    const framework::PostedMessageFilter filter;

    if (!app->InitInstance()) {
        return app->ExitInstance();
    }
    return app->Run();
}
