// The capture filter of one device: the control interfaces the program queries, each call
// handed to the device's driver while the device is there and running.
#include <cstring>

#include "platform/sim/com/com_object.h"
#include "platform/sim/com/com_objects.h"

namespace sim {

namespace {

class CaptureFilterObject final
    : public ComObject<IBaseFilter, IKsPropertySet, IAMVideoProcAmp, ISpecifyPropertyPages> {
public:
    // A filter object keeps its device open: the device cannot stop while one exists.
    explicit CaptureFilterObject(int device_id) : device_id_(device_id) {
        if (CaptureDevice* device = Device()) {
            ++device->open_filters;
        }
    }
    ~CaptureFilterObject() override {
        if (CaptureDevice* device = Device()) {
            --device->open_filters;
        }
    }

    std::string_view InterfaceName() const override { return "IBaseFilter"; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        Called("QueryInterface");
        if (!ppvObject) {
            return E_POINTER;
        }
        *ppvObject = nullptr;
        if (!Home()) {
            return E_UNEXPECTED;
        }
        if (riid == IID_IUnknown || riid == IID_IBaseFilter) {
            return GiveReference(static_cast<IBaseFilter*>(this), ppvObject);
        }
        // An injected fault hits the queries for the control interfaces only, so that binding
        // (which queries IBaseFilter) is not what fails.
        if (auto fault = InjectedFault("IBaseFilter::QueryInterface", E_NOINTERFACE)) {
            return *fault;
        }
        if (riid == IID_ISpecifyPropertyPages) {
            return GiveReference(static_cast<ISpecifyPropertyPages*>(this), ppvObject);
        }
        // The proxy offers the driver's interfaces only when the driver has them; once the
        // device is gone the proxy still answers, and the calls fail.
        const CaptureDevice* device = Device();
        if (riid == IID_IKsPropertySet && (!device || device->driver.features().ks_property)) {
            return GiveReference(static_cast<IKsPropertySet*>(this), ppvObject);
        }
        if (riid == IID_IAMVideoProcAmp && (!device || device->driver.features().procamp)) {
            return GiveReference(static_cast<IAMVideoProcAmp*>(this), ppvObject);
        }
        return E_NOINTERFACE;
    }

    // IKsPropertySet
    HRESULT STDMETHODCALLTYPE Set(REFGUID guidPropSet, DWORD dwPropID, LPVOID pInstanceData,
                                  DWORD cbInstanceData, LPVOID pPropData,
                                  DWORD cbPropData) override {
        CameraDriver* driver = nullptr;
        if (HRESULT refused = Reach("IKsPropertySet::Set", driver); refused != S_OK) {
            return refused;
        }
        return driver->KsSet(guidPropSet, dwPropID, pInstanceData, cbInstanceData, pPropData,
                             cbPropData);
    }

    HRESULT STDMETHODCALLTYPE Get(REFGUID guidPropSet, DWORD dwPropID, LPVOID pInstanceData,
                                  DWORD cbInstanceData, LPVOID pPropData, DWORD cbPropData,
                                  DWORD* pcbReturned) override {
        CameraDriver* driver = nullptr;
        if (HRESULT refused = Reach("IKsPropertySet::Get", driver); refused != S_OK) {
            return refused;
        }
        return driver->KsGet(guidPropSet, dwPropID, pInstanceData, cbInstanceData, pPropData,
                             cbPropData, pcbReturned);
    }

    HRESULT STDMETHODCALLTYPE QuerySupported(REFGUID guidPropSet, DWORD dwPropID,
                                             DWORD* pTypeSupport) override {
        CameraDriver* driver = nullptr;
        if (HRESULT refused = Reach("IKsPropertySet::QuerySupported", driver); refused != S_OK) {
            return refused;
        }
        return driver->KsQuerySupported(guidPropSet, dwPropID, pTypeSupport);
    }

    // IAMVideoProcAmp
    HRESULT STDMETHODCALLTYPE GetRange(LONG Property, LONG* pMin, LONG* pMax, LONG* pSteppingDelta,
                                       LONG* pDefault, LONG* pCapsFlags) override {
        CameraDriver* driver = nullptr;
        if (HRESULT refused = Reach("IAMVideoProcAmp::GetRange", driver); refused != S_OK) {
            return refused;
        }
        return driver->ProcAmpGetRange(Property, pMin, pMax, pSteppingDelta, pDefault, pCapsFlags);
    }

    HRESULT STDMETHODCALLTYPE Set(LONG Property, LONG lValue, LONG Flags) override {
        CameraDriver* driver = nullptr;
        if (HRESULT refused = Reach("IAMVideoProcAmp::Set", driver); refused != S_OK) {
            return refused;
        }
        return driver->ProcAmpSet(Property, lValue, Flags);
    }

    HRESULT STDMETHODCALLTYPE Get(LONG Property, LONG* lValue, LONG* Flags) override {
        CameraDriver* driver = nullptr;
        if (HRESULT refused = Reach("IAMVideoProcAmp::Get", driver); refused != S_OK) {
            return refused;
        }
        return driver->ProcAmpGet(Property, lValue, Flags);
    }

    // ISpecifyPropertyPages
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pPages) override {
        CalledAs("ISpecifyPropertyPages::GetPages");
        if (!pPages) {
            return E_POINTER;
        }
        CameraDriver* driver = nullptr;
        if (HRESULT refused = Reach("ISpecifyPropertyPages::GetPages", driver); refused != S_OK) {
            return refused;
        }
        const std::vector<GUID>& pages = driver->property_pages();
        pPages->cElems = 0;
        pPages->pElems = nullptr;
        if (pages.empty()) {
            return S_OK;
        }
        auto* elements = static_cast<GUID*>(CoTaskMemAlloc(pages.size() * sizeof(GUID)));
        if (!elements) {
            return E_OUTOFMEMORY;
        }
        std::memcpy(elements, pages.data(), pages.size() * sizeof(GUID));
        pPages->cElems = static_cast<ULONG>(pages.size());
        pPages->pElems = elements;
        return S_OK;
    }

private:
    CaptureDevice* Device() const {
        Machine* machine = Home();
        return machine ? machine->video().FindById(device_id_) : nullptr;
    }

    // S_OK and the driver when a call gets through to it; otherwise the call's error.
    HRESULT Reach(std::string_view operation, CameraDriver*& driver) const {
        CalledAs(operation);
        Machine* machine = Home();
        if (!machine) {
            return E_UNEXPECTED;
        }
        if (auto fault = InjectedFault(operation, E_FAIL)) {
            return *fault;
        }
        CaptureDevice* device = machine->video().FindById(device_id_);
        if (!device || !machine->video().Listed(*device)) {
            return kDeviceRemoved;
        }
        driver = &device->driver;
        return S_OK;
    }

    const int device_id_;
};

}  // namespace

IBaseFilter* NewCaptureFilter(int device_id) {
    return new CaptureFilterObject(device_id);
}

}  // namespace sim
