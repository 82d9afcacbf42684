#include "camera/capture_filter.h"

#include "camera/friendly_name.h"

SharedCaptureFilter CaptureFilter;

SharedCaptureFilter::BindingPause::BindingPause(SharedCaptureFilter& shared) : shared_(shared) {
    auto access = shared_.Lock();
    ++shared_.paused_;
}

SharedCaptureFilter::BindingPause::~BindingPause() {
    auto access = shared_.Lock();
    --shared_.paused_;
}

namespace {

using camera::ComPtr;

// A VARIANT that frees what it holds.
struct OwnedVariant {
    OwnedVariant() { VariantInit(&value); }
    ~OwnedVariant() { VariantClear(&value); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;

    VARIANT value;
};

// Whether the device behind `moniker` registers a friendly name of the camera. A device whose
// property bag or name cannot be read does not.
bool NamesCamera(IMoniker* moniker) {
    ComPtr<IPropertyBag> bag;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.OutVoid())) || !bag) {
        return false;
    }
    OwnedVariant name;
    // Ask for a string; a read that fails must leave nothing for the clear to free.
    name.value.vt = VT_BSTR;
    name.value.bstrVal = nullptr;
    if (bag->Read(L"FriendlyName", &name.value, nullptr) != S_OK || name.value.vt != VT_BSTR) {
        return false;
    }
    return camera::IsCameraFriendlyName(name.value.bstrVal);
}

}  // namespace

int FindCaptureFilter(SharedCaptureFilter::Access& access) {
    ComPtr<IBaseFilter> previous;
    ComPtr<ICreateDevEnum> device_enumerator;
    if (CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                         device_enumerator.OutVoid()) != S_OK ||
        !device_enumerator) {
        return 0;
    }
    // S_FALSE, an empty category, counts as failure too.
    ComPtr<IEnumMoniker> monikers;
    if (device_enumerator->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.Out(),
                                                 0) != S_OK ||
        !monikers) {
        return 0;
    }
    device_enumerator.Reset();

    // The search runs: whatever it finds replaces the earlier binding, released at the end.
    previous = std::move(access.Filter());
    monikers->Reset();
    for (;;) {
        ComPtr<IMoniker> moniker;
        if (monikers->Next(1, moniker.Out(), nullptr) != S_OK || !moniker) {
            return 0;
        }
        if (!NamesCamera(moniker.Get())) {
            continue;
        }
        ComPtr<IBaseFilter>& filter = access.Filter();
        if (moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.OutVoid()) == S_OK &&
            filter) {
            access.NewBinding();
            return 1;
        }
        filter.Reset();
    }
}

void ReleaseCaptureFilter(SharedCaptureFilter::Access& access) {
    access.Filter().Reset();
}

int FindCaptureFilter() {
    auto access = CaptureFilter.Lock();
    return FindCaptureFilter(access);
}

void ReleaseCaptureFilter() {
    auto access = CaptureFilter.Lock();
    ReleaseCaptureFilter(access);
}
