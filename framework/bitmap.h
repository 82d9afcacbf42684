// CBitmap: an owned bitmap handle, deleted with the object.
#pragma once

#include "platform/win32.h"

class CBitmap {
public:
    CBitmap() = default;
    ~CBitmap() { DeleteObject(); }
    CBitmap(CBitmap&& other) noexcept;
    CBitmap& operator=(CBitmap&& other) noexcept;
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    // Loads bitmap resource `nIDResource` of the program; FALSE if this object holds one already.
    BOOL LoadBitmap(UINT nIDResource);
    BOOL DeleteObject();

    HBITMAP GetSafeHandle() const { return m_hObject; }
    operator HBITMAP() const { return m_hObject; }  // NOLINT: passes as the handle, as in the API

    HBITMAP m_hObject = nullptr;
};
