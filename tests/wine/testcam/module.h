// The DLL as a COM server: its instance handle and the count of what keeps it loaded.
#pragma once

#include "platform/win32.h"

namespace testcam {

HINSTANCE ModuleInstance();

// Every object the DLL hands out counts while it lives, and so does each LockServer(TRUE):
// DllCanUnloadNow answers S_OK only at zero.
void AddModuleReference();
void ReleaseModuleReference();

// Answers QueryInterface with `iface`, counting the reference.
template <class Interface>
HRESULT GiveInterface(Interface* iface, void** out) {
    iface->AddRef();
    *out = iface;
    return S_OK;
}

}  // namespace testcam
