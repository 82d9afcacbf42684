#include "tests/wine/testcam/registration.h"

#include <string>
#include <vector>

#include "tests/wine/testcam/module.h"
#include "tests/wine/testcam/testcam_ids.h"

namespace testcam {

namespace {

constexpr int kGuidTextSize = 39;  // "{…}" and the terminator
constexpr DWORD kPathCapacity = 32768;
constexpr wchar_t kPageName[] = L"Test Camera Property Page";
constexpr wchar_t kThreadingModel[] = L"Both";

// COM for the filter mapper, for as long as a registration runs: regsvr32 may not have
// initialised it.
class ComScope {
public:
    ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (initialised_) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialised_;
};

std::wstring GuidText(const GUID& guid) {
    wchar_t text[kGuidTextSize] = {};
    StringFromGUID2(guid, text, kGuidTextSize);
    return text;
}

std::wstring ClassKeyPath(const CLSID& clsid) {
    return L"CLSID\\" + GuidText(clsid);
}

HRESULT SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return HRESULT_FROM_WIN32(
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes));
}

HRESULT WriteKey(const std::wstring& path, const wchar_t* value_name, const std::wstring& value,
                 const wchar_t* second_name = nullptr, const std::wstring& second_value = {}) {
    HKEY key = nullptr;
    const LONG created = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE,
                                         nullptr, &key, nullptr);
    if (created != ERROR_SUCCESS) {
        return HRESULT_FROM_WIN32(created);
    }
    HRESULT result = SetString(key, value_name, value);
    if (SUCCEEDED(result) && second_name) {
        result = SetString(key, second_name, second_value);
    }
    RegCloseKey(key);
    return result;
}

// HKCR\CLSID\{clsid} named `name`, served in-process by this DLL from any apartment.
HRESULT RegisterClass(const CLSID& clsid, const wchar_t* name) {
    std::vector<wchar_t> path(kPathCapacity);
    const DWORD length = GetModuleFileNameW(ModuleInstance(), path.data(), kPathCapacity);
    if (length == 0 || length >= kPathCapacity) {
        return E_FAIL;
    }
    const std::wstring key = ClassKeyPath(clsid);
    HRESULT result = WriteKey(key, nullptr, name);
    if (SUCCEEDED(result)) {
        result = WriteKey(key + L"\\InprocServer32", nullptr, path.data(), L"ThreadingModel",
                          kThreadingModel);
    }
    return result;
}

// A key already gone counts as removed.
HRESULT UnregisterClass(const CLSID& clsid) {
    const LONG deleted = RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKeyPath(clsid).c_str());
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND
               ? S_OK
               : HRESULT_FROM_WIN32(deleted);
}

HRESULT CreateMapper(IFilterMapper2** mapper) {
    return CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                            reinterpret_cast<void**>(mapper));
}

// The device moniker's display name ends in the CLSID (no instance name); no pins are listed, as
// the filter has none, and the merit keeps graph building from picking it.
HRESULT RegisterDevice(const CLSID& clsid, const wchar_t* name) {
    const ComScope com;
    IFilterMapper2* mapper = nullptr;
    HRESULT result = CreateMapper(&mapper);
    if (FAILED(result)) {
        return result;
    }
    REGFILTER2 filter{};
    filter.dwVersion = 2;
    filter.dwMerit = MERIT_DO_NOT_USE;
    filter.cPins2 = 0;
    filter.rgPins2 = nullptr;
    result = mapper->RegisterFilter(clsid, name, nullptr, &CLSID_VideoInputDeviceCategory, nullptr,
                                    &filter);
    mapper->Release();
    return result;
}

HRESULT UnregisterDevice(const CLSID& clsid) {
    const ComScope com;
    IFilterMapper2* mapper = nullptr;
    HRESULT result = CreateMapper(&mapper);
    if (FAILED(result)) {
        return result;
    }
    result = mapper->UnregisterFilter(&CLSID_VideoInputDeviceCategory, nullptr, clsid);
    mapper->Release();
    return result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ? S_OK : result;
}

// Registers the class before the device, so that a listed device can always be bound.
HRESULT RegisterCaptureDevice(const CLSID& clsid, const wchar_t* name) {
    HRESULT result = RegisterClass(clsid, name);
    if (SUCCEEDED(result)) {
        result = RegisterDevice(clsid, name);
    }
    if (FAILED(result)) {
        UnregisterDevice(clsid);
        UnregisterClass(clsid);
    }
    return result;
}

HRESULT UnregisterCaptureDevice(const CLSID& clsid) {
    const HRESULT device = UnregisterDevice(clsid);
    const HRESULT server = UnregisterClass(clsid);
    return FAILED(device) ? device : server;
}

}  // namespace

HRESULT RegisterCamera() {
    HRESULT result = RegisterClass(kPageClsid, kPageName);
    if (SUCCEEDED(result)) {
        result = RegisterCaptureDevice(kCameraClsid, kCameraName);
    }
    if (FAILED(result)) {
        UnregisterClass(kPageClsid);
    }
    return result;
}

HRESULT UnregisterCamera() {
    const HRESULT device = UnregisterCaptureDevice(kCameraClsid);
    const HRESULT page = UnregisterClass(kPageClsid);
    return FAILED(device) ? device : page;
}

HRESULT RegisterForeign() {
    return RegisterCaptureDevice(kForeignClsid, kForeignName);
}

HRESULT UnregisterForeign() {
    return UnregisterCaptureDevice(kForeignClsid);
}

}  // namespace testcam
