#include "framework/bitmap.h"

#include <utility>

#include "framework/win_app.h"

CBitmap::CBitmap(CBitmap&& other) noexcept : m_hObject(std::exchange(other.m_hObject, nullptr)) {}

CBitmap& CBitmap::operator=(CBitmap&& other) noexcept {
    if (this != &other) {
        DeleteObject();
        m_hObject = std::exchange(other.m_hObject, nullptr);
    }
    return *this;
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    if (m_hObject != nullptr) {
        return FALSE;
    }
    m_hObject = ::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
    return m_hObject != nullptr;
}

BOOL CBitmap::DeleteObject() {
    const HBITMAP bitmap = std::exchange(m_hObject, nullptr);
    return bitmap != nullptr ? ::DeleteObject(bitmap) : FALSE;
}
