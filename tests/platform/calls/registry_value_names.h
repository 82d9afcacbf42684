// The value names of an open registry key, as RegEnumValueA lists them: shared by the checks of
// both builds and the simulator's own registry tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace calls {

// The names in RegEnumValueA's order; the walk must end with ERROR_NO_MORE_ITEMS.
inline std::vector<std::string> ValueNames(HKEY key) {
    std::vector<std::string> names;
    char name[64];
    for (DWORD index = 0;; ++index) {
        DWORD chars = sizeof name;
        const LSTATUS status =
            RegEnumValueA(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) {
            EXPECT_EQ(status, ERROR_NO_MORE_ITEMS);
            return names;
        }
        EXPECT_EQ(chars, std::strlen(name));
        names.emplace_back(name);
    }
}

}  // namespace calls
