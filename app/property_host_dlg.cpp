#include "app/property_host_dlg.h"

#include <cstring>
#include <utility>

#include "app/about_dlg.h"
#include "app/switch_under_way.h"
#include "camera/power_line_memory.h"
#include "device/camera_key_state.h"
#include "framework/cstring.h"
#include "framework/data_exchange.h"
#include "framework/display_scale.h"
#include "framework/icon_handle.h"
#include "framework/message_origin.h"
#include "framework/paint_dc.h"
#include "res/resource.h"

namespace {

constexpr UINT_PTR kTickTimer = 0;
constexpr UINT kTickPeriodMs = 1000;
constexpr UINT kTrayIconId = 148;
constexpr UINT kTrayFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
constexpr UINT kAboutCommand = 0x0010;  // system commands 16 to 31

}  // namespace

UINT CPropertyHostDlg::s_taskbarCreatedMessage = 0;
UINT CPropertyHostDlg::s_showSettingsMessage = 0;
UINT CPropertyHostDlg::s_keysChangedMessage = 0;

BEGIN_MESSAGE_MAP(CPropertyHostDlg, CDialog)
    ON_MESSAGE(WM_TRAYNOTIFY, &CPropertyHostDlg::OnTrayNotify)
    ON_MESSAGE(WM_POWERBROADCAST, &CPropertyHostDlg::OnPowerBroadcast)
    ON_MESSAGE(WM_DEVICECHANGE, &CPropertyHostDlg::OnDeviceChange)
    ON_REGISTERED_MESSAGE(s_taskbarCreatedMessage, &CPropertyHostDlg::OnTaskbarCreated)
    ON_REGISTERED_MESSAGE(s_showSettingsMessage, &CPropertyHostDlg::OnShowSettings)
    ON_REGISTERED_MESSAGE(s_keysChangedMessage, &CPropertyHostDlg::OnKeysChanged)
    ON_MESSAGE(WM_HOTKEY, &CPropertyHostDlg::OnHotKey)
    ON_MESSAGE(WM_SETTEXT, &CPropertyHostDlg::OnSetText)
    ON_MESSAGE(WM_DESTROY, &CPropertyHostDlg::OnDestroy)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_WINDOWPOSCHANGING()
    ON_WM_TIMER()
    ON_WM_CLOSE()
    ON_WM_DRAWITEM()
    ON_NOTIFY(TCN_SELCHANGE, IDC_HOST_TAB, &CPropertyHostDlg::OnTabSelChange)
    ON_COMMAND(IDC_HOST_CANCEL, &CPropertyHostDlg::HideHostWindow)
    ON_COMMAND(IDC_HOST_OK, &CPropertyHostDlg::HideHostWindow)
    ON_COMMAND(ID_EXIT, &CPropertyHostDlg::OnExit)
    ON_COMMAND(ID_FLICKER_50HZ, &CPropertyHostDlg::OnPowerLine50Hz)
    ON_COMMAND(ID_FLICKER_60HZ, &CPropertyHostDlg::OnPowerLine60Hz)
    ON_COMMAND(ID_CAMERA_ON, &CPropertyHostDlg::SwitchCameraOn)
    ON_COMMAND(ID_CAMERA_OFF, &CPropertyHostDlg::SwitchCameraOff)
    ON_COMMAND(ID_OPEN_PROPERTY_PAGE, &CPropertyHostDlg::OnOpenPropertyPage)
    ON_COMMAND_RANGE(ID_EFFECT_AGED_PHOTO, ID_NO_EFFECT, &CPropertyHostDlg::OnEffect)
    ON_COMMAND_RANGE(ID_SNAPSHOT_SIZE_SMALL, ID_SNAPSHOT_TRIGGER_4, &CPropertyHostDlg::OnStillImage)
    ON_COMMAND_RANGE(ID_SNAPSHOT_SIZE_HIGH, ID_SNAPSHOT_SIZE_HIGH, &CPropertyHostDlg::OnStillImage)
    ON_COMMAND_RANGE(ID_SNAP_SHOT, ID_SNAP_SHOT, &CPropertyHostDlg::OnStillImage)
    ON_COMMAND(ID_FACE_TRACKING, &CPropertyHostDlg::OnFaceTracking)
    ON_COMMAND(ID_ZOOM, &CPropertyHostDlg::OnZoom)
END_MESSAGE_MAP()

CPropertyHostDlg::CPropertyHostDlg() : CDialog(IDD_PROPERTY_HOST) {
    s_taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    s_showSettingsMessage = RegisterWindowMessageA(kShowSettingsMessage);
    s_keysChangedMessage = RegisterWindowMessageA(kCameraKeysChangedMessage);
}

void CPropertyHostDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HOST_TAB, m_tabCtrl);
}

BOOL CPropertyHostDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AppendAboutItem();
    TakeMessagesFromLowerRights();
    {
        const SwitchUnderWay underWay(m_switchUnderWay);
        m_cameraState.Stored(m_deviceEnableSetting.LoadDeviceEnableSetting());
        ApplyRememberedPowerLine();
    }
    m_cameraArrival = RegisterCameraArrival(m_hWnd);
    RegisterCameraKeys();
    m_trayRecord.cbSize = NOTIFYICONDATAA_V2_SIZE;
    m_trayRecord.uFlags = 0;
    m_trayRecord.uCallbackMessage = WM_TRAYNOTIFY;
    m_trayRecord.hWnd = m_hWnd;
    m_trayRecord.uID = kTrayIconId;
    SetTimer(kTickTimer, kTickPeriodMs, nullptr);
    if (m_showSettingsAtStart && s_showSettingsMessage != 0) {
        PostMessage(s_showSettingsMessage, CSettingsDlg::ImageControlTab, 0);
    }
    return TRUE;
}

void CPropertyHostDlg::AppendAboutItem() {
    CMenu systemMenu = GetSystemMenu(FALSE);
    if (!systemMenu.GetSafeHmenu()) {
        return;
    }
    CString about;
    about.LoadString(IDS_ABOUTBOX);
    if (!about.IsEmpty()) {
        systemMenu.AppendMenu(MF_SEPARATOR);
        systemMenu.AppendMenu(MF_STRING, kAboutCommand, about);
    }
}

void CPropertyHostDlg::TakeMessagesFromLowerRights() {
    // Started at logon with an administrator's full rights, the host still hears the programs
    // that run with the user's own: the shell, lumisetctl and "Lumiset.exe /settings". A refusal
    // leaves those messages to the system's default rule.
    const UINT messages[] = {WM_COMMAND, WM_TRAYNOTIFY, s_taskbarCreatedMessage,
                             s_showSettingsMessage, s_keysChangedMessage};
    for (const UINT message : messages) {
        if (message != 0) {
            ChangeWindowMessageFilterEx(m_hWnd, message, MSGFLT_ALLOW, nullptr);
        }
    }
}

void CPropertyHostDlg::HideHostWindow() {
    ShowWindow(SW_HIDE);
    m_showAllowed = false;
}

void CPropertyHostDlg::ShutDownHost() {
    BeginClosing();
    CDialog::OnOK();
    Shell_NotifyIconA(NIM_DELETE, &m_trayRecord);
    m_deviceEnableSetting.CloseDeviceEnableSetting();
    KillTimer(kTickTimer);
    m_cameraArrival.Reset();
    m_cameraHotkeys.Unregister(m_hWnd);
    m_leftTheDesktop = true;
    CloseOwnWindows();
}

void CPropertyHostDlg::OnOK() {
    BeginClosing();
    CDialog::OnOK();
    CloseOwnWindows();
}

void CPropertyHostDlg::OnCancel() {
    BeginClosing();
    CDialog::OnCancel();
    CloseOwnWindows();
}

void CPropertyHostDlg::BeginClosing() {
    m_closing = true;
}

LRESULT CPropertyHostDlg::OnDestroy(WPARAM, LPARAM) {
    BeginClosing();
    LeaveTheDesktop();
    return Default();
}

void CPropertyHostDlg::LeaveTheDesktop() {
    if (std::exchange(m_leftTheDesktop, true)) {
        return;
    }
    // Commands 1 and 2, another program's quit or a queue that failed for good end the loop
    // without the exit sequence; the icon must not stay behind for a program that has gone.
    if (m_trayRecord.uFlags != 0) {
        Shell_NotifyIconA(NIM_DELETE, &m_trayRecord);
    }
    m_deviceEnableSetting.CloseDeviceEnableSetting();
    KillTimer(kTickTimer);
    m_cameraArrival.Reset();
    m_cameraHotkeys.Unregister(m_hWnd);
}

void CPropertyHostDlg::CloseOwnWindows() {
    // The tray menu and the dialogs first: a file dialog of the settings window closes before
    // its owner goes.
    EndMenu();
    ModalWindows::CloseThreadWindows(m_hWnd, m_settingsWindow.GetSafeHwnd());
    m_settingsWindow.Close();
}

void CPropertyHostDlg::SendTrayRecord(DWORD command) {
    // The shell shows the icon at the small-icon size of the display's scale: 16 pixels at 100 %.
    const int size = framework::SystemMetricForWindow(SM_CXSMICON, m_hWnd);
    const framework::IconHandle icon =
        framework::LoadIconResource(m_cameraState.Icon(), size, size);
    m_trayRecord.uFlags = kTrayFlags;
    m_trayRecord.hIcon = icon.Get();
    static_assert(sizeof TrayCameraState::kOnTip <= sizeof m_trayRecord.szTip);
    static_assert(sizeof TrayCameraState::kOffTip <= sizeof m_trayRecord.szTip);
    const char* tip = m_cameraState.Tip();
    std::memcpy(m_trayRecord.szTip, tip, std::strlen(tip) + 1);
    Shell_NotifyIconA(command, &m_trayRecord);
}

void CPropertyHostDlg::RefreshTrayIcon() {
    // uFlags is the only mark of an icon once added: the first tick adds, the others modify.
    SendTrayRecord(m_trayRecord.uFlags == 0 ? NIM_ADD : NIM_MODIFY);
}

LRESULT CPropertyHostDlg::OnTaskbarCreated(WPARAM, LPARAM) {
    // The shell has restarted without our icon; before the first tick there is none to restore.
    if (m_trayRecord.uFlags != 0) {
        SendTrayRecord(NIM_ADD);
    }
    return 0;
}

BOOL CPropertyHostDlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) {
        HideHostWindow();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CPropertyHostDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == kAboutCommand) {
        if (m_closing) {
            return;
        }
        // Each About box would run inside the last one's loop: a flood of these commands would
        // exhaust the stack.
        if (m_modalWindows.IsOpen(ModalWindows::About)) {
            if (CWnd* open = m_modalWindows.Window(ModalWindows::About);
                open != nullptr && open->GetSafeHwnd() != nullptr) {
                open->SetForegroundWindow();
            }
            return;
        }
        CAboutDlg about;
        const ModalWindows::Running running(m_modalWindows, ModalWindows::About, &about);
        about.DoModal();
        return;
    }
    CDialog::OnSysCommand(nID, lParam);
}

void CPropertyHostDlg::OnPaint() {
    CPaintDC dc(this);
}

HICON CPropertyHostDlg::OnQueryDragIcon() {
    return m_hDragIcon;
}

void CPropertyHostDlg::OnWindowPosChanging(WINDOWPOS* lpwndpos) {
    if (!m_showAllowed) {
        lpwndpos->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
    }
}

void CPropertyHostDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kTickTimer) {
        RefreshTrayIcon();
        ShowKeyBalloonWhenIconIsThere();
    }
    const std::optional<DWORD> stored = m_deviceEnableSetting.ReadStoredSetting();
    if (!stored) {
        ShutDownHost();
        return;
    }
    // The icon shows it from the next tick on.
    m_cameraState.Stored(*stored);
    if (!m_switchUnderWay) {
        KeepCameraAsSet(*stored);
    }
}

LRESULT CPropertyHostDlg::OnShowSettings(WPARAM wParam, LPARAM) {
    if (m_closing) {
        return 0;
    }
    m_settingsWindow.Open(wParam);
    return 0;
}

// The title is how lumisetctl and a second copy find this window: no other program renames it.
LRESULT CPropertyHostDlg::OnSetText(WPARAM, LPARAM) {
    if (framework::SentFromAnotherThread()) {
        return FALSE;
    }
    return Default();
}

void CPropertyHostDlg::OnClose() {
    HideHostWindow();
}

void CPropertyHostDlg::OnTabSelChange(NMHDR*, LRESULT*) {}

void CPropertyHostDlg::OnExit() {
    ShutDownHost();
}
