// ThreadHandle: an owned thread handle, closed exactly once.
#pragma once

#include "framework/unique_handle.h"
#include "platform/win32.h"

namespace framework {

struct ThreadHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle thread) { CloseHandle(thread); }
};

using ThreadHandle = UniqueHandle<ThreadHandleTraits>;

}  // namespace framework
