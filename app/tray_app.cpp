#include "app/tray_app.h"

#include <memory>

#include "app/property_host_dlg.h"

CTrayApp theApp;

BEGIN_MESSAGE_MAP(CTrayApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

BOOL CTrayApp::InitInstance() {
    AfxEnableControlContainer();
    // The host window is the marker of a running copy, whoever made it.
    if (FindWindowA(kHostWindowClass, kHostWindowTitle)) {
        return FALSE;  // nothing to run: the process ends at once
    }
    Enable3dControls();
    CoInitialize(nullptr);
    auto host = std::make_unique<CPropertyHostDlg>();
    m_pMainWnd = host.get();
    host->DoModal();
    CoUninitialize();
    m_pMainWnd = nullptr;
    host.reset();
    return FALSE;
}
