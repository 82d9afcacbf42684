// CZoomDlg: the camera's digital zoom and pan. A small topmost dialog with a vertical zoom
// trackbar, four arrow buttons and "Enable Zoom"; a 20 ms tick imposes the trackbar's zoom level
// while zoom is on, enables only the arrows that can still move the view, and pans once per tick
// for an arrow held down.
#pragma once

#include <array>
#include <cstdint>

#include "dialogs/camera_dialog.h"
#include "dialogs/capture_windows.h"
#include "framework/controls.h"
#include "framework/icon_handle.h"

class CZoomDlg : public CCameraDialog {
public:
    // It opens beside `besideWindow` when there is one, else centred on the monitor under the
    // mouse pointer.
    CZoomDlg(CaptureWindows& captureWindows, HWND besideWindow);

    void ZoomTick();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnTimer(UINT_PTR nIDEvent);
    void OnClose();
    void OnEnableZoom();
    void OnArrow(UINT nID);
    // The dialog manager scales the dialog; the arrows get icons drawn for the new size.
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);

private:
    CButton& ArrowButton(int id);
    // Puts icons of the display's icon size on the arrows: 32 pixels at 100 %.
    void ShowArrowIcons();
    // Enables the arrow buttons that can still move the view.
    void ShowArrows(std::int32_t level, std::int32_t view_position);

    CaptureWindows& m_captureWindows;
    HWND m_besideWindow;
    CSliderCtrl m_zoom;
    CButton m_enableZoom, m_up, m_down, m_left, m_right;
    std::array<framework::IconHandle, 4> m_icons;  // shown on the arrows while the window exists
    // Where the view sat at the last tick with zoom on; none before the first.
    std::int32_t m_viewPosition = 0;
    // The zoom level read at the end of the last tick: what every pan sends.
    std::int32_t m_panValue = 0;

    DECLARE_MESSAGE_MAP()
};

// Runs the Zoom dialog unless one is open already (found by its title in any of its languages),
// beside `besideWindow` when there is one.
void OpenZoomDialog(CaptureWindows& captureWindows, HWND besideWindow);
