#include "framework/cstring.h"

#include <cstdarg>
#include <cstdio>

void CString::Format(LPCSTR format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) {
        m_text.clear();
    } else {
        m_text.resize(static_cast<std::size_t>(length));
        std::vsnprintf(m_text.data(), m_text.size() + 1, format, args);
    }
    va_end(args);
}
