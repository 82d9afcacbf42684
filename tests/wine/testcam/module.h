// The DLL as a COM server: its instance handle and the count of what keeps it loaded.
#pragma once

#include <atomic>
#include <new>

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

// The COM reference count of one of the DLL's objects, which keeps the DLL loaded while the
// object lives. It starts at one, the creator's.
class ObjectReferences {
public:
    ObjectReferences() { AddModuleReference(); }
    ~ObjectReferences() { ReleaseModuleReference(); }
    ObjectReferences(const ObjectReferences&) = delete;
    ObjectReferences& operator=(const ObjectReferences&) = delete;

    ULONG Add() { return ++count_; }
    // The references left: at zero the owner deletes itself.
    ULONG Drop() { return --count_; }

private:
    std::atomic<ULONG> count_{1};
};

// Creates an Object and answers with its `riid`; the object is gone again if it has none.
template <class Object, class... Arguments>
HRESULT CreateObject(REFIID riid, void** object, Arguments... arguments) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    auto* created = new (std::nothrow) Object(arguments...);
    if (!created) {
        return E_OUTOFMEMORY;
    }
    const HRESULT result = created->QueryInterface(riid, object);
    created->Release();
    return result;
}

// A COM object of the DLL with one interface besides IUnknown, deleted with its last reference.
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
    ULONG STDMETHODCALLTYPE AddRef() override { return references_.Add(); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = references_.Drop();
        if (left == 0) {
            delete this;
        }
        return left;
    }

protected:
    SingleInterfaceObject() = default;
    virtual ~SingleInterfaceObject() = default;

private:
    ObjectReferences references_;
};

}  // namespace testcam
