#include "app/tray_app.h"

#include <cctype>
#include <memory>
#include <string_view>

#include "app/property_host_dlg.h"
#include "camera/capture_filter.h"
#include "dialogs/effect_cycle.h"
#include "framework/menu_loop_guard.h"

CTrayApp theApp;

namespace {

// "/settings" or "-settings", in any case, alone on the command line. Anything else starts the
// program as usual.
bool AsksForSettings(LPCSTR command_line) {
    std::string_view text = command_line != nullptr ? command_line : "";
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    constexpr std::string_view kSwitch = "settings";
    if (text.size() != kSwitch.size() + 1 || (text[0] != '/' && text[0] != '-')) {
        return false;
    }
    for (std::size_t i = 0; i < kSwitch.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i + 1])) != kSwitch[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

BEGIN_MESSAGE_MAP(CTrayApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

BOOL CTrayApp::InitInstance() {
    AfxEnableControlContainer();
    const bool settings = AsksForSettings(m_lpCmdLine);
    // The host window is the marker of a running copy, whoever made it.
    if (const HWND running = FindWindowA(kHostWindowClass, kHostWindowTitle)) {
        if (settings) {
            const UINT show_settings = RegisterWindowMessageA(kShowSettingsMessage);
            if (show_settings != 0) {
                PostMessageA(running, show_settings, CSettingsDlg::ImageControlTab, 0);
            }
        }
        return FALSE;  // nothing to run: the process ends at once
    }
    Enable3dControls();
    // Every menu this thread opens (the tray menu, a window's system menu) keeps taking messages
    // whatever another program posts meanwhile.
    const framework::MenuLoopGuard menu_loop_guard;
    CoInitialize(nullptr);
    auto host = std::make_unique<CPropertyHostDlg>();
    if (settings) {
        host->ShowSettingsWhenUp();
    }
    m_pMainWnd = host.get();
    host->DoModal();
    // Whatever ended the host's loop, what its windows and the cycle hold goes while COM is
    // still there.
    host->CloseOwnWindows();
    EffectCycleThread.StopAndWait();
    ReleaseCaptureFilter();
    CoUninitialize();
    m_pMainWnd = nullptr;
    host.reset();
    return FALSE;
}
