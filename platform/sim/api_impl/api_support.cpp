#include "platform/sim/api_impl/api_support.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/sim/codepage.h"

namespace sim::api {

bool FailsByInjection(const char* operation, DWORD error) {
    if (auto code = M().faults().Take(operation)) {
        SetLastError(*code != 0 ? *code : error);
        return true;
    }
    return false;
}

int CopyAnsi(std::u16string_view text, LPSTR buffer, int size) {
    if (!buffer || size <= 0) {
        return 0;
    }
    const std::string ansi = Utf16ToAnsi(text, M().locale().ansi_code_page);
    const auto length = std::min<size_t>(ansi.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, ansi.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

}  // namespace sim::api
