// A capture device's moniker: its property bag (the registered friendly name) and its filter.
#include <string>

#include "platform/sim/codepage.h"
#include "platform/sim/com/com_object.h"
#include "platform/sim/com/com_objects.h"

namespace sim {

namespace {

const HRESULT kNoSuchValue = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);

class DevicePropertyBag final : public ComObject<IPropertyBag> {
public:
    explicit DevicePropertyBag(int device_id) : device_id_(device_id) {}

    std::string_view InterfaceName() const override { return "IPropertyBag"; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        Called("QueryInterface");
        if (!ppvObject) {
            return E_POINTER;
        }
        *ppvObject = nullptr;
        if (riid == IID_IUnknown || riid == IID_IPropertyBag) {
            return GiveReference(static_cast<IPropertyBag*>(this), ppvObject);
        }
        return E_NOINTERFACE;
    }

    // The bag reads the device's registry values at the time of the call.
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR pszPropName, VARIANT* pVar,
                                   IErrorLog* /*pErrorLog*/) override {
        Called("Read");
        Machine* machine = Home();
        if (!machine) {
            return E_UNEXPECTED;
        }
        if (auto fault = InjectedFault("IPropertyBag::Read", E_FAIL)) {
            return *fault;
        }
        if (!pszPropName || !pVar) {
            return E_POINTER;
        }
        const CaptureDevice* device = machine->video().FindById(device_id_);
        if (!device || std::wstring_view(pszPropName) != L"FriendlyName") {
            return kNoSuchValue;
        }
        if (pVar->vt != VT_EMPTY && pVar->vt != VT_BSTR) {
            return DISP_E_TYPEMISMATCH;
        }
        const std::wstring name = Utf16ToWide(device->friendly_name);
        pVar->vt = VT_BSTR;
        pVar->bstrVal = SysAllocString(name.c_str());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR /*pszPropName*/, VARIANT* /*pVar*/) override {
        Called("Write");
        return E_NOTIMPL;
    }

private:
    const int device_id_;
};

class DeviceMoniker final : public ComObject<IMoniker> {
public:
    explicit DeviceMoniker(int device_id) : device_id_(device_id) {}

    std::string_view InterfaceName() const override { return "IMoniker"; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        Called("QueryInterface");
        if (!ppvObject) {
            return E_POINTER;
        }
        *ppvObject = nullptr;
        if (riid == IID_IUnknown || riid == IID_IMoniker) {
            return GiveReference(static_cast<IMoniker*>(this), ppvObject);
        }
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE BindToObject(IBindCtx* /*pbc*/, IMoniker* /*pmkToLeft*/,
                                           REFIID riidResult, void** ppvResult) override {
        Called("BindToObject");
        if (!ppvResult) {
            return E_POINTER;
        }
        *ppvResult = nullptr;
        Machine* machine = Home();
        if (!machine) {
            return E_UNEXPECTED;
        }
        if (auto fault = InjectedFault("IMoniker::BindToObject", E_FAIL)) {
            return *fault;
        }
        const CaptureDevice* device = machine->video().FindById(device_id_);
        if (!device) {
            return kDeviceRemoved;
        }
        if (!device->bindable || !machine->video().Listed(*device)) {
            return kDeviceNotFunctioning;
        }
        IBaseFilter* filter = NewCaptureFilter(device_id_);
        const HRESULT result = filter->QueryInterface(riidResult, ppvResult);
        filter->Release();
        return result;
    }

    HRESULT STDMETHODCALLTYPE BindToStorage(IBindCtx* /*pbc*/, IMoniker* /*pmkToLeft*/, REFIID riid,
                                            void** ppvObj) override {
        Called("BindToStorage");
        if (!ppvObj) {
            return E_POINTER;
        }
        *ppvObj = nullptr;
        Machine* machine = Home();
        if (!machine) {
            return E_UNEXPECTED;
        }
        if (auto fault = InjectedFault("IMoniker::BindToStorage", E_FAIL)) {
            return *fault;
        }
        if (riid != IID_IPropertyBag) {
            return E_NOINTERFACE;
        }
        if (!machine->video().FindById(device_id_)) {
            return kNoSuchValue;
        }
        *ppvObj = static_cast<IPropertyBag*>(new DevicePropertyBag(device_id_));
        return S_OK;
    }

private:
    const int device_id_;
};

}  // namespace

IMoniker* NewDeviceMoniker(int device_id) {
    return new DeviceMoniker(device_id);
}

}  // namespace sim
