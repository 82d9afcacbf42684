#include "dialogs/image_control_page.h"

#include "camera/vendor_properties.h"
#include "framework/cstring.h"
#include "framework/data_exchange.h"
#include "framework/message_origin.h"
#include "res/resource.h"

namespace {

constexpr std::int32_t kOn = 1;
constexpr std::int32_t kOff = 0;
constexpr std::int32_t kFullBandwidth = 8;
// Hue travels as (degrees + 180) × 10000, exposure as level × 10000.
constexpr std::int32_t kScale = 10000;
constexpr std::int32_t kHueOffset = 180;

// The trackbars whose channel holds a gain in ten-thousandths, in the order the page reads them.
struct GainControl {
    int trackbar;
    ImageChannel channel;
    int box;
    int min;
    int max;
};
constexpr GainControl kGains[] = {
    {IDC_CONTRAST_SLIDER, ImageChannel::Contrast, IDC_CONTRAST_VALUE, 10000, 20000},
    {IDC_GAMMA_SLIDER, ImageChannel::Gamma, IDC_GAMMA_VALUE, 0, 10000},
    {IDC_SATURATION_SLIDER, ImageChannel::Saturation, IDC_SATURATION_VALUE, 0, 29900},
    {IDC_SHARPNESS_SLIDER, ImageChannel::Sharpness, IDC_SHARPNESS_VALUE, 0, 79900},
    {IDC_RED_SLIDER, ImageChannel::RedGain, IDC_RED_VALUE, 5000, 20000},
    {IDC_BLUE_SLIDER, ImageChannel::BlueGain, IDC_BLUE_VALUE, 5000, 20000},
};

const GainControl* FindGain(UINT trackbar) {
    for (const GainControl& gain : kGains) {
        if (static_cast<UINT>(gain.trackbar) == trackbar) {
            return &gain;
        }
    }
    return nullptr;
}

constexpr const char* kSnapSizeNames[] = {"VGA", "SVGA", "XGA", "SXGA"};

}  // namespace

BEGIN_MESSAGE_MAP(CImageControlPage, CControlPage)
    ON_COMMAND(IDC_MIRROR, &CImageControlPage::OnMirror)
    ON_COMMAND(IDC_FLIP, &CImageControlPage::OnFlip)
    ON_COMMAND(IDC_LOW_LIGHT, &CImageControlPage::OnLowLight)
    ON_COMMAND(IDC_BACKLIGHT_COMP, &CImageControlPage::OnBacklightComp)
    ON_COMMAND(IDC_BW_MODE, &CImageControlPage::OnBwMode)
    ON_COMMAND(IDC_FLICKER_50HZ, &CImageControlPage::OnFlicker50Hz)
    ON_COMMAND(IDC_FLICKER_60HZ, &CImageControlPage::OnFlicker60Hz)
    ON_COMMAND(IDC_OUTDOOR, &CImageControlPage::OnOutdoor)
    ON_COMMAND(IDC_INDOOR, &CImageControlPage::OnIndoor)
    ON_COMMAND(IDC_BANDWIDTH_AUTO, &CImageControlPage::OnBandwidthAuto)
    ON_COMMAND(IDC_WHITE_BALANCE_AUTO, &CImageControlPage::OnWhiteBalanceAuto)
    ON_COMMAND(IDC_RESET_DEFAULTS, &CImageControlPage::OnResetDefaults)
    ON_COMMAND(IDC_SAVE_DEFAULTS, &CImageControlPage::OnSaveDefaults)
    ON_COMMAND(IDC_RESTORE_DEFAULTS, &CImageControlPage::OnRestoreDefaults)
    ON_NOTIFY_RANGE(NM_RELEASEDCAPTURE, IDC_BRIGHTNESS_SLIDER, IDC_BLUE_SLIDER,
                    &CImageControlPage::OnTrackbarReleased)
    ON_MESSAGE(WM_HSCROLL, &CImageControlPage::OnScroll)
    ON_MESSAGE(WM_VSCROLL, &CImageControlPage::OnScroll)
END_MESSAGE_MAP()

CImageControlPage::CImageControlPage() : CControlPage(IDD_IMAGE_CONTROL) {}

void CImageControlPage::DoDataExchange(CDataExchange* pDX) {
    CControlPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BRIGHTNESS_SLIDER, m_brightness);
    DDX_Control(pDX, IDC_GAMMA_SLIDER, m_gamma);
    DDX_Control(pDX, IDC_CONTRAST_SLIDER, m_contrast);
    DDX_Control(pDX, IDC_HUE_SLIDER, m_hue);
    DDX_Control(pDX, IDC_SHARPNESS_SLIDER, m_sharpness);
    DDX_Control(pDX, IDC_SATURATION_SLIDER, m_saturation);
    DDX_Control(pDX, IDC_SNAPSIZE_SLIDER, m_snapSize);
    DDX_Control(pDX, IDC_BANDWIDTH_SLIDER, m_bandwidth);
    DDX_Control(pDX, IDC_EXPOSURE_SLIDER, m_exposure);
    DDX_Control(pDX, IDC_RED_SLIDER, m_redGain);
    DDX_Control(pDX, IDC_BLUE_SLIDER, m_blueGain);
    DDX_Control(pDX, IDC_MIRROR, m_mirror);
    DDX_Control(pDX, IDC_FLIP, m_flip);
    DDX_Control(pDX, IDC_LOW_LIGHT, m_lowLight);
    DDX_Control(pDX, IDC_OUTDOOR, m_outdoor);
    DDX_Control(pDX, IDC_INDOOR, m_indoor);
    DDX_Control(pDX, IDC_FLICKER_50HZ, m_flicker50Hz);
    DDX_Control(pDX, IDC_FLICKER_60HZ, m_flicker60Hz);
    DDX_Control(pDX, IDC_BACKLIGHT_COMP, m_backlightComp);
    DDX_Control(pDX, IDC_BW_MODE, m_bwMode);
    DDX_Control(pDX, IDC_BANDWIDTH_AUTO, m_bandwidthAuto);
    DDX_Control(pDX, IDC_EXPOSURE_AUTO, m_exposureAuto);
    DDX_Control(pDX, IDC_WHITE_BALANCE_AUTO, m_whiteBalanceAuto);
}

CSliderCtrl& CImageControlPage::Trackbar(UINT id) {
    switch (id) {
        case IDC_BRIGHTNESS_SLIDER:
            return m_brightness;
        case IDC_GAMMA_SLIDER:
            return m_gamma;
        case IDC_CONTRAST_SLIDER:
            return m_contrast;
        case IDC_HUE_SLIDER:
            return m_hue;
        case IDC_SHARPNESS_SLIDER:
            return m_sharpness;
        case IDC_SATURATION_SLIDER:
            return m_saturation;
        case IDC_SNAPSIZE_SLIDER:
            return m_snapSize;
        case IDC_BANDWIDTH_SLIDER:
            return m_bandwidth;
        case IDC_EXPOSURE_SLIDER:
            return m_exposure;
        case IDC_RED_SLIDER:
            return m_redGain;
        default:
            return m_blueGain;
    }
}

std::int32_t CImageControlPage::ReadImage(ImageChannel channel) {
    m_binding.Ensure();
    return GetImageControl(channel);
}

std::int32_t CImageControlPage::ReadCamera(ImageChannel channel) {
    m_binding.Ensure();
    return GetCameraControl(channel);
}

void CImageControlPage::WriteImage(ImageChannel channel, std::int32_t value) {
    m_binding.Ensure();
    SetImageControl(channel, value);
}

void CImageControlPage::WriteCamera(ImageChannel channel, std::int32_t value) {
    m_binding.Ensure();
    SetCameraControl(channel, value);
}

void CImageControlPage::RefreshFromCamera() {
    ShowOnOff(ImageChannel::Mirror, m_mirror, m_keptMirror);
    ShowOnOff(ImageChannel::Flip, m_flip, m_keptFlip);
    ShowOnOff(ImageChannel::LowLight, m_lowLight, m_keptLowLight);
    ShowOnOff(ImageChannel::BacklightComp, m_backlightComp, m_keptBacklightComp);
    ShowOnOff(ImageChannel::BwMode, m_bwMode, m_keptBwMode);

    const bool at50Hz = ReadImage(ImageChannel::Flicker) == 0;
    m_flicker50Hz.SetCheck(at50Hz ? BST_CHECKED : BST_UNCHECKED);
    m_flicker60Hz.SetCheck(at50Hz ? BST_UNCHECKED : BST_CHECKED);
    const bool indoor = ReadImage(ImageChannel::IndoorOutdoor) != 0;
    m_outdoor.SetCheck(indoor ? BST_UNCHECKED : BST_CHECKED);
    m_indoor.SetCheck(indoor ? BST_CHECKED : BST_UNCHECKED);
    EnableFlicker(indoor);

    const std::int32_t brightness = ReadImage(ImageChannel::Brightness);
    m_brightness.SetRange(0, 126);
    m_brightness.SetPos(brightness);
    SetBoxNumber(IDC_BRIGHTNESS_VALUE, brightness);

    const std::int32_t hue = ReadImage(ImageChannel::Hue) / kScale - kHueOffset;
    m_hue.SetRange(-kHueOffset, kHueOffset);
    m_hue.SetPos(hue);
    SetBoxNumber(IDC_HUE_VALUE, hue);

    const std::int32_t snap_size = ReadImage(ImageChannel::SnapSize);
    m_snapSize.SetRange(0, 3);
    m_snapSize.SetPos(snap_size);
    SetSnapSizeText(snap_size);

    const std::int32_t bandwidth = ReadImage(ImageChannel::Bandwidth);
    m_bandwidth.SetRange(6, 8);
    m_bandwidth.SetPos(bandwidth);
    SetBoxNumber(IDC_BANDWIDTH_VALUE, bandwidth);

    // An auto mode read as on locks its trackbar; only the toggle unlocks it again.
    m_keptBandwidthAuto = ReadImage(ImageChannel::BandwidthAuto);
    if (m_keptBandwidthAuto == kOn) {
        m_bandwidthAuto.SetCheck(BST_CHECKED);
        m_bandwidth.EnableWindow(FALSE);
    }
    // The camera has no manual exposure the page could offer.
    m_exposureAuto.SetCheck(BST_CHECKED);
    m_exposureAuto.EnableWindow(FALSE);

    const std::int32_t exposure = ReadCamera(ImageChannel::Exposure) / kScale;
    m_exposure.SetRange(0, 255);
    m_exposure.SetPos(exposure);
    SetExposureText(exposure);

    for (const GainControl& gain : kGains) {
        const std::int32_t value = ReadCamera(gain.channel);
        CSliderCtrl& trackbar = Trackbar(static_cast<UINT>(gain.trackbar));
        trackbar.SetRange(gain.min, gain.max);
        trackbar.SetPos(value);
        SetBoxFraction(gain.box, value);
    }

    if (ReadCamera(ImageChannel::WhiteBalanceAuto) == kOn) {
        m_whiteBalanceAuto.SetCheck(BST_CHECKED);
        m_redGain.EnableWindow(FALSE);
        m_blueGain.EnableWindow(FALSE);
    }
}

void CImageControlPage::ShowOnOff(ImageChannel channel, CButton& box, std::int32_t& kept) {
    kept = ReadImage(channel);
    box.SetCheck(kept == kOn ? BST_CHECKED : BST_UNCHECKED);
}

void CImageControlPage::Toggle(ImageChannel channel, std::int32_t& kept) {
    kept = kept == kOn ? kOff : kOn;
    WriteImage(channel, kept);
}

void CImageControlPage::EnableFlicker(bool enable) {
    m_flicker50Hz.EnableWindow(enable);
    m_flicker60Hz.EnableWindow(enable);
}

void CImageControlPage::SetBoxText(int box, LPCSTR text) {
    if (CWnd* window = GetDlgItem(box)) {
        window->SetWindowText(text);
    }
}

void CImageControlPage::SetBoxNumber(int box, int value) {
    CString text;
    text.Format("%d", value);
    SetBoxText(box, text);
}

void CImageControlPage::SetBoxFraction(int box, std::int32_t ten_thousandths) {
    CString text;
    text.Format("%1.2f", ten_thousandths * 0.0001);
    SetBoxText(box, text);
}

void CImageControlPage::SetExposureText(std::int32_t level) {
    CString text;
    text.Format("%ld", static_cast<long>(level));
    SetBoxText(IDC_EXPOSURE_VALUE, text);
}

// A size the camera does not name leaves the box as it was.
void CImageControlPage::SetSnapSizeText(std::int32_t size) {
    if (size >= 0 && size < static_cast<std::int32_t>(std::size(kSnapSizeNames))) {
        SetBoxText(IDC_SNAPSIZE_VALUE, kSnapSizeNames[size]);
    }
}

void CImageControlPage::OnMirror() {
    Toggle(ImageChannel::Mirror, m_keptMirror);
}

void CImageControlPage::OnFlip() {
    Toggle(ImageChannel::Flip, m_keptFlip);
}

void CImageControlPage::OnLowLight() {
    Toggle(ImageChannel::LowLight, m_keptLowLight);
}

void CImageControlPage::OnBacklightComp() {
    Toggle(ImageChannel::BacklightComp, m_keptBacklightComp);
}

void CImageControlPage::OnBwMode() {
    Toggle(ImageChannel::BwMode, m_keptBwMode);
}

// Each radio button starts a group of its own: its partner is unchecked here.
void CImageControlPage::OnFlicker50Hz() {
    m_flicker60Hz.SetCheck(BST_UNCHECKED);
    WriteImage(ImageChannel::Flicker, 0);
}

void CImageControlPage::OnFlicker60Hz() {
    m_flicker50Hz.SetCheck(BST_UNCHECKED);
    WriteImage(ImageChannel::Flicker, 1);
}

// Out of doors there is no mains flicker to cancel.
void CImageControlPage::OnOutdoor() {
    m_indoor.SetCheck(BST_UNCHECKED);
    WriteImage(ImageChannel::IndoorOutdoor, 0);
    EnableFlicker(false);
}

void CImageControlPage::OnIndoor() {
    m_outdoor.SetCheck(BST_UNCHECKED);
    WriteImage(ImageChannel::IndoorOutdoor, 1);
    EnableFlicker(true);
}

void CImageControlPage::OnBandwidthAuto() {
    if (m_keptBandwidthAuto == kOn) {
        m_keptBandwidthAuto = kOff;
        WriteImage(ImageChannel::BandwidthAuto, kOff);
        m_bandwidth.EnableWindow(TRUE);
        return;
    }
    m_keptBandwidthAuto = kOn;
    WriteImage(ImageChannel::BandwidthAuto, kOn);
    WriteImage(ImageChannel::Bandwidth, kFullBandwidth);
    m_bandwidth.SetPos(kFullBandwidth);
    SetBoxNumber(IDC_BANDWIDTH_VALUE, kFullBandwidth);
    m_bandwidth.EnableWindow(FALSE);
}

// Decided by the camera's own state, not a kept value; the gains it settles on are shown.
void CImageControlPage::OnWhiteBalanceAuto() {
    const bool switching_on = ReadCamera(ImageChannel::WhiteBalanceAuto) == 0;
    WriteCamera(ImageChannel::WhiteBalanceAuto, switching_on ? kOn : kOff);
    const std::int32_t red = ReadCamera(ImageChannel::RedGain);
    const std::int32_t blue = ReadCamera(ImageChannel::BlueGain);
    m_redGain.SetPos(red);
    m_blueGain.SetPos(blue);
    SetBoxFraction(IDC_RED_VALUE, red);
    SetBoxFraction(IDC_BLUE_VALUE, blue);
    m_redGain.EnableWindow(!switching_on);
    m_blueGain.EnableWindow(!switching_on);
}

void CImageControlPage::OnResetDefaults() {
    WriteCamera(ImageChannel::ResetDefaults, kOn);
    RefreshFromCamera();
}

void CImageControlPage::OnSaveDefaults() {
    WriteCamera(ImageChannel::SaveDefaults, kOn);
}

void CImageControlPage::OnRestoreDefaults() {
    WriteCamera(ImageChannel::RestoreDefaults, kOn);
    RefreshFromCamera();
}

void CImageControlPage::KeepRadiosReachable() {
    for (const CButton* radio : {&m_outdoor, &m_indoor, &m_flicker50Hz, &m_flicker60Hz}) {
        KeepTabStop(*radio);
    }
}

UINT CImageControlPage::TrackbarId(HWND window) const {
    if (window == nullptr) {
        return 0;
    }
    for (UINT id = IDC_BRIGHTNESS_SLIDER; id <= IDC_BLUE_SLIDER; ++id) {
        if (const CWnd* trackbar = GetDlgItem(static_cast<int>(id));
            trackbar != nullptr && trackbar->GetSafeHwnd() == window) {
            return id;
        }
    }
    return 0;
}

// Every move of a trackbar ends with TB_ENDTRACK, whether keys, a click on the track or the mouse
// letting go of the thumb made it; the drag's release then also says NM_RELEASEDCAPTURE. Only the
// page's own trackbars tell it so, from its own thread.
LRESULT CImageControlPage::OnScroll(WPARAM wParam, LPARAM lParam) {
    const UINT id = TrackbarId(reinterpret_cast<HWND>(lParam));
    if (id == 0 || framework::SentFromAnotherThread()) {
        return Default();
    }
    m_endedTrackbar = 0;
    if (LOWORD(wParam) == TB_ENDTRACK) {
        ApplyTrackbar(id);
        m_endedTrackbar = id;
    }
    return 0;
}

// A release right after the end of the same trackbar's move has been written already.
void CImageControlPage::OnTrackbarReleased(UINT nID, NMHDR*, LRESULT* pResult) {
    *pResult = 0;
    const bool written = m_endedTrackbar == nID;
    m_endedTrackbar = 0;
    if (!written) {
        ApplyTrackbar(nID);
    }
}

void CImageControlPage::ApplyTrackbar(UINT nID) {
    const int position = Trackbar(nID).GetPos();
    switch (nID) {
        case IDC_BRIGHTNESS_SLIDER:
            WriteImage(ImageChannel::Brightness, position);
            SetBoxNumber(IDC_BRIGHTNESS_VALUE, position);
            return;
        case IDC_HUE_SLIDER:
            WriteImage(ImageChannel::Hue, (position + kHueOffset) * kScale);
            SetBoxNumber(IDC_HUE_VALUE, position);
            return;
        case IDC_SNAPSIZE_SLIDER:
            WriteImage(ImageChannel::SnapSize, position);
            SetSnapSizeText(position);
            return;
        case IDC_BANDWIDTH_SLIDER:
            WriteImage(ImageChannel::Bandwidth, position);
            SetBoxNumber(IDC_BANDWIDTH_VALUE, position);
            return;
        case IDC_EXPOSURE_SLIDER:
            WriteCamera(ImageChannel::Exposure, position * kScale);
            SetExposureText(position);
            return;
        default:
            break;
    }
    if (const GainControl* gain = FindGain(nID)) {
        WriteCamera(gain->channel, position);
        SetBoxFraction(gain->box, position);
    }
}
