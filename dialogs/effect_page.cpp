#include "dialogs/effect_page.h"

#include "camera/vendor_properties.h"
#include "dialogs/effect_cycle.h"
#include "framework/data_exchange.h"
#include "framework/file_dialog.h"

BEGIN_MESSAGE_MAP(CEffectPage, CControlPage)
    ON_COMMAND_RANGE(IDC_EFFECT_AGED_PHOTO, IDC_EFFECT_TV, &CEffectPage::OnEffectRadio)
    ON_COMMAND_RANGE(IDC_FRAME_POST_CARD, IDC_FRAME_MAGNIFIER, &CEffectPage::OnEffectRadio)
    ON_COMMAND_RANGE(IDC_NO_EFFECT, IDC_NO_EFFECT, &CEffectPage::OnEffectRadio)
    ON_COMMAND(IDC_AUTO_CHANGE, &CEffectPage::OnAutoChange)
    ON_COMMAND(IDC_BROWSE_FRAME, &CEffectPage::OnBrowseFrame)
    ON_COMMAND(IDC_LOAD_FILE, &CEffectPage::OnLoadFile)
END_MESSAGE_MAP()

CEffectPage::CEffectPage() : CControlPage(IDD_EFFECT) {}

void CEffectPage::DoDataExchange(CDataExchange* pDX) {
    CControlPage::DoDataExchange(pDX);
    for (const EffectEntry& entry : kEffectTable) {
        DDX_Control(pDX, entry.radio, m_effectRadios[static_cast<std::size_t>(entry.effect)]);
    }
    DDX_Control(pDX, IDC_AUTO_CHANGE, m_autoChange);
    DDX_Control(pDX, IDC_FRAME_FILE, m_frameFile);
}

void CEffectPage::SelectEffect(EffectId effect) {
    EffectCycleThread.Stop();
    m_binding.Ensure();
    SetCameraControl(ImageChannel::Effect, effect);
    RefreshEffectChecks();
}

void CEffectPage::StartEffectCycling() {
    m_binding.Ensure();
    SetCameraControl(ImageChannel::Effect, 1);
    EffectCycleThread.Start();
}

void CEffectPage::RefreshEffectChecks() {
    m_binding.Ensure();
    const EffectId shown = GetCameraControl(ImageChannel::Effect);
    for (const EffectEntry& entry : kEffectTable) {
        m_effectRadios[static_cast<std::size_t>(entry.effect)].SetCheck(
            entry.effect == shown ? BST_CHECKED : BST_UNCHECKED);
    }
    m_autoChange.SetCheck(BST_UNCHECKED);
    KeepRadiosReachable();
}

void CEffectPage::KeepRadiosReachable() {
    for (const CButton& radio : m_effectRadios) {
        KeepTabStop(radio);
    }
    KeepTabStop(m_autoChange);
    KeepTabStop(m_frameFile);
}

void CEffectPage::OnEffectRadio(UINT nID) {
    if (const auto effect = EffectOfRadio(static_cast<int>(nID))) {
        SelectEffect(*effect);
    }
}

void CEffectPage::OnAutoChange() {
    StartEffectCycling();
}

void CEffectPage::OnBrowseFrame() {
    // Modal to the window the page is in.
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, nullptr,
                       this);
    if (dialog.DoModal() != IDOK) {
        return;
    }
    if (CWnd* path = GetDlgItem(IDC_FRAME_PATH)) {
        path->SetWindowText(dialog.GetPathName());
    }
}

// The chosen frame file is only held: nothing loads it.
void CEffectPage::OnLoadFile() {}
