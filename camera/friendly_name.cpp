#include "camera/friendly_name.h"

#include <cstring>

namespace camera {

namespace {

// The names the camera's drivers register: "USB " and 視訊裝置 ("video device") in Big5, the
// generic USB video name, and the product name. Only their first four bytes take part.
constexpr const char* kFriendlyNamePrefixes[] = {
    "USB \xB5\xF8\xB0\x54\xB8\xCB\xB8\x6D",
    "USB Video Device",
    "CV Lumen Webcam",
};
constexpr std::size_t kComparedBytes = 4;

// Eight UTF-16 units hold at least four characters, and every character becomes at least one
// byte, so they always yield the four bytes that decide.
constexpr int kConvertedUnits = 8;
constexpr int kNarrowNameSize = 80;

bool IsHighSurrogate(WCHAR unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

}  // namespace

bool IsCameraFriendlyName(const WCHAR* name) {
    if (!name) {
        return false;
    }
    int units = 0;
    while (units < kConvertedUnits && name[units] != 0) {
        ++units;
    }
    // A pair cut in half would convert as a stray character.
    if (units == kConvertedUnits && IsHighSurrogate(name[units - 1])) {
        --units;
    }
    char narrow[kNarrowNameSize] = {};
    if (units > 0) {
        WideCharToMultiByte(CP_ACP, 0, name, units, narrow, kNarrowNameSize - 1, nullptr, nullptr);
    }
    for (const char* prefix : kFriendlyNamePrefixes) {
        if (std::strncmp(narrow, prefix, kComparedBytes) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace camera
