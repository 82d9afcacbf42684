// CEffectPage: the special effects and frames, one radio button each, "No effect&&frame",
// "Auto Change" (cycling through all of them), and a frame file to pick.
#pragma once

#include <array>

#include "camera/capture_filter_binding.h"
#include "dialogs/effect_ids.h"
#include "framework/controls.h"
#include "framework/dialog.h"

class CEffectPage : public CDialog {
public:
    CEffectPage();

    // Stops cycling, writes the effect, shows the camera's effect.
    void SelectEffect(EffectId effect);
    // Writes the first effect and starts the worker that cycles through the rest.
    void StartEffectCycling();
    // Checks the radio button of the effect the camera shows, and no other.
    void RefreshEffectChecks();

    // Esc is left to pass: it never cancels or closes the page.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnPaint();
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    void OnEffectRadio(UINT nID);
    void OnAutoChange();
    void OnBrowseFrame();
    void OnLoadFile();

private:
    std::array<CButton, kEffectTable.size()> m_effectRadios;  // by EffectId
    CButton m_autoChange;
    CButton m_frameFile;
    KeptCaptureFilterBinding m_binding;  // while the window exists

    DECLARE_MESSAGE_MAP()
};
