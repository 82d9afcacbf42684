// KernelHandle: an owned handle of a kernel object (a thread, an event), closed exactly once.
#pragma once

#include "framework/unique_handle.h"
#include "platform/win32.h"

namespace framework {

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle object) { CloseHandle(object); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;

}  // namespace framework
