// CString: an 8-bit ANSI text with the framework's formatting and string-table loading.
#pragma once

#include <string>

#include "platform/win32.h"

class CString {
public:
    CString() = default;
    CString(LPCSTR text) : m_text(text != nullptr ? text : "") {}  // NOLINT: implicit, as text
    CString(std::string text) : m_text(std::move(text)) {}         // NOLINT

    // Replaces the text with string `nID` of the program's string table; an empty text and FALSE
    // when the table has no such string.
    BOOL LoadString(UINT nID);

    // Replaces the text with printf-style formatted output.
    [[gnu::format(printf, 2, 3)]] void Format(LPCSTR format, ...);

    BOOL IsEmpty() const { return m_text.empty(); }
    int GetLength() const { return static_cast<int>(m_text.size()); }
    void Empty() { m_text.clear(); }
    LPCSTR GetString() const { return m_text.c_str(); }
    operator LPCSTR() const { return m_text.c_str(); }  // NOLINT: passes as text, as in the API
    const std::string& str() const { return m_text; }

    friend bool operator==(const CString&, const CString&) = default;

private:
    std::string m_text;
};
