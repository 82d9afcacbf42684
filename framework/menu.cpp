#include "framework/menu.h"

#include <utility>

#include "framework/bitmap.h"
#include "framework/outside_messages.h"
#include "framework/win_app.h"
#include "framework/wnd.h"

CMenu::~CMenu() {
    if (m_owned) {
        DestroyMenu();
    }
}

CMenu::CMenu(CMenu&& other) noexcept
    : m_hMenu(std::exchange(other.m_hMenu, nullptr)),
      m_owned(std::exchange(other.m_owned, false)) {}

CMenu& CMenu::operator=(CMenu&& other) noexcept {
    if (this != &other) {
        if (m_owned) {
            DestroyMenu();
        }
        m_hMenu = std::exchange(other.m_hMenu, nullptr);
        m_owned = std::exchange(other.m_owned, false);
    }
    return *this;
}

CMenu CMenu::FromHandle(HMENU hMenu) {
    CMenu view;
    view.m_hMenu = hMenu;
    return view;
}

BOOL CMenu::LoadMenu(UINT nIDResource) {
    return Attach(::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)));
}

BOOL CMenu::Attach(HMENU hMenu) {
    if (hMenu == nullptr || m_hMenu != nullptr) {
        return FALSE;
    }
    m_hMenu = hMenu;
    m_owned = true;
    return TRUE;
}

HMENU CMenu::Detach() {
    m_owned = false;
    return std::exchange(m_hMenu, nullptr);
}

BOOL CMenu::DestroyMenu() {
    const HMENU menu = Detach();
    return menu != nullptr ? ::DestroyMenu(menu) : FALSE;
}

CMenu CMenu::GetSubMenu(int nPos) const {
    return FromHandle(::GetSubMenu(m_hMenu, nPos));
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem) {
    return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CMenu::SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked,
                               const CBitmap* pBmpChecked) {
    return ::SetMenuItemBitmaps(m_hMenu, nPosition, nFlags,
                                pBmpUnchecked != nullptr ? pBmpUnchecked->GetSafeHandle() : nullptr,
                                pBmpChecked != nullptr ? pBmpChecked->GetSafeHandle() : nullptr);
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, const RECT* lpRect) {
    const framework::NestedLoop nested;
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd != nullptr ? pWnd->m_hWnd : nullptr,
                            lpRect);
}
