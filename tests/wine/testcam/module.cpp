// The DLL's entry points: the class objects of its three classes, unloading, and registration
// (regsvr32 lumiset-testcam.dll; /u to remove; /i:foreign with or without /u for the foreign
// device).
#include "tests/wine/testcam/module.h"

#include <atomic>
#include <new>

#include "tests/wine/testcam/camera.h"
#include "tests/wine/testcam/capture_filter.h"
#include "tests/wine/testcam/property_page.h"
#include "tests/wine/testcam/registration.h"
#include "tests/wine/testcam/testcam_ids.h"

namespace testcam {

namespace {

HINSTANCE module_instance = nullptr;
std::atomic<long> module_references{0};

enum class ClassKind { Camera, Foreign, Page };

class ClassFactory final : public SingleInterfaceObject<IClassFactory, IID_IClassFactory> {
public:
    explicit ClassFactory(ClassKind kind) : kind_(kind) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer) {
            return CLASS_E_NOAGGREGATION;
        }
        switch (kind_) {
            case ClassKind::Camera:
                return CreateCaptureFilter(Device::Camera, riid, object);
            case ClassKind::Foreign:
                return CreateCaptureFilter(Device::Foreign, riid, object);
            case ClassKind::Page:
                return CreatePropertyPage(riid, object);
        }
        return E_UNEXPECTED;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            AddModuleReference();
        } else {
            ReleaseModuleReference();
        }
        return S_OK;
    }

private:
    const ClassKind kind_;
};

}  // namespace

HINSTANCE ModuleInstance() {
    return module_instance;
}

void AddModuleReference() {
    ++module_references;
}

void ReleaseModuleReference() {
    --module_references;
}

}  // namespace testcam

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        testcam::module_instance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* object) {
    using testcam::ClassKind;
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    ClassKind kind = ClassKind::Camera;
    if (clsid == testcam::kCameraClsid) {
        kind = ClassKind::Camera;
    } else if (clsid == testcam::kForeignClsid) {
        kind = ClassKind::Foreign;
    } else if (clsid == testcam::kPageClsid) {
        kind = ClassKind::Page;
    } else {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    auto* factory = new (std::nothrow) testcam::ClassFactory(kind);
    if (!factory) {
        return E_OUTOFMEMORY;
    }
    const HRESULT result = factory->QueryInterface(riid, object);
    factory->Release();
    return result;
}

STDAPI DllCanUnloadNow() {
    return testcam::module_references == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    return testcam::RegisterCamera();
}

// Removes every registration of the DLL, the foreign device's included: none may outlive it.
STDAPI DllUnregisterServer() {
    const HRESULT foreign = testcam::UnregisterForeign();
    const HRESULT camera = testcam::UnregisterCamera();
    return FAILED(camera) ? camera : foreign;
}

// regsvr32 [/u] [/n] /i:foreign adds or removes the foreign device.
STDAPI DllInstall(BOOL install, LPCWSTR command_line) {
    if (!command_line || CompareStringOrdinal(command_line, -1, testcam::kForeignInstallCommand, -1,
                                              TRUE) != CSTR_EQUAL) {
        return E_INVALIDARG;
    }
    return install ? testcam::RegisterForeign() : testcam::UnregisterForeign();
}
