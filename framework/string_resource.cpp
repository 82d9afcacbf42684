// CString::LoadString: kept apart from the formatting, which needs no platform at all.
#include "framework/cstring.h"
#include "framework/win_app.h"

BOOL CString::LoadString(UINT nID) {
    // LoadStringA truncates to the buffer and reports the characters copied; a full buffer may mean
    // a longer string, so retry with a larger one.
    std::string buffer(256, '\0');
    for (;;) {
        const int copied = ::LoadStringA(AfxGetResourceHandle(), nID, buffer.data(),
                                         static_cast<int>(buffer.size()));
        if (copied <= 0) {
            m_text.clear();
            return FALSE;
        }
        if (static_cast<std::size_t>(copied) < buffer.size() - 1) {
            buffer.resize(static_cast<std::size_t>(copied));
            m_text = std::move(buffer);
            return TRUE;
        }
        buffer.assign(buffer.size() * 2, '\0');
    }
}
