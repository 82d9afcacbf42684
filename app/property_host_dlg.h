// CPropertyHostDlg: the hidden host window. It owns the tray icon, the one-second tick that
// refreshes the icon and checks the stored setting, and the table of window commands that any
// program may send it. It never becomes visible.
#pragma once

#include <optional>

#include "app/camera_hotkeys.h"
#include "app/modal_windows.h"
#include "app/settings_window.h"
#include "app/tray_camera_state.h"
#include "device/camera_arrival_notification.h"
#include "device/camera_switch_result.h"
#include "device/device_enable_setting.h"
#include "device/seen_cameras.h"
#include "dialogs/capture_windows.h"
#include "dialogs/effect_page.h"
#include "dialogs/image_control_page.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "platform/win32.h"

// Class and title of the host window: together the marker of a running copy.
inline constexpr const char* kHostWindowClass = "#32770";
inline constexpr const char* kHostWindowTitle = "Property";

// The shell reports mouse events on the tray icon with this message.
inline constexpr UINT WM_TRAYNOTIFY = WM_APP + 1000;

// Registered message that opens the settings window: wParam 0 for the Image Control tab, 1 for
// the Effect tab.
inline constexpr const char* kShowSettingsMessage = "LumisetShowSettings";

class CPropertyHostDlg : public CDialog {
public:
    CPropertyHostDlg();

    void HideHostWindow();
    void ShutDownHost();
    void RefreshTrayIcon();
    void SwitchCameraOn();
    void SwitchCameraOff();
    // Closes the settings window and every window still open on the host's thread, so that
    // what their pages and dialogs hold goes before COM does.
    void CloseOwnWindows();
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Opens the settings window once the host is up (a start asked to show it).
    void ShowSettingsWhenUp() { m_showSettingsAtStart = true; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Commands 1 and 2 end the host as the base dialog does, without the exit sequence; the
    // windows open on its thread close with it.
    void OnOK() override;
    void OnCancel() override;

    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnPowerBroadcast(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnTaskbarCreated(WPARAM wParam, LPARAM lParam);
    LRESULT OnShowSettings(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeysChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnHotKey(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HICON OnQueryDragIcon();
    void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    void OnTimer(UINT_PTR nIDEvent);
    void OnClose();
    void OnTabSelChange(NMHDR* pNMHDR, LRESULT* pResult);
    void OnExit();
    void OnPowerLine50Hz();
    void OnPowerLine60Hz();
    void OnEffect(UINT nID);
    void OnStillImage(UINT nID);
    void OnFaceTracking();
    void OnOpenPropertyPage();
    void OnZoom();

private:
    void AppendAboutItem();
    // The host is ending: from now on nothing opens a menu, a dialog or a modal loop, whatever is
    // still queued.
    void BeginClosing();
    // What the host holds on the desktop goes with its window however its loop ended: the icon,
    // the kept registry handle, the tick and the device notification.
    void LeaveTheDesktop();
    void TakeMessagesFromLowerRights();
    // Sends the tray record with a freshly loaded icon, which the shell copies.
    void SendTrayRecord(DWORD command);
    // Tells the user in a balloon on the icon why a switch asked for did not happen.
    // DisableCamera with the capture filter let go first and no binding made meanwhile: the
    // filter must not hold the device open while it goes away.
    CameraSwitchResult DisableCameraWithoutTheFilter();
    void ShowSwitchBalloon(CameraSwitchResult result);
    // Shows `text` in a balloon on the icon, one a second at most; false when there is no icon.
    bool ShowBalloon(const char* text);
    // Registers the stored keys; a key another program holds is named in a balloon once the icon
    // is there.
    void RegisterCameraKeys();
    void ShowKeyBalloonWhenIconIsThere();
    // At a tick: a camera node not seen before, among the arrivals since a failed re-apply, makes
    // the camera marked again; a marked camera is re-applied.
    void KeepCameraAsSet(DWORD stored);
    // The camera came back or the machine woke (the messages only mark it): switches the camera
    // to the stored choice where its node differs, and puts back the remembered frequency. Silent,
    // and not repeated after a failure until a camera node not seen before arrives or the machine
    // resumes.
    void ReapplyCameraSetting(DWORD stored);

    // The shell announces with this registered message that it has started again.
    static UINT s_taskbarCreatedMessage;
    static UINT s_showSettingsMessage;
    static UINT s_keysChangedMessage;

    NOTIFYICONDATAA m_trayRecord{};
    TrayCameraState m_cameraState;              // which icon and tooltip the tick sends
    DeviceEnableSetting m_deviceEnableSetting;  // holds DeviceEnableKey
    bool m_showAllowed = false;
    CTabCtrl m_tabCtrl;
    HICON m_hDragIcon = nullptr;  // nothing is ever loaded into it
    CImageControlPage m_imageControlPage;
    CEffectPage m_effectPage;
    CSettingsDlg m_settingsWindow{m_imageControlPage, m_effectPage};
    bool m_showSettingsAtStart = false;
    CaptureWindows m_captureWindows;
    ModalWindows m_modalWindows;
    CameraArrivalNotification m_cameraArrival;
    bool m_reapplyPending = false;
    // A re-apply failed: device-node changes (its own among them) wait for a new camera node or
    // resume.
    bool m_reapplyFailed = false;
    // Since the failure, a device arrived: the next tick looks for a camera node not seen before.
    bool m_arrivalAfterFailure = false;
    // The camera nodes present when the host switched the camera or looked after an arrival.
    device::SeenCameras m_seenCameras;
    bool m_switchUnderWay = false;
    bool m_closing = false;
    bool m_leftTheDesktop = false;
    std::optional<DWORD> m_lastBalloonTick;
    CameraHotkeys m_cameraHotkeys;
    // A key that another program holds, found at start or after a change, not named yet.
    std::optional<CameraKey> m_keyToName;

    DECLARE_MESSAGE_MAP()
};
