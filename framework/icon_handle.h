// IconHandle: an owned icon, destroyed with the object.
#pragma once

#include "framework/unique_handle.h"
#include "platform/win32.h"

namespace framework {

struct IconTraits {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle icon) { DestroyIcon(icon); }
};

using IconHandle = UniqueHandle<IconTraits>;

// Icon resource `id` of the program at `cx` x `cy` pixels with default colours; empty when it
// cannot be loaded.
IconHandle LoadIconResource(UINT id, int cx, int cy);

}  // namespace framework
