#include "app/settings_window.h"

#include "app/settings_window_position.h"
#include "framework/cstring.h"
#include "framework/data_exchange.h"
#include "framework/window_placement.h"
#include "res/resource.h"

namespace {

constexpr int kTabCount = 2;
constexpr UINT kPlacePagesMessage = WM_APP + 1;

}  // namespace

BEGIN_MESSAGE_MAP(CSettingsDlg, CDialog)
    ON_WM_CLOSE()
    ON_COMMAND(IDC_SETTINGS_CLOSE, &CSettingsDlg::Close)
    ON_NOTIFY(TCN_SELCHANGE, IDC_SETTINGS_TAB, &CSettingsDlg::OnTabSelChange)
    ON_MESSAGE(WM_DPICHANGED, &CSettingsDlg::OnDpiChanged)
    ON_MESSAGE(kPlacePagesMessage, &CSettingsDlg::OnPlacePages)
END_MESSAGE_MAP()

CSettingsDlg::CSettingsDlg(CImageControlPage& imageControlPage, CEffectPage& effectPage)
    : CDialog(IDD_SETTINGS), m_imageControlPage(imageControlPage), m_effectPage(effectPage) {}

void CSettingsDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SETTINGS_TAB, m_tabCtrl);
}

BOOL CSettingsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const UINT titles[kTabCount] = {IDS_TAB_IMAGE_CONTROL, IDS_TAB_EFFECT};
    for (int tab = 0; tab < kTabCount; ++tab) {
        CString title;
        title.LoadString(titles[tab]);
        m_tabCtrl.InsertItem(tab, title);
    }
    return TRUE;
}

void CSettingsDlg::Open(WPARAM tab) {
    if (GetSafeHwnd() == nullptr) {
        if (!Create(IDD_SETTINGS, nullptr)) {
            return;
        }
        PlaceNewWindow();
    }
    const int current = m_tabCtrl.GetCurSel();
    ShowTab(tab < kTabCount ? static_cast<int>(tab) : (current >= 0 ? current : ImageControlTab));
    ShowWindow(SW_SHOW);
    SetForegroundWindow();
}

void CSettingsDlg::Close() {
    if (GetSafeHwnd() == nullptr) {
        return;
    }
    // A minimised window's rectangle is not where the user left it.
    RECT rect{};
    if (!::IsIconic(GetSafeHwnd()) && ::GetWindowRect(GetSafeHwnd(), &rect)) {
        KeepSettingsWindowPosition(POINT{rect.left, rect.top});
    }
    DestroyWindow();
}

void CSettingsDlg::PlaceNewWindow() {
    const auto kept = ReadSettingsWindowPosition();
    if (kept && framework::MoveToIfReachable(GetSafeHwnd(), *kept)) {
        return;
    }
    framework::CentreOnWorkArea(GetSafeHwnd(), framework::WorkAreaUnderPointer());
}

LRESULT CSettingsDlg::OnDpiChanged(WPARAM, LPARAM) {
    Default();
    PostMessage(kPlacePagesMessage, 0, 0);
    return 0;
}

LRESULT CSettingsDlg::OnPlacePages(WPARAM, LPARAM) {
    for (int tab = 0; tab < kTabCount; ++tab) {
        if (Page(tab).GetSafeHwnd() != nullptr) {
            PlacePage(Page(tab));
        }
    }
    return 0;
}

BOOL CSettingsDlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_TAB && ::GetKeyState(VK_CONTROL) < 0 &&
        GetSafeHwnd() != nullptr &&
        (pMsg->hwnd == GetSafeHwnd() || ::IsChild(GetSafeHwnd(), pMsg->hwnd))) {
        const int step = ::GetKeyState(VK_SHIFT) < 0 ? kTabCount - 1 : 1;
        const int current = m_tabCtrl.GetCurSel();
        ShowTab(((current >= 0 ? current : 0) + step) % kTabCount);
        // On the tabs, as a click on one leaves it; Tab goes on into the page.
        ::SetFocus(m_tabCtrl.GetSafeHwnd());
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CSettingsDlg::OnClose() {
    Close();
}

void CSettingsDlg::OnTabSelChange(NMHDR*, LRESULT* pResult) {
    ShowTab(m_tabCtrl.GetCurSel());
    *pResult = 0;
}

CDialog& CSettingsDlg::Page(int tab) {
    if (tab == EffectTab) {
        return m_effectPage;
    }
    return m_imageControlPage;
}

void CSettingsDlg::ShowTab(int tab) {
    if (tab < 0 || tab >= kTabCount) {
        return;
    }
    m_tabCtrl.SetCurSel(tab);
    // Hidden first: a page on a hidden tab is never painted, so it reads nothing.
    CDialog& hidden = Page(tab == ImageControlTab ? EffectTab : ImageControlTab);
    if (hidden.GetSafeHwnd() != nullptr) {
        // The keyboard stays in sight: on the tabs.
        if (::IsChild(hidden.GetSafeHwnd(), ::GetFocus())) {
            ::SetFocus(m_tabCtrl.GetSafeHwnd());
        }
        hidden.ShowWindow(SW_HIDE);
    }
    CDialog& shown = Page(tab);
    if (shown.GetSafeHwnd() == nullptr) {
        const UINT page_template = tab == EffectTab ? IDD_EFFECT : IDD_IMAGE_CONTROL;
        if (!shown.Create(page_template, this)) {
            return;
        }
        // A control of the window (DS_CONTROL), so that the window's dialog manager takes its keys,
        // and one that holds controls (WS_EX_CONTROLPARENT), so that Tab goes into them.
        const HWND page = shown.GetSafeHwnd();
        ::SetWindowLongPtrA(page, GWL_STYLE, ::GetWindowLongPtrA(page, GWL_STYLE) | DS_CONTROL);
        ::SetWindowLongPtrA(page, GWL_EXSTYLE,
                            ::GetWindowLongPtrA(page, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
        PlacePage(shown);
    }
    shown.ShowWindow(SW_SHOW);
}

void CSettingsDlg::PlacePage(CDialog& page) {
    RECT area{};
    ::GetWindowRect(m_tabCtrl.GetSafeHwnd(), &area);
    ::MapWindowPoints(nullptr, GetSafeHwnd(), reinterpret_cast<POINT*>(&area), 2);
    m_tabCtrl.AdjustRect(FALSE, &area);
    // The page on top, the tab control at the bottom (WS_CLIPSIBLINGS keeps it from drawing over
    // the page): the tab order, which follows the z-order round, goes tabs, page, Close.
    ::SetWindowPos(m_tabCtrl.GetSafeHwnd(), HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    page.SetWindowPos(HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                      SWP_NOACTIVATE);
}
