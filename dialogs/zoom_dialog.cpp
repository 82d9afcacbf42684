#include "dialogs/zoom_dialog.h"

#include "camera/vendor_properties.h"
#include "dialogs/zoom_arrows.h"
#include "framework/data_exchange.h"
#include "framework/display_scale.h"
#include "framework/window_placement.h"
#include "res/resource.h"

namespace {

constexpr UINT_PTR kTickTimer = 0;
constexpr UINT kTickMilliseconds = 20;
constexpr std::int32_t kZoomOn = 1;
constexpr std::int32_t kZoomOff = 0;
// The trackbar runs from "Zoom In" at the top (position 0, the largest level) down to "Zoom Out".
constexpr std::int32_t kMaxZoomLevel = 64;

struct ArrowSpec {
    int button;
    UINT icon;
    ZoomChannel pan;
    std::optional<bool> ArrowStates::*state;
};

// In the order held arrows pan.
constexpr ArrowSpec kArrows[] = {
    {IDC_PAN_LEFT, IDI_ARROW_LEFT, ZoomChannel::MoveLeft, &ArrowStates::left},
    {IDC_PAN_RIGHT, IDI_ARROW_RIGHT, ZoomChannel::MoveRight, &ArrowStates::right},
    {IDC_PAN_UP, IDI_ARROW_UP, ZoomChannel::MoveUp, &ArrowStates::top},
    {IDC_PAN_DOWN, IDI_ARROW_DOWN, ZoomChannel::MoveDown, &ArrowStates::bottom},
};

// The dialog's title in its three languages, as 8-bit text: GBK, English, Big5.
constexpr const char* kZoomTitles[] = {"\x20\xCB\xF5\xB7\xC5", " Zoom", "\x20\xC1\x59\xA9\xF1"};

}  // namespace

BEGIN_MESSAGE_MAP(CZoomDlg, CCameraDialog)
    ON_WM_TIMER()
    ON_WM_CLOSE()
    ON_COMMAND(IDC_ZOOM_ENABLE, &CZoomDlg::OnEnableZoom)
    ON_COMMAND_RANGE(IDC_PAN_RIGHT, IDC_PAN_DOWN, &CZoomDlg::OnArrow)
    ON_COMMAND_RANGE(IDC_PAN_UP, IDC_PAN_UP, &CZoomDlg::OnArrow)
    ON_MESSAGE(WM_DPICHANGED, &CZoomDlg::OnDpiChanged)
END_MESSAGE_MAP()

CZoomDlg::CZoomDlg(CaptureWindows& captureWindows, HWND besideWindow)
    : CCameraDialog(IDD_ZOOM), m_captureWindows(captureWindows), m_besideWindow(besideWindow) {}

void CZoomDlg::DoDataExchange(CDataExchange* pDX) {
    CCameraDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ZOOM_SLIDER, m_zoom);
    DDX_Control(pDX, IDC_ZOOM_ENABLE, m_enableZoom);
    DDX_Control(pDX, IDC_PAN_UP, m_up);
    DDX_Control(pDX, IDC_PAN_DOWN, m_down);
    DDX_Control(pDX, IDC_PAN_LEFT, m_left);
    DDX_Control(pDX, IDC_PAN_RIGHT, m_right);
}

CButton& CZoomDlg::ArrowButton(int id) {
    switch (id) {
        case IDC_PAN_LEFT:
            return m_left;
        case IDC_PAN_RIGHT:
            return m_right;
        case IDC_PAN_UP:
            return m_up;
        default:
            return m_down;
    }
}

BOOL CZoomDlg::OnInitDialog() {
    CCameraDialog::OnInitDialog();
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW);
    // Its template gives no position: placed first, so that the icons are drawn at the scale
    // of the monitor it opens on.
    if (m_besideWindow != nullptr && ::IsWindowVisible(m_besideWindow)) {
        framework::PlaceBeside(m_hWnd, m_besideWindow);
    } else {
        framework::CentreOnWorkArea(m_hWnd, framework::WorkAreaUnderPointer());
    }
    ShowArrowIcons();
    m_zoom.SetRange(0, kMaxZoomLevel);
    m_binding.Ensure();
    if (GetZoomControl(ZoomChannel::ZoomMode) == kZoomOn) {
        m_enableZoom.SetCheck(BST_CHECKED);
        m_zoom.EnableWindow(TRUE);
        m_zoom.SetPos(kMaxZoomLevel - GetZoomControl(ZoomChannel::ZoomLevel));
    } else {
        m_zoom.SetPos(kMaxZoomLevel);
        m_enableZoom.SetCheck(BST_UNCHECKED);
        m_zoom.EnableWindow(FALSE);
    }
    SetTimer(kTickTimer, kTickMilliseconds);
    return TRUE;
}

void CZoomDlg::ShowArrowIcons() {
    const int size = framework::SystemMetricForWindow(SM_CXICON, m_hWnd);
    for (std::size_t i = 0; i < std::size(kArrows); ++i) {
        // The button shows the new icon before the old one goes.
        framework::IconHandle icon = framework::LoadIconResource(kArrows[i].icon, size, size);
        ArrowButton(kArrows[i].button)
            .SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon.Get()));
        m_icons[i] = std::move(icon);
    }
}

LRESULT CZoomDlg::OnDpiChanged(WPARAM, LPARAM) {
    Default();
    ShowArrowIcons();
    return 0;
}

void CZoomDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kTickTimer) {
        ZoomTick();
    }
    CCameraDialog::OnTimer(nIDEvent);
}

void CZoomDlg::ZoomTick() {
    m_binding.Ensure();
    // The trackbar's level is imposed at every tick while zoom is on, moved or not.
    if (GetZoomControl(ZoomChannel::ZoomMode) == kZoomOn) {
        m_viewPosition = GetZoomControl(ZoomChannel::ViewPosition);
        SetZoomControl(ZoomChannel::ZoomLevel, kMaxZoomLevel - m_zoom.GetPos());
    }
    ShowArrows(GetZoomControl(ZoomChannel::ZoomLevel), m_viewPosition);
    m_panValue = GetZoomControl(ZoomChannel::ZoomLevel);
    for (const ArrowSpec& arrow : kArrows) {
        if (ArrowButton(arrow.button).SendMessage(BM_GETSTATE) & BST_PUSHED) {
            SetZoomControl(arrow.pan, m_panValue);
        }
    }
}

void CZoomDlg::ShowArrows(std::int32_t level, std::int32_t view_position) {
    const ArrowStates states = ArrowStatesFor(level, view_position);
    for (const ArrowSpec& arrow : kArrows) {
        if (const std::optional<bool> enabled = states.*arrow.state) {
            ArrowButton(arrow.button).EnableWindow(*enabled);
        }
    }
}

void CZoomDlg::OnEnableZoom() {
    m_binding.Ensure();
    if (IsDlgButtonChecked(IDC_ZOOM_ENABLE)) {
        SetZoomControl(ZoomChannel::ZoomMode, kZoomOn);
        m_zoom.EnableWindow(TRUE);
        return;
    }
    // The level stays in the camera; only the trackbar goes back to the top and waits.
    SetZoomControl(ZoomChannel::ZoomMode, kZoomOff);
    m_zoom.EnableWindow(FALSE);
    m_zoom.SetPos(kMaxZoomLevel);
}

// A click pans once more as a held arrow is let go.
void CZoomDlg::OnArrow(UINT nID) {
    for (const ArrowSpec& arrow : kArrows) {
        if (static_cast<UINT>(arrow.button) == nID) {
            m_binding.Ensure();
            SetZoomControl(arrow.pan, m_panValue);
        }
    }
}

void CZoomDlg::OnClose() {
    m_captureWindows.EnableCaptureWindows(TRUE);
    CCameraDialog::OnClose();
}

void OpenZoomDialog(CaptureWindows& captureWindows, HWND besideWindow) {
    CZoomDlg dialog(captureWindows, besideWindow);
    // Its title in any language, the dialog's own or another program's window, keeps it shut.
    for (const char* title : kZoomTitles) {
        if (FindWindowA(nullptr, title)) {
            return;
        }
    }
    dialog.DoModal();
}
