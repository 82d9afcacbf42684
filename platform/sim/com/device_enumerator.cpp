// The system device enumerator and the moniker enumerator it makes for the video input category.
#include <vector>

#include "platform/sim/com/com_object.h"
#include "platform/sim/com/com_objects.h"

namespace sim {

namespace {

class MonikerEnumerator final : public ComObject<IEnumMoniker> {
public:
    MonikerEnumerator(std::vector<int> device_ids, std::size_t position)
        : device_ids_(std::move(device_ids)), position_(position) {}

    std::string_view InterfaceName() const override { return "IEnumMoniker"; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        Called("QueryInterface");
        if (!ppvObject) {
            return E_POINTER;
        }
        *ppvObject = nullptr;
        if (riid == IID_IUnknown || riid == IID_IEnumMoniker) {
            return GiveReference(static_cast<IEnumMoniker*>(this), ppvObject);
        }
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG celt, IMoniker** rgelt, ULONG* pceltFetched) override {
        Called("Next");
        if (pceltFetched) {
            *pceltFetched = 0;
        }
        if (!Home()) {
            return E_UNEXPECTED;
        }
        if (auto fault = InjectedFault("IEnumMoniker::Next", E_FAIL)) {
            return *fault;
        }
        if (!rgelt || (celt > 1 && !pceltFetched)) {
            return E_POINTER;
        }
        ULONG fetched = 0;
        while (fetched < celt && position_ < device_ids_.size()) {
            rgelt[fetched++] = NewDeviceMoniker(device_ids_[position_++]);
        }
        if (pceltFetched) {
            *pceltFetched = fetched;
        }
        return fetched == celt ? S_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override {
        Called("Skip");
        const std::size_t left = device_ids_.size() - position_;
        if (celt > left) {
            position_ = device_ids_.size();
            return S_FALSE;
        }
        position_ += celt;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Reset() override {
        Called("Reset");
        if (!Home()) {
            return E_UNEXPECTED;
        }
        if (auto fault = InjectedFault("IEnumMoniker::Reset", E_FAIL)) {
            return *fault;
        }
        position_ = 0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Clone(IEnumMoniker** ppenum) override {
        Called("Clone");
        if (!ppenum) {
            return E_POINTER;
        }
        *ppenum = new MonikerEnumerator(device_ids_, position_);
        return S_OK;
    }

private:
    // The devices listed when the enumerator was made; later changes do not show.
    const std::vector<int> device_ids_;
    std::size_t position_;
};

class SystemDeviceEnum final : public ComObject<ICreateDevEnum> {
public:
    std::string_view InterfaceName() const override { return "ICreateDevEnum"; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        Called("QueryInterface");
        if (!ppvObject) {
            return E_POINTER;
        }
        *ppvObject = nullptr;
        if (riid == IID_IUnknown || riid == IID_ICreateDevEnum) {
            return GiveReference(static_cast<ICreateDevEnum*>(this), ppvObject);
        }
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE CreateClassEnumerator(REFCLSID clsidDeviceClass,
                                                    IEnumMoniker** ppEnumMoniker,
                                                    DWORD /*dwFlags*/) override {
        Called("CreateClassEnumerator");
        if (!ppEnumMoniker) {
            return E_POINTER;
        }
        *ppEnumMoniker = nullptr;
        Machine* machine = Home();
        if (!machine) {
            return E_UNEXPECTED;
        }
        if (auto fault = InjectedFault("ICreateDevEnum::CreateClassEnumerator", E_FAIL)) {
            return *fault;
        }
        // The machine has devices only in the video input category; an empty category is
        // S_FALSE with no enumerator.
        if (clsidDeviceClass != CLSID_VideoInputDeviceCategory) {
            return S_FALSE;
        }
        std::vector<int> listed = machine->video().ListedIds();
        if (listed.empty()) {
            return S_FALSE;
        }
        *ppEnumMoniker = new MonikerEnumerator(std::move(listed), 0);
        return S_OK;
    }
};

}  // namespace

ICreateDevEnum* NewSystemDeviceEnum() {
    return new SystemDeviceEnum();
}

}  // namespace sim
