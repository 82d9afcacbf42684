#include "tests/wine/testcam/capture_filter.h"

#include <cstring>
#include <cwchar>
#include <mutex>
#include <new>
#include <vector>

#include "tests/wine/testcam/module.h"
#include "tests/wine/testcam/testcam_ids.h"

namespace testcam {

namespace {

// The filter has no pins: every enumeration is empty.
class EmptyPinEnumerator final : public SingleInterfaceObject<IEnumPins, IID_IEnumPins> {
public:
    EmptyPinEnumerator() = default;

    HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin** pins, ULONG* fetched) override {
        if (!pins || (count > 1 && !fetched)) {
            return E_POINTER;
        }
        if (fetched) {
            *fetched = 0;
        }
        return count == 0 ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override { return count == 0 ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Reset() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Clone(IEnumPins** copy) override {
        if (!copy) {
            return E_POINTER;
        }
        *copy = new (std::nothrow) EmptyPinEnumerator;
        return *copy ? S_OK : E_OUTOFMEMORY;
    }
};

class CaptureFilter final : public IBaseFilter,
                            public IKsPropertySet,
                            public IAMVideoProcAmp,
                            public ISpecifyPropertyPages {
public:
    explicit CaptureFilter(Device device) : device_(device) {}
    CaptureFilter(const CaptureFilter&) = delete;
    CaptureFilter& operator=(const CaptureFilter&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        if (riid == IID_IUnknown || riid == IID_IPersist || riid == IID_IMediaFilter ||
            riid == IID_IBaseFilter) {
            return GiveInterface(static_cast<IBaseFilter*>(this), object);
        }
        if (riid == IID_IKsPropertySet) {
            return GiveInterface(static_cast<IKsPropertySet*>(this), object);
        }
        if (riid == IID_IAMVideoProcAmp) {
            return GiveInterface(static_cast<IAMVideoProcAmp*>(this), object);
        }
        if (riid == IID_ISpecifyPropertyPages) {
            return GiveInterface(static_cast<ISpecifyPropertyPages*>(this), object);
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

    // IPersist
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override {
        if (!clsid) {
            return E_POINTER;
        }
        *clsid = device_ == Device::Camera ? kCameraClsid : kForeignClsid;
        return S_OK;
    }

    // IMediaFilter: the state changes and nothing streams.
    HRESULT STDMETHODCALLTYPE Stop() override { return ChangeState(State_Stopped); }
    HRESULT STDMETHODCALLTYPE Pause() override { return ChangeState(State_Paused); }
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME) override { return ChangeState(State_Running); }
    HRESULT STDMETHODCALLTYPE GetState(DWORD, FILTER_STATE* state) override {
        if (!state) {
            return E_POINTER;
        }
        const std::lock_guard<std::mutex> held(lock_);
        *state = state_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override {
        if (clock) {
            clock->AddRef();
        }
        IReferenceClock* old = nullptr;
        {
            const std::lock_guard<std::mutex> held(lock_);
            old = clock_;
            clock_ = clock;
        }
        if (old) {
            old->Release();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override {
        if (!clock) {
            return E_POINTER;
        }
        const std::lock_guard<std::mutex> held(lock_);
        *clock = clock_;
        if (clock_) {
            clock_->AddRef();
        }
        return S_OK;
    }

    // IBaseFilter
    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** pins) override {
        if (!pins) {
            return E_POINTER;
        }
        *pins = new (std::nothrow) EmptyPinEnumerator;
        return *pins ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR, IPin** pin) override {
        if (!pin) {
            return E_POINTER;
        }
        *pin = nullptr;
        return VFW_E_NOT_FOUND;
    }
    HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override {
        if (!info) {
            return E_POINTER;
        }
        const std::lock_guard<std::mutex> held(lock_);
        std::memcpy(info->achName, name_, sizeof info->achName);
        // The graph is not held by the filter, but the caller gets a reference.
        info->pGraph = graph_;
        if (graph_) {
            graph_->AddRef();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override {
        const std::lock_guard<std::mutex> held(lock_);
        graph_ = graph;
        std::memset(name_, 0, sizeof name_);
        if (graph && name) {
            std::wcsncpy(name_, name, MAX_FILTER_NAME - 1);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR* info) override {
        if (info) {
            *info = nullptr;
        }
        return E_NOTIMPL;
    }

    // IKsPropertySet
    HRESULT STDMETHODCALLTYPE Set(REFGUID set, DWORD id, LPVOID instance, DWORD instance_size,
                                  LPVOID data, DWORD data_size) override {
        return Ask(device_, [&](sim::CameraDriver& driver) {
            return driver.KsSet(set, id, instance, instance_size, data, data_size);
        });
    }
    HRESULT STDMETHODCALLTYPE Get(REFGUID set, DWORD id, LPVOID instance, DWORD instance_size,
                                  LPVOID data, DWORD data_size, DWORD* returned) override {
        return Ask(device_, [&](sim::CameraDriver& driver) {
            return driver.KsGet(set, id, instance, instance_size, data, data_size, returned);
        });
    }
    HRESULT STDMETHODCALLTYPE QuerySupported(REFGUID set, DWORD id, DWORD* support) override {
        return Ask(device_, [&](sim::CameraDriver& driver) {
            return driver.KsQuerySupported(set, id, support);
        });
    }

    // IAMVideoProcAmp
    HRESULT STDMETHODCALLTYPE GetRange(LONG property, LONG* min, LONG* max, LONG* step,
                                       LONG* default_value, LONG* caps) override {
        return Ask(device_, [&](sim::CameraDriver& driver) {
            return driver.ProcAmpGetRange(property, min, max, step, default_value, caps);
        });
    }
    HRESULT STDMETHODCALLTYPE Set(LONG property, LONG value, LONG flags) override {
        return Ask(device_, [&](sim::CameraDriver& driver) {
            return driver.ProcAmpSet(property, value, flags);
        });
    }
    HRESULT STDMETHODCALLTYPE Get(LONG property, LONG* value, LONG* flags) override {
        return Ask(device_, [&](sim::CameraDriver& driver) {
            return driver.ProcAmpGet(property, value, flags);
        });
    }

    // ISpecifyPropertyPages
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override {
        if (!pages) {
            return E_POINTER;
        }
        pages->cElems = 0;
        pages->pElems = nullptr;
        std::vector<GUID> list;
        Ask(device_, [&](sim::CameraDriver& driver) {
            list = driver.property_pages();
            return S_OK;
        });
        if (list.empty()) {
            return S_OK;
        }
        auto* elements = static_cast<GUID*>(CoTaskMemAlloc(list.size() * sizeof(GUID)));
        if (!elements) {
            return E_OUTOFMEMORY;
        }
        std::memcpy(elements, list.data(), list.size() * sizeof(GUID));
        pages->cElems = static_cast<ULONG>(list.size());
        pages->pElems = elements;
        return S_OK;
    }

private:
    ~CaptureFilter() {
        if (clock_) {
            clock_->Release();
        }
    }

    HRESULT ChangeState(FILTER_STATE state) {
        const std::lock_guard<std::mutex> held(lock_);
        state_ = state;
        return S_OK;
    }

    const Device device_;
    ObjectReferences references_;
    std::mutex lock_;  // the filter's own state below; the model has its own lock
    FILTER_STATE state_ = State_Stopped;
    IReferenceClock* clock_ = nullptr;
    IFilterGraph* graph_ = nullptr;  // not counted: the graph holds its filters
    WCHAR name_[MAX_FILTER_NAME] = {};
};

}  // namespace

HRESULT CreateCaptureFilter(Device device, REFIID riid, void** object) {
    return CreateObject<CaptureFilter>(riid, object, device);
}

}  // namespace testcam
