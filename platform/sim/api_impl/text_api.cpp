// Conversions between the program's UTF-16 text and 8-bit text in a code page; CP_ACP is the
// machine's ANSI code page.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/sim/api/win32_api.h"
#include "platform/sim/codepage.h"
#include "platform/sim/machine.h"

namespace {

// The code page a call names, or 0 when the machine has no such code page.
unsigned ResolveCodePage(UINT code_page) {
    if (code_page == CP_ACP) {
        return sim::Machine::Current().locale().ansi_code_page;
    }
    if (code_page == CP_UTF8 || sim::IsSupportedCodePage(code_page)) {
        return code_page;
    }
    return 0;
}

bool Injected(const char* operation) {
    if (auto code = sim::Machine::Current().faults().Take(operation)) {
        SetLastError(*code != 0 ? *code : ERROR_INVALID_PARAMETER);
        return true;
    }
    return false;
}

// Hands `converted` to a caller's buffer of `capacity` units, as both functions do: the size
// only when the capacity is 0; what fits and ERROR_INSUFFICIENT_BUFFER when it is too small.
template <typename Unit>
int Deliver(const std::basic_string<Unit>& converted, Unit* buffer, int capacity) {
    const auto needed = static_cast<int>(converted.size());
    if (capacity == 0) {
        return needed;
    }
    const int copied = std::min(needed, capacity);
    std::copy_n(converted.begin(), copied, buffer);
    if (copied < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    return needed;
}

}  // namespace

int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                               LPBOOL lpUsedDefaultChar) {
    if (Injected("WideCharToMultiByte")) {
        return 0;
    }
    const unsigned code_page = ResolveCodePage(CodePage);
    if (!lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && !lpMultiByteStr) || code_page == 0 ||
        (code_page == CP_UTF8 && (lpDefaultChar || lpUsedDefaultChar))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (dwFlags != 0) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    // Length -1 converts the terminator too.
    const std::size_t length =
        cchWideChar == -1 ? std::wcslen(lpWideCharStr) + 1 : static_cast<std::size_t>(cchWideChar);
    const std::u16string text = sim::WideToUtf16({lpWideCharStr, length});
    const std::string converted =
        code_page == CP_UTF8 ? sim::Utf16ToUtf8(text) : sim::Utf16ToAnsi(text, code_page);
    if (lpUsedDefaultChar) {
        // The machine's default character is '?': used when the output has more of them.
        const auto marks = [](auto&& s) { return std::count(s.begin(), s.end(), '?'); };
        *lpUsedDefaultChar = marks(converted) > marks(text) ? TRUE : FALSE;
    }
    return Deliver(converted, lpMultiByteStr, cbMultiByte);
}

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar) {
    if (Injected("MultiByteToWideChar")) {
        return 0;
    }
    const unsigned code_page = ResolveCodePage(CodePage);
    if (!lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
        (cchWideChar > 0 && !lpWideCharStr) || code_page == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (dwFlags != 0) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    const std::size_t length =
        cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : static_cast<std::size_t>(cbMultiByte);
    const std::string_view text(lpMultiByteStr, length);
    const std::u16string converted =
        code_page == CP_UTF8 ? sim::Utf8ToUtf16(text) : sim::AnsiToUtf16(text, code_page);
    return Deliver(sim::Utf16ToWide(converted), lpWideCharStr, cchWideChar);
}
