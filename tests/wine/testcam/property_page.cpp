#include "tests/wine/testcam/property_page.h"

#include <cstring>
#include <cwchar>
#include <string>

#include "platform/sim/camera/camera_driver.h"
#include "tests/wine/testcam/module.h"
#include "tests/wine/testcam/testcam_ids.h"

namespace testcam {

namespace {

// The template's size in dialog units (testcam.rc).
constexpr int kPageWidthDlu = 170;
constexpr int kPageHeightDlu = 64;

constexpr DWORD kBrightnessChannel = 2;
constexpr DWORD kEffectChannel = 33;

// The vendor record: a KSPROPERTY header, then the value and room to spare.
struct VendorRecord {
    KSPROPERTY property;
    LONG value;
    BYTE reserved[12];
};

template <class Interface>
void ReleaseAndClear(Interface*& held) {
    if (held) {
        held->Release();
        held = nullptr;
    }
}

class PropertyPage final : public SingleInterfaceObject<IPropertyPage, IID_IPropertyPage> {
public:
    PropertyPage() = default;

    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override {
        // A site is given once, and taken away (null) before the page is released.
        if (site && site_) {
            return E_UNEXPECTED;
        }
        if (site) {
            site->AddRef();
        }
        ReleaseAndClear(site_);
        site_ = site;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT rect, BOOL) override {
        if (window_) {
            return E_UNEXPECTED;
        }
        if (!rect) {
            return E_POINTER;
        }
        window_ = CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_TESTCAM_PAGE), parent,
                                     DialogProcedure, reinterpret_cast<LPARAM>(this));
        if (!window_) {
            return HRESULT_FROM_WIN32(GetLastError());
        }
        Move(rect);
        ShowValues();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Deactivate() override {
        if (!window_) {
            return E_UNEXPECTED;
        }
        DestroyWindow(window_);
        window_ = nullptr;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override {
        if (!info) {
            return E_POINTER;
        }
        const std::size_t title_bytes = sizeof kPageTitle;
        auto* title = static_cast<LPOLESTR>(CoTaskMemAlloc(title_bytes));
        if (!title) {
            return E_OUTOFMEMORY;
        }
        std::memcpy(title, kPageTitle, title_bytes);
        // Pixels, from the dialog base units: the page is not created yet.
        const LONG base = GetDialogBaseUnits();
        info->cb = sizeof *info;
        info->pszTitle = title;
        info->size.cx = MulDiv(kPageWidthDlu, LOWORD(base), 4);
        info->size.cy = MulDiv(kPageHeightDlu, HIWORD(base), 8);
        info->pszDocString = nullptr;
        info->pszHelpFile = nullptr;
        info->dwHelpContext = 0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) override {
        ReleaseAndClear(properties_);
        ReleaseAndClear(procamp_);
        if (count == 0) {
            return S_OK;
        }
        if (!objects || !objects[0]) {
            return E_POINTER;
        }
        // The page shows the first object; it needs the vendor properties at least.
        if (FAILED(objects[0]->QueryInterface(IID_IKsPropertySet,
                                              reinterpret_cast<void**>(&properties_)))) {
            properties_ = nullptr;
            return E_NOINTERFACE;
        }
        if (FAILED(objects[0]->QueryInterface(IID_IAMVideoProcAmp,
                                              reinterpret_cast<void**>(&procamp_)))) {
            procamp_ = nullptr;
        }
        if (window_) {
            ShowValues();
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Show(UINT command) override {
        if (!window_) {
            return E_UNEXPECTED;
        }
        ShowWindow(window_, static_cast<int>(command));
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Move(LPCRECT rect) override {
        if (!rect) {
            return E_POINTER;
        }
        if (!window_) {
            return E_UNEXPECTED;
        }
        MoveWindow(window_, rect->left, rect->top, rect->right - rect->left,
                   rect->bottom - rect->top, TRUE);
        return S_OK;
    }

    // The page only shows values: nothing is ever changed, so nothing is to apply.
    HRESULT STDMETHODCALLTYPE IsPageDirty() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE Apply() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message) override {
        if (!message) {
            return E_POINTER;
        }
        return window_ && IsDialogMessageW(window_, message) ? S_OK : S_FALSE;
    }

private:
    ~PropertyPage() override {
        if (window_) {
            DestroyWindow(window_);
        }
        ReleaseAndClear(properties_);
        ReleaseAndClear(procamp_);
        ReleaseAndClear(site_);
    }

    static INT_PTR CALLBACK DialogProcedure(HWND, UINT message, WPARAM, LPARAM) {
        // The controls only show text; the dialog manager does the rest.
        return message == WM_INITDIALOG ? TRUE : FALSE;
    }

    std::wstring ReadImageChannel(DWORD channel) const {
        if (!properties_) {
            return L"-";
        }
        VendorRecord record{};
        record.property.Set = sim::kImagePropertySetGuid;
        record.property.Id = channel;
        record.property.Flags = KSPROPERTY_TYPE_GET;
        DWORD returned = 0;
        if (FAILED(properties_->Get(sim::kImagePropertySetGuid, channel, &record, sizeof record,
                                    &record, sizeof record, &returned))) {
            return L"-";
        }
        return std::to_wstring(record.value);
    }

    std::wstring ReadPowerLine() const {
        LONG value = 0;
        LONG flags = 0;
        if (!procamp_ ||
            FAILED(procamp_->Get(KSPROPERTY_VIDEOPROCAMP_POWERLINE_FREQUENCY, &value, &flags))) {
            return L"-";
        }
        switch (value) {
            case 1:
                return L"50 Hz";
            case 2:
                return L"60 Hz";
            default:
                return L"off";
        }
    }

    void ShowValues() {
        SetDlgItemTextW(window_, IDC_TESTCAM_BRIGHTNESS,
                        ReadImageChannel(kBrightnessChannel).c_str());
        SetDlgItemTextW(window_, IDC_TESTCAM_EFFECT, ReadImageChannel(kEffectChannel).c_str());
        SetDlgItemTextW(window_, IDC_TESTCAM_POWERLINE, ReadPowerLine().c_str());
    }

    IPropertyPageSite* site_ = nullptr;
    IKsPropertySet* properties_ = nullptr;
    IAMVideoProcAmp* procamp_ = nullptr;
    HWND window_ = nullptr;
};

}  // namespace

HRESULT CreatePropertyPage(REFIID riid, void** object) {
    return CreateObject<PropertyPage>(riid, object);
}

}  // namespace testcam
