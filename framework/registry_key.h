// RegistryKey: an owned registry handle.
#pragma once

#include "framework/unique_handle.h"
#include "platform/win32.h"

namespace framework {

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle key) { RegCloseKey(key); }
};

using RegistryKey = UniqueHandle<RegistryKeyTraits>;

}  // namespace framework
