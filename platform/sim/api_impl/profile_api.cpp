// The user's profile (win.ini), on the current machine.
#include <algorithm>
#include <climits>
#include <string>

#include "platform/sim/api/win32_kernel.h"
#include "platform/sim/api_impl/api_support.h"
#include "platform/sim/codepage.h"
#include "platform/sim/machine.h"

namespace {

using sim::api::M;

std::string AnsiToUtf8(LPCSTR text) {
    return sim::Utf16ToUtf8(sim::AnsiToUtf16(text, M().locale().ansi_code_page));
}

}  // namespace

DWORD WINAPI GetProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                               LPSTR lpReturnedString, DWORD nSize) {
    if (!lpReturnedString || nSize == 0) {
        return 0;
    }
    lpReturnedString[0] = '\0';
    // The lists of section or value names that null names ask for are not simulated.
    if (!lpAppName || !lpKeyName) {
        return 0;
    }
    std::optional<std::string> value;
    if (!sim::api::FailsByInjection("GetProfileStringA", ERROR_FILE_NOT_FOUND)) {
        value = M().profile().Get(AnsiToUtf8(lpAppName), AnsiToUtf8(lpKeyName));
    }
    std::u16string text;
    if (value) {
        text = sim::Utf8ToUtf16(*value);
    } else if (lpDefault) {
        // Windows cuts the default's trailing blanks.
        std::string fallback(lpDefault);
        fallback.erase(fallback.find_last_not_of(' ') + 1);
        text = sim::AnsiToUtf16(fallback, M().locale().ansi_code_page);
    }
    const int size = static_cast<int>(std::min<DWORD>(nSize, INT_MAX));
    return static_cast<DWORD>(sim::api::CopyAnsi(text, lpReturnedString, size));
}
