// lumiset_testcam_check: looks at the test camera (lumiset-testcam.dll) from a program of its
// own, through the system's device enumerator, as Lumiset does: lists the video input category,
// binds a device by name and makes requests on its filter and property page, printing what it
// got, a line each, for run-testcam.sh to compare with what the camera's model answers.
//
// Exit status: 0 done, 1 failed (the last line says why), 2 usage error.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "camera/com_ptr.h"
#include "camera/vendor_properties.h"
#include "platform/win32.h"
#include "tests/wine/testcam/testcam_ids.h"

namespace {

using camera::ComPtr;

enum ExitStatus : int { kDone = 0, kFailed = 1, kUsage = 2 };

constexpr char kUsageText[] =
    "usage: lumiset_testcam_check COMMAND [ARGUMENT]\n"
    "  list             the friendly names in the video input category, one a line\n"
    "  exercise NAME    binds the device NAME and makes one request of every kind on its\n"
    "                   filter and property page, printing each answer\n"
    "  powerline NAME   prints the device's power-line frequency (IAMVideoProcAmp property 13)\n"
    "  hold NAME        the same, then keeps the device bound until standard input ends\n"
    "  frame NAME       opens the device's property pages with OleCreatePropertyFrame, prints\n"
    "                   what the frame shows and closes it\n"
    "  sleep MS         does nothing for MS ms (keeps the wineserver up)\n"
    "Status: 0 done, 1 failed, 2 usage error.\n";

constexpr char kTestcamModule[] = "lumiset-testcam.dll";
constexpr DWORD kFrameDeadlineMs = 10000;
constexpr DWORD kPollIntervalMs = 50;
constexpr int kTextCapacity = 256;

int Usage(const char* problem) {
    std::fprintf(stderr, "lumiset_testcam_check: %s\n%s", problem, kUsageText);
    return kUsage;
}

int Fail(const char* what, HRESULT result) {
    std::printf("failed: %s (0x%08lX)\n", what, static_cast<unsigned long>(result));
    return kFailed;
}

std::string Narrow(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return {};
    }
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(size - 1));
    return narrow;
}

std::wstring Widen(const char* text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (size <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), size);
    wide.resize(static_cast<std::size_t>(size - 1));
    return wide;
}

std::string GuidText(const GUID& guid) {
    wchar_t text[39] = {};
    StringFromGUID2(guid, text, 39);
    return Narrow(text);
}

unsigned long Code(HRESULT result) {
    return static_cast<unsigned long>(result);
}

class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

std::wstring FriendlyName(IMoniker* moniker) {
    ComPtr<IPropertyBag> bag;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.OutVoid()))) {
        return {};
    }
    VARIANT name;
    VariantInit(&name);
    name.vt = VT_BSTR;
    std::wstring text;
    if (SUCCEEDED(bag->Read(L"FriendlyName", &name, nullptr)) && name.vt == VT_BSTR &&
        name.bstrVal) {
        text = name.bstrVal;
    }
    VariantClear(&name);
    return text;
}

// Calls `visit` with each device's moniker and name, in the category's order, until it returns
// false.
template <class Visit>
HRESULT ForEachDevice(Visit visit) {
    ComPtr<ICreateDevEnum> devices;
    HRESULT result = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_ICreateDevEnum, devices.OutVoid());
    if (FAILED(result)) {
        return result;
    }
    ComPtr<IEnumMoniker> monikers;
    result = devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.Out(), 0);
    if (result != S_OK) {
        return SUCCEEDED(result) ? S_OK : result;  // S_FALSE: the category is empty
    }
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.Out(), nullptr) == S_OK) {
        if (!visit(moniker.Get(), FriendlyName(moniker.Get()))) {
            break;
        }
    }
    return S_OK;
}

HRESULT BindDevice(const std::wstring& wanted, ComPtr<IBaseFilter>& filter) {
    HRESULT bound = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    const HRESULT listed = ForEachDevice([&](IMoniker* moniker, const std::wstring& name) {
        if (name != wanted) {
            return true;
        }
        bound = moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.OutVoid());
        return false;
    });
    return FAILED(listed) ? listed : bound;
}

int List() {
    const ComScope com;
    const HRESULT result = ForEachDevice([](IMoniker*, const std::wstring& name) {
        std::printf("%s\n", Narrow(name.c_str()).c_str());
        return true;
    });
    return FAILED(result) ? Fail("enumerating the video input category", result) : kDone;
}

// --- exercise ------------------------------------------------------------------------------

void PrintInterfaces(IBaseFilter* filter) {
    struct Named {
        const IID* iid;
        const char* name;
    };
    const Named interfaces[] = {
        {&IID_IPersist, "IPersist"},
        {&IID_IMediaFilter, "IMediaFilter"},
        {&IID_IBaseFilter, "IBaseFilter"},
        {&IID_IKsPropertySet, "IKsPropertySet"},
        {&IID_IAMVideoProcAmp, "IAMVideoProcAmp"},
        {&IID_ISpecifyPropertyPages, "ISpecifyPropertyPages"},
        {&IID_IAMCameraControl, "IAMCameraControl"},
        {&IID_IPersistPropertyBag, "IPersistPropertyBag"},
    };
    std::string answered = "interfaces:";
    for (const Named& named : interfaces) {
        ComPtr<IUnknown> unknown;
        if (filter->QueryInterface(*named.iid, unknown.OutVoid()) == S_OK) {
            answered += ' ';
            answered += named.name;
        }
    }
    std::printf("%s\n", answered.c_str());
}

void ExerciseFilter(IBaseFilter* filter) {
    CLSID clsid{};
    filter->GetClassID(&clsid);
    std::printf("class %s\n", GuidText(clsid).c_str());
    PrintInterfaces(filter);

    FILTER_STATE state = State_Stopped;
    std::string states = "states:";
    filter->Pause();
    filter->GetState(0, &state);
    states += " paused " + std::to_string(state);
    filter->Run(0);
    filter->GetState(0, &state);
    states += ", running " + std::to_string(state);
    filter->Stop();
    filter->GetState(0, &state);
    states += ", stopped " + std::to_string(state);
    std::printf("%s\n", states.c_str());

    ComPtr<IEnumPins> pins;
    ComPtr<IPin> pin;
    ULONG fetched = 7;
    filter->EnumPins(pins.Out());
    const HRESULT next = pins ? pins->Next(1, pin.Out(), &fetched) : E_POINTER;
    std::printf("EnumPins: Next 0x%lX, fetched %lu\n", Code(next), fetched);
    std::printf("FindPin: 0x%lX\n", Code(filter->FindPin(L"Capture", pin.Out())));

    FILTER_INFO info{};
    const HRESULT queried = filter->QueryFilterInfo(&info);
    std::printf("QueryFilterInfo: 0x%lX, name \"%s\", %s\n", Code(queried),
                Narrow(info.achName).c_str(), info.pGraph ? "a graph" : "no graph");
    if (info.pGraph) {
        info.pGraph->Release();
    }
    LPWSTR vendor = nullptr;
    std::printf("QueryVendorInfo: 0x%lX\n", Code(filter->QueryVendorInfo(&vendor)));
    CoTaskMemFree(vendor);
}

// The record Lumiset sends for the vendor property sets (camera/vendor_properties.h).
VendorPropertyRequest VendorRecord(const GUID& set, ULONG channel, ULONG flags, LONG value) {
    VendorPropertyRequest request{};
    request.Set = set;
    request.Id = channel;
    request.Flags = flags;
    request.Value = value;
    return request;
}

void VendorGet(IKsPropertySet* properties, const GUID& set, const char* set_name, ULONG channel) {
    VendorPropertyRequest request = VendorRecord(set, channel, KSPROPERTY_TYPE_GET, 0);
    DWORD returned = 0;
    const HRESULT result = properties->Get(set, channel, &request, sizeof request, &request,
                                           sizeof request, &returned);
    std::printf("get %s.%lu: 0x%lX, value %ld, %lu bytes\n", set_name, channel, Code(result),
                request.Value, returned);
}

void VendorSet(IKsPropertySet* properties, const GUID& set, const char* set_name, ULONG channel,
               LONG value) {
    VendorPropertyRequest request = VendorRecord(set, channel, KSPROPERTY_TYPE_SET, value);
    const HRESULT result =
        properties->Set(set, channel, &request, sizeof request, &request, sizeof request);
    std::printf("set %s.%lu %ld: 0x%lX\n", set_name, channel, value, Code(result));
}

// The external-trigger request Lumiset sends for a snapshot (camera/still_image.cpp).
void VideoControlSet(IKsPropertySet* properties, ULONG stream) {
    KSPROPERTY_VIDEOCONTROL_MODE_S request{};
    request.Property.Flags = KSPROPERTY_TYPE_SET | KSPROPERTY_TYPE_BASICSUPPORT;
    request.StreamIndex = stream;
    request.Mode = KS_VideoControlFlag_ExternalTriggerEnable;
    const HRESULT result =
        properties->Set(PROPSETID_VIDCAP_VIDEOCONTROL, KSPROPERTY_VIDEOCONTROL_MODE, &request,
                        sizeof request, &request, sizeof request);
    std::printf("set videocontrol.%lu %ld: 0x%lX\n", stream, request.Mode, Code(result));
}

void ExerciseProperties(IKsPropertySet* properties) {
    DWORD support = 0;
    HRESULT result = properties->QuerySupported(ImagePropertySet, 2, &support);
    std::printf("QuerySupported image.2: 0x%lX, support %lu\n", Code(result), support);
    result = properties->QuerySupported(ImagePropertySet, 41, &support);
    std::printf("QuerySupported image.41: 0x%lX\n", Code(result));
    result = properties->QuerySupported(PROPSETID_VIDCAP_VIDEOCONTROL, KSPROPERTY_VIDEOCONTROL_MODE,
                                        &support);
    std::printf("QuerySupported videocontrol mode: 0x%lX, support %lu\n", Code(result), support);

    VendorGet(properties, ImagePropertySet, "image", 2);
    VendorSet(properties, ImagePropertySet, "image", 2, 70);
    VendorGet(properties, ImagePropertySet, "image", 2);
    VendorGet(properties, ImagePropertySet, "image", 35);
    VendorGet(properties, ZoomPropertySet, "zoom", 8);
    VendorSet(properties, ZoomPropertySet, "zoom", 8, 4);
    VendorSet(properties, ZoomPropertySet, "zoom", 5, 100);
    VendorGet(properties, ZoomPropertySet, "zoom", 10);
    VideoControlSet(properties, 0);
    VideoControlSet(properties, 1);

    // A property set the camera does not have.
    VendorPropertyRequest request = VendorRecord(IID_IUnknown, 2, KSPROPERTY_TYPE_GET, 0);
    DWORD returned = 0;
    result = properties->Get(IID_IUnknown, 2, &request, sizeof request, &request, sizeof request,
                             &returned);
    std::printf("get of an unknown set: 0x%lX\n", Code(result));
}

void ExerciseProcAmp(IAMVideoProcAmp* procamp) {
    const LONG property = KSPROPERTY_VIDEOPROCAMP_POWERLINE_FREQUENCY;
    LONG min = 0;
    LONG max = 0;
    LONG step = 0;
    LONG default_value = 0;
    LONG caps = 0;
    HRESULT result = procamp->GetRange(property, &min, &max, &step, &default_value, &caps);
    std::printf("procamp range 13: 0x%lX, %ld..%ld step %ld default %ld caps %ld\n", Code(result),
                min, max, step, default_value, caps);
    LONG value = 0;
    LONG flags = 0;
    result = procamp->Get(property, &value, &flags);
    std::printf("procamp get 13: 0x%lX, value %ld flags %ld\n", Code(result), value, flags);
    result = procamp->Set(property, 1, VideoProcAmp_Flags_Auto);
    std::printf("procamp set 13 1 flags 1: 0x%lX\n", Code(result));
    result = procamp->Get(property, &value, &flags);
    std::printf("procamp get 13: 0x%lX, value %ld flags %ld\n", Code(result), value, flags);
    result = procamp->Set(property, 3, VideoProcAmp_Flags_Auto);
    std::printf("procamp set 13 3 flags 1: 0x%lX\n", Code(result));
}

std::string ControlText(HWND dialog, int id) {
    wchar_t text[kTextCapacity] = {};
    GetDlgItemTextW(dialog, id, text, kTextCapacity);
    return Narrow(text);
}

// The page on its own, in a hidden window of ours, as a property frame would host it.
void ExercisePage(IBaseFilter* filter, const CLSID& page_clsid) {
    ComPtr<IPropertyPage> page;
    HRESULT result = CoCreateInstance(page_clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                      page.OutVoid());
    if (FAILED(result)) {
        std::printf("page: CoCreateInstance 0x%lX\n", Code(result));
        return;
    }
    PROPPAGEINFO info{};
    result = page->GetPageInfo(&info);
    std::printf("page info: 0x%lX, title \"%s\", %s\n", Code(result),
                info.pszTitle ? Narrow(info.pszTitle).c_str() : "",
                info.size.cx > 0 && info.size.cy > 0 ? "has a size" : "no size");
    CoTaskMemFree(info.pszTitle);
    CoTaskMemFree(info.pszDocString);
    CoTaskMemFree(info.pszHelpFile);

    IUnknown* objects[] = {filter};
    std::printf("page SetObjects: 0x%lX\n", Code(page->SetObjects(1, objects)));
    const HWND host = CreateWindowExW(0, L"STATIC", L"page host", WS_POPUP, 0, 0, 400, 300, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
    const RECT area{0, 0, 400, 300};
    std::printf("page Activate: 0x%lX\n", Code(page->Activate(host, &area, TRUE)));
    std::printf("page Show: 0x%lX\n", Code(page->Show(SW_SHOW)));
    const HWND shown = FindWindowExW(host, nullptr, nullptr, nullptr);
    if (shown) {
        std::printf("page shows: brightness \"%s\", effect \"%s\", power line \"%s\"\n",
                    ControlText(shown, IDC_TESTCAM_BRIGHTNESS).c_str(),
                    ControlText(shown, IDC_TESTCAM_EFFECT).c_str(),
                    ControlText(shown, IDC_TESTCAM_POWERLINE).c_str());
    } else {
        std::printf("page shows no window\n");
    }
    std::printf("page IsPageDirty: 0x%lX\n", Code(page->IsPageDirty()));
    std::printf("page Apply: 0x%lX\n", Code(page->Apply()));
    std::printf("page Help: 0x%lX\n", Code(page->Help(nullptr)));
    std::printf("page Deactivate: 0x%lX\n", Code(page->Deactivate()));
    std::printf("page window after Deactivate: %s\n",
                FindWindowExW(host, nullptr, nullptr, nullptr) ? "still there" : "gone");
    std::printf("page SetObjects(0): 0x%lX\n", Code(page->SetObjects(0, nullptr)));
    DestroyWindow(host);
    std::printf("page released: %lu references left\n", page.Detach()->Release());
}

// With every object released, the camera's DLL must let COM unload it: a count left over is a
// leak of the DLL's own.
void PrintUnloadAnswer() {
    const HMODULE module = GetModuleHandleA(kTestcamModule);
    const FARPROC entry = module ? GetProcAddress(module, "DllCanUnloadNow") : nullptr;
    if (!entry) {
        std::printf("DllCanUnloadNow: not found\n");
        return;
    }
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    const auto can_unload = reinterpret_cast<CanUnloadNow>(reinterpret_cast<void (*)()>(entry));
    std::printf("DllCanUnloadNow: 0x%lX\n", Code(can_unload()));
}

int Exercise(const std::wstring& name) {
    const ComScope com;
    ComPtr<IBaseFilter> filter;
    if (const HRESULT bound = BindDevice(name, filter); FAILED(bound)) {
        return Fail("binding the device", bound);
    }
    ExerciseFilter(filter.Get());

    ComPtr<IKsPropertySet> properties;
    if (filter->QueryInterface(IID_IKsPropertySet, properties.OutVoid()) == S_OK) {
        ExerciseProperties(properties.Get());
    }
    properties.Reset();
    ComPtr<IAMVideoProcAmp> procamp;
    if (filter->QueryInterface(IID_IAMVideoProcAmp, procamp.OutVoid()) == S_OK) {
        ExerciseProcAmp(procamp.Get());
    }
    procamp.Reset();

    ComPtr<ISpecifyPropertyPages> page_source;
    if (filter->QueryInterface(IID_ISpecifyPropertyPages, page_source.OutVoid()) == S_OK) {
        CAUUID pages{0, nullptr};
        const HRESULT result = page_source->GetPages(&pages);
        std::printf("GetPages: 0x%lX, %lu page(s)\n", Code(result), pages.cElems);
        for (ULONG i = 0; i < pages.cElems; ++i) {
            std::printf("page %s\n", GuidText(pages.pElems[i]).c_str());
        }
        if (pages.cElems > 0) {
            ExercisePage(filter.Get(), pages.pElems[0]);
        }
        CoTaskMemFree(pages.pElems);
    }
    page_source.Reset();
    std::printf("filter released: %lu references left\n", filter.Detach()->Release());
    PrintUnloadAnswer();
    return kDone;
}

// Reads standard input to its end (or to an error), whatever it holds.
void WaitForEndOfInput() {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    char buffer[256];
    DWORD read = 0;
    while (ReadFile(input, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    }
}

int PowerLine(const std::wstring& name, bool hold) {
    const ComScope com;
    ComPtr<IBaseFilter> filter;
    if (const HRESULT bound = BindDevice(name, filter); FAILED(bound)) {
        return Fail("binding the device", bound);
    }
    ComPtr<IAMVideoProcAmp> procamp;
    if (const HRESULT queried = filter->QueryInterface(IID_IAMVideoProcAmp, procamp.OutVoid());
        FAILED(queried)) {
        return Fail("querying IAMVideoProcAmp", queried);
    }
    LONG value = 0;
    LONG flags = 0;
    const HRESULT result =
        procamp->Get(KSPROPERTY_VIDEOPROCAMP_POWERLINE_FREQUENCY, &value, &flags);
    std::printf("procamp get 13: 0x%lX, value %ld\n", Code(result), value);
    std::fflush(stdout);
    if (hold) {
        WaitForEndOfInput();
    }
    return SUCCEEDED(result) ? kDone : kFailed;
}

// --- frame ---------------------------------------------------------------------------------

struct FrameRun {
    std::wstring device;
    HRESULT bound = E_PENDING;
    HRESULT shown = E_PENDING;
    ULONG pages = 0;
};

// The frame runs its own modal loop: it gets a thread of its own, which binds the device there
// and asks for the frame as Lumiset does (no owner, caption "").
DWORD WINAPI ShowFrame(void* parameter) {
    auto* run = static_cast<FrameRun*>(parameter);
    const ComScope com;
    ComPtr<IBaseFilter> filter;
    run->bound = BindDevice(run->device, filter);
    if (FAILED(run->bound)) {
        return 0;
    }
    ComPtr<ISpecifyPropertyPages> page_source;
    CAUUID pages{0, nullptr};
    if (filter->QueryInterface(IID_ISpecifyPropertyPages, page_source.OutVoid()) == S_OK) {
        page_source->GetPages(&pages);
    }
    run->pages = pages.cElems;
    IUnknown* objects[] = {filter.Get()};
    run->shown = OleCreatePropertyFrame(nullptr, 30, 30, L"", 1, objects, pages.cElems,
                                        pages.pElems, 0, 0, nullptr);
    CoTaskMemFree(pages.pElems);
    return 0;
}

BOOL CALLBACK TakeVisibleWindow(HWND window, LPARAM found) {
    if (IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

struct PageSearch {
    HWND page = nullptr;
    HWND tab = nullptr;
};

BOOL CALLBACK FindPageParts(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<PageSearch*>(parameter);
    if (!search->page && GetDlgItem(window, IDC_TESTCAM_BRIGHTNESS)) {
        search->page = window;
    }
    wchar_t class_name[64] = {};
    GetClassNameW(window, class_name, 64);
    if (!search->tab && lstrcmpiW(class_name, WC_TABCONTROLW) == 0) {
        search->tab = window;
    }
    return TRUE;
}

std::string TabText(HWND tab) {
    if (!tab || TabCtrl_GetItemCount(tab) < 1) {
        return "(no tab)";
    }
    wchar_t text[kTextCapacity] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = kTextCapacity;
    SendMessageW(tab, TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return Narrow(text);
}

int Frame(const std::wstring& name) {
    FrameRun run;
    run.device = name;
    DWORD thread_id = 0;
    const HANDLE thread = CreateThread(nullptr, 0, ShowFrame, &run, 0, &thread_id);
    if (!thread) {
        return Fail("starting the frame's thread", HRESULT_FROM_WIN32(GetLastError()));
    }
    const ULONGLONG deadline = GetTickCount64() + kFrameDeadlineMs;
    HWND frame = nullptr;
    PageSearch parts;
    // Waits for the frame and for its page to be filled in.
    while (GetTickCount64() < deadline && WaitForSingleObject(thread, 0) == WAIT_TIMEOUT) {
        frame = nullptr;
        EnumThreadWindows(thread_id, TakeVisibleWindow, reinterpret_cast<LPARAM>(&frame));
        if (frame) {
            parts = PageSearch{};
            EnumChildWindows(frame, FindPageParts, reinterpret_cast<LPARAM>(&parts));
            if (parts.page && !ControlText(parts.page, IDC_TESTCAM_BRIGHTNESS).empty()) {
                break;
            }
        }
        Sleep(kPollIntervalMs);
    }
    if (WaitForSingleObject(thread, 0) == WAIT_OBJECT_0) {
        CloseHandle(thread);
        std::printf("no frame: bind 0x%lX, %lu page(s), OleCreatePropertyFrame 0x%lX\n",
                    Code(run.bound), run.pages, Code(run.shown));
        return kFailed;
    }
    if (!frame) {
        std::printf("no frame within %lu ms\n", kFrameDeadlineMs);
        return kFailed;  // the thread is stuck in the frame; ending the process ends it
    }
    wchar_t title[kTextCapacity] = {};
    GetWindowTextW(frame, title, kTextCapacity);
    std::printf("frame title \"%s\"\n", Narrow(title).c_str());
    std::printf("tab \"%s\"\n", TabText(parts.tab).c_str());
    if (parts.page) {
        std::printf("page %s: brightness \"%s\", effect \"%s\", power line \"%s\"\n",
                    IsWindowVisible(parts.page) ? "visible" : "hidden",
                    ControlText(parts.page, IDC_TESTCAM_BRIGHTNESS).c_str(),
                    ControlText(parts.page, IDC_TESTCAM_EFFECT).c_str(),
                    ControlText(parts.page, IDC_TESTCAM_POWERLINE).c_str());
    } else {
        std::printf("no page in the frame\n");
    }
    // Cancel, as a person closing the frame would.
    PostMessageW(frame, WM_COMMAND, IDCANCEL, 0);
    const DWORD remaining =
        static_cast<DWORD>(deadline > GetTickCount64() ? deadline - GetTickCount64() : 0) +
        kFrameDeadlineMs;
    if (WaitForSingleObject(thread, remaining) != WAIT_OBJECT_0) {
        std::printf("the frame is still open after Cancel\n");
        return kFailed;
    }
    CloseHandle(thread);
    std::printf("frame closed: OleCreatePropertyFrame 0x%lX, %lu page(s)\n", Code(run.shown),
                run.pages);
    return parts.page ? kDone : kFailed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage("no command");
    }
    const std::string command = argv[1];
    if (command == "list" && argc == 2) {
        return List();
    }
    if (argc != 3) {
        return Usage("wrong number of arguments");
    }
    if (command == "sleep") {
        char* end = nullptr;
        const unsigned long ms = std::strtoul(argv[2], &end, 10);
        if (*end != '\0' || ms >= INFINITE) {
            return Usage("sleep takes a number of milliseconds");
        }
        Sleep(ms);
        return kDone;
    }
    const std::wstring name = Widen(argv[2]);
    if (command == "exercise") {
        return Exercise(name);
    }
    if (command == "powerline" || command == "hold") {
        return PowerLine(name, command == "hold");
    }
    if (command == "frame") {
        return Frame(name);
    }
    return Usage("unknown command");
}
