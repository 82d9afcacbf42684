// CSettingsDlg: the settings window, which shows the host's two control pages under a tab
// control, "Image Control" first and "Effect" second. Modeless on the host's thread; at most one
// exists. A page's window is made the first time its tab is shown, and a page on a hidden tab
// does no reads.
#pragma once

#include "dialogs/effect_page.h"
#include "dialogs/image_control_page.h"
#include "framework/controls.h"
#include "framework/dialog.h"

class CSettingsDlg : public CDialog {
public:
    enum Tab { ImageControlTab = 0, EffectTab = 1 };

    CSettingsDlg(CImageControlPage& imageControlPage, CEffectPage& effectPage);

    // Opens the window, or brings it to the front, with that tab shown; any other value keeps
    // the tab shown (the first for a new window).
    void Open(WPARAM tab);
    // Closes the window and with it the pages' windows.
    void Close();

    // Ctrl+Tab and Ctrl+Shift+Tab show the next and the previous tab, wherever the focus is.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter and Esc close nothing: only the close box and the Close button do.
    void OnOK() override {}
    void OnCancel() override {}
    void OnClose();
    void OnTabSelChange(NMHDR* pNMHDR, LRESULT* pResult);
    // A new display scale: the dialog manager scales the window and its controls; the pages are
    // put over the tab control's display area again once it has.
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnPlacePages(WPARAM wParam, LPARAM lParam);

private:
    void ShowTab(int tab);
    CDialog& Page(int tab);
    // Puts a page over the tab control's display area.
    void PlacePage(CDialog& page);
    // A new window opens where the user last left one, or centred on the monitor under the
    // mouse pointer.
    void PlaceNewWindow();

    CImageControlPage& m_imageControlPage;
    CEffectPage& m_effectPage;
    CTabCtrl m_tabCtrl;

    DECLARE_MESSAGE_MAP()
};
