// CMenu: a menu handle, owned (loaded here, destroyed with the object) or viewed (a popup of
// another menu, a window's system menu).
#pragma once

#include "platform/win32.h"

class CBitmap;
class CWnd;

class CMenu {
public:
    CMenu() = default;
    ~CMenu();
    CMenu(CMenu&& other) noexcept;
    CMenu& operator=(CMenu&& other) noexcept;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // A view of a menu that something else owns; it is not destroyed with the object.
    static CMenu FromHandle(HMENU hMenu);

    // Loads menu resource `nIDResource` of the program and owns it.
    BOOL LoadMenu(UINT nIDResource);
    // Takes ownership of `hMenu`; FALSE if this object holds a menu already.
    BOOL Attach(HMENU hMenu);
    // Gives up the menu without destroying it.
    HMENU Detach();
    // Destroys the menu, owned or viewed, with its popups.
    BOOL DestroyMenu();

    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }  // NOLINT: passes as the handle, as in the API

    // A view of the popup at `nPos`; empty when that item has none.
    CMenu GetSubMenu(int nPos) const;
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
    BOOL SetMenuItemBitmaps(UINT nPosition, UINT nFlags, const CBitmap* pBmpUnchecked,
                            const CBitmap* pBmpChecked);
    // Shows the menu as a popup owned by `pWnd` and returns when it closes; a chosen item arrives
    // at `pWnd` as WM_COMMAND.
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, const RECT* lpRect = nullptr);

    HMENU m_hMenu = nullptr;

private:
    bool m_owned = false;
};
