// The COM library functions: object creation, task memory, BSTRs and VARIANTs.
#include <cstdlib>
#include <cstring>

#include "platform/sim/com/com_object.h"
#include "platform/sim/com/com_objects.h"

HRESULT WINAPI CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext,
                                REFIID riid, LPVOID* ppv) {
    if (!ppv) {
        return E_POINTER;
    }
    *ppv = nullptr;
    sim::Machine::Current().trace().Record("CoCreateInstance");
    if (auto fault = sim::InjectedFault("CoCreateInstance", E_FAIL)) {
        return *fault;
    }
    if (sim::Machine::Current().apartments().Count(sim::Kernel::CurrentThread()) == 0) {
        return CO_E_NOTINITIALIZED;
    }
    // The system device enumerator is the one class the machine has registered, in process.
    if (rclsid != CLSID_SystemDeviceEnum || (dwClsContext & CLSCTX_INPROC_SERVER) == 0) {
        return REGDB_E_CLASSNOTREG;
    }
    if (pUnkOuter) {
        return CLASS_E_NOAGGREGATION;
    }
    ICreateDevEnum* created = sim::NewSystemDeviceEnum();
    const HRESULT result = created->QueryInterface(riid, ppv);
    created->Release();
    return result;
}

LPVOID WINAPI CoTaskMemAlloc(SIZE_T cb) {
    auto& machine = sim::Machine::Current();
    if (machine.faults().Take("CoTaskMemAlloc")) {
        return nullptr;
    }
    void* block = std::malloc(cb != 0 ? cb : 1);
    if (block) {
        machine.resources().Acquired(sim::kinds::kTaskMemory);
    }
    return block;
}

void WINAPI CoTaskMemFree(LPVOID pv) {
    if (!pv) {
        return;
    }
    std::free(pv);
    sim::Machine::Current().resources().Released(sim::kinds::kTaskMemory);
}

namespace {

// A BSTR is preceded by its length in bytes.
using BstrPrefix = std::uint32_t;

BstrPrefix* PrefixOf(BSTR text) {
    return reinterpret_cast<BstrPrefix*>(text) - 1;
}

}  // namespace

BSTR WINAPI SysAllocString(const OLECHAR* psz) {
    if (!psz) {
        return nullptr;
    }
    auto& machine = sim::Machine::Current();
    const std::size_t length = std::wcslen(psz);
    void* block = std::malloc(sizeof(BstrPrefix) + (length + 1) * sizeof(OLECHAR));
    if (!block) {
        return nullptr;
    }
    auto* prefix = static_cast<BstrPrefix*>(block);
    *prefix = static_cast<BstrPrefix>(length * sizeof(OLECHAR));
    auto* text = reinterpret_cast<BSTR>(prefix + 1);
    std::memcpy(text, psz, (length + 1) * sizeof(OLECHAR));
    machine.resources().Acquired(sim::kinds::kBstr);
    return text;
}

void WINAPI SysFreeString(BSTR bstrString) {
    if (!bstrString) {
        return;
    }
    std::free(PrefixOf(bstrString));
    sim::Machine::Current().resources().Released(sim::kinds::kBstr);
}

UINT WINAPI SysStringLen(BSTR pbstr) {
    return pbstr ? *PrefixOf(pbstr) / sizeof(OLECHAR) : 0;
}

void WINAPI VariantInit(VARIANTARG* pvarg) {
    pvarg->vt = VT_EMPTY;
    pvarg->wReserved1 = pvarg->wReserved2 = pvarg->wReserved3 = 0;
}

HRESULT WINAPI VariantClear(VARIANTARG* pvarg) {
    if (!pvarg) {
        return E_INVALIDARG;
    }
    // The machine makes no VARIANT that owns anything but a BSTR.
    if (pvarg->vt == VT_BSTR) {
        SysFreeString(pvarg->bstrVal);
    }
    pvarg->vt = VT_EMPTY;
    return S_OK;
}
