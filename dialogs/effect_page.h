// CEffectPage: the special effects and frames, one radio button each, "No effect&&frame",
// "Auto Change" (cycling through all of them), and a frame file to pick.
#pragma once

#include <array>

#include "dialogs/camera_dialog.h"
#include "dialogs/effect_ids.h"
#include "framework/controls.h"

class CEffectPage : public CControlPage {
public:
    CEffectPage();

    // Stops cycling, writes the effect, shows the camera's effect.
    void SelectEffect(EffectId effect);
    // Writes the first effect and starts the worker that cycles through the rest.
    void StartEffectCycling();
    // Checks the radio button of the effect the camera shows, and no other.
    void RefreshEffectChecks();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void Refresh() override { RefreshEffectChecks(); }
    void OnEffectRadio(UINT nID);
    void OnAutoChange();
    void OnBrowseFrame();
    void OnLoadFile();
    void KeepRadiosReachable() override;

private:
    std::array<CButton, kEffectTable.size()> m_effectRadios;  // by EffectId
    CButton m_autoChange;
    CButton m_frameFile;

    DECLARE_MESSAGE_MAP()
};
