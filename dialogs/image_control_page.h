// CImageControlPage: the camera's image settings, read from the camera at every paint and
// written back at once: check boxes and radio buttons on their click, a trackbar once each move
// of it ends (the mouse letting go, a key let go, a click on its track), and Reset, Save and
// Restore of the camera's own stored settings.
#pragma once

#include <cstdint>

#include "camera/vendor_properties.h"
#include "dialogs/camera_dialog.h"
#include "framework/controls.h"

class CImageControlPage : public CControlPage {
public:
    CImageControlPage();

    // Reads the twenty channels and shows them.
    void RefreshFromCamera();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void Refresh() override { RefreshFromCamera(); }
    void OnMirror();
    void OnFlip();
    void OnLowLight();
    void OnBacklightComp();
    void OnBwMode();
    void OnFlicker50Hz();
    void OnFlicker60Hz();
    void OnOutdoor();
    void OnIndoor();
    void OnBandwidthAuto();
    void OnWhiteBalanceAuto();
    void OnResetDefaults();
    void OnSaveDefaults();
    void OnRestoreDefaults();
    void OnTrackbarReleased(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT OnScroll(WPARAM wParam, LPARAM lParam);
    void KeepRadiosReachable() override;

private:
    // The camera's channels, bound first when nothing is bound.
    std::int32_t ReadImage(ImageChannel channel);
    std::int32_t ReadCamera(ImageChannel channel);
    void WriteImage(ImageChannel channel, std::int32_t value);
    void WriteCamera(ImageChannel channel, std::int32_t value);

    CSliderCtrl& Trackbar(UINT id);
    // The id of the page's trackbar with that window; 0 for any other window.
    UINT TrackbarId(HWND window) const;
    // Writes the trackbar's position to its channel and shows it in its number box.
    void ApplyTrackbar(UINT id);
    // Flips an on/off channel by the value kept for it, not by the check mark.
    void Toggle(ImageChannel channel, std::int32_t& kept);
    // Reads an on/off channel into its check box and its kept value.
    void ShowOnOff(ImageChannel channel, CButton& box, std::int32_t& kept);
    void EnableFlicker(bool enable);
    void SetBoxText(int box, LPCSTR text);
    void SetBoxNumber(int box, int value);
    void SetBoxFraction(int box, std::int32_t ten_thousandths);
    void SetExposureText(std::int32_t level);
    void SetSnapSizeText(std::int32_t size);

    CSliderCtrl m_brightness, m_gamma, m_contrast, m_hue, m_sharpness, m_saturation, m_snapSize,
        m_bandwidth, m_exposure, m_redGain, m_blueGain;
    CButton m_mirror, m_flip, m_lowLight, m_outdoor, m_indoor, m_flicker50Hz, m_flicker60Hz,
        m_backlightComp, m_bwMode, m_bandwidthAuto, m_exposureAuto, m_whiteBalanceAuto;

    // The last value read from or written to the camera.
    std::int32_t m_keptMirror = 0;
    std::int32_t m_keptFlip = 0;
    std::int32_t m_keptLowLight = 0;
    std::int32_t m_keptBacklightComp = 0;
    std::int32_t m_keptBwMode = 0;
    std::int32_t m_keptBandwidthAuto = 0;
    // The trackbar whose move has just ended and been written, when that was the last trackbar
    // event: the mouse's release that follows the end of a drag writes nothing more.
    UINT m_endedTrackbar = 0;

    DECLARE_MESSAGE_MAP()
};
