// The DLL as a COM server: its instance handle and the count of what keeps it loaded.
#pragma once

#include <atomic>

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

// A COM object of the DLL with one interface besides IUnknown. It keeps the DLL loaded while it
// lives and deletes itself with its last reference.
template <class Interface, const IID& kInterfaceId>
class SingleInterfaceObject : public Interface {
public:
    SingleInterfaceObject(const SingleInterfaceObject&) = delete;
    SingleInterfaceObject& operator=(const SingleInterfaceObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        if (riid == IID_IUnknown || riid == kInterfaceId) {
            return GiveInterface(static_cast<Interface*>(this), object);
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

protected:
    SingleInterfaceObject() { AddModuleReference(); }
    virtual ~SingleInterfaceObject() { ReleaseModuleReference(); }

private:
    std::atomic<ULONG> references_{1};
};

}  // namespace testcam
