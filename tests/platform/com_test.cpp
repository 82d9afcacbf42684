// The simulated COM and DirectShow pieces answer as Windows does: return codes, enumeration,
// property bags, binding, and one counted reference per AddRef.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/desktop.h"
#include "platform/sim/machine.h"
#include "platform/win32.h"

namespace {

constexpr std::string_view kReference = "COM reference";

class ComTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::VideoDevices& video = machine.video();

    void SetUp() override { CoInitialize(nullptr); }

    void TearDown() override {
        CoUninitialize();
        EXPECT_TRUE(machine.resources().Outstanding().empty()) << "a reference was not released";
    }

    int References() { return machine.resources().Open(kReference); }

    ICreateDevEnum* DeviceEnumerator() {
        void* created = nullptr;
        EXPECT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ICreateDevEnum, &created),
                  S_OK);
        return static_cast<ICreateDevEnum*>(created);
    }

    IEnumMoniker* VideoInputs(HRESULT expected = S_OK) {
        ICreateDevEnum* devices = DeviceEnumerator();
        IEnumMoniker* monikers = nullptr;
        EXPECT_EQ(devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &monikers, 0),
                  expected);
        devices->Release();
        return monikers;
    }

    // The friendly names an enumerator walks through from where it stands.
    std::vector<std::wstring> Names(IEnumMoniker* monikers) {
        std::vector<std::wstring> names;
        IMoniker* moniker = nullptr;
        while (monikers->Next(1, &moniker, nullptr) == S_OK) {
            names.push_back(FriendlyName(moniker));
            moniker->Release();
        }
        return names;
    }

    std::wstring FriendlyName(IMoniker* moniker) {
        void* storage = nullptr;
        EXPECT_EQ(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, &storage), S_OK);
        auto* bag = static_cast<IPropertyBag*>(storage);
        VARIANT name;
        VariantInit(&name);
        EXPECT_EQ(bag->Read(L"FriendlyName", &name, nullptr), S_OK);
        EXPECT_EQ(name.vt, VT_BSTR);
        std::wstring text(name.bstrVal, SysStringLen(name.bstrVal));
        VariantClear(&name);
        bag->Release();
        return text;
    }

    // The first moniker of the video input category.
    IMoniker* FirstMoniker() {
        IEnumMoniker* monikers = VideoInputs();
        IMoniker* moniker = nullptr;
        EXPECT_EQ(monikers->Next(1, &moniker, nullptr), S_OK);
        monikers->Release();
        return moniker;
    }

    IBaseFilter* BindFirst() {
        IMoniker* moniker = FirstMoniker();
        void* filter = nullptr;
        EXPECT_EQ(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, &filter), S_OK);
        moniker->Release();
        return static_cast<IBaseFilter*>(filter);
    }
};

TEST_F(ComTest, CreationChecksClassContextAndAggregation) {
    void* created = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_VideoInputDeviceCategory, nullptr, CLSCTX_INPROC_SERVER,
                               IID_ICreateDevEnum, &created),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(created, nullptr);
    EXPECT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_LOCAL_SERVER,
                               IID_ICreateDevEnum, &created),
              REGDB_E_CLASSNOTREG);
    ICreateDevEnum* outer = DeviceEnumerator();
    EXPECT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, outer, CLSCTX_INPROC_SERVER,
                               IID_ICreateDevEnum, &created),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IBaseFilter, &created),
              E_NOINTERFACE);
    EXPECT_EQ(created, nullptr);
    EXPECT_EQ(References(), 1);
    outer->Release();

    machine.faults().Fail("CoCreateInstance");
    EXPECT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                               IID_ICreateDevEnum, &created),
              E_FAIL);
    EXPECT_EQ(created, nullptr);
}

TEST_F(ComTest, EmptyOrUnknownCategoryIsSFalseWithoutEnumerator) {
    ICreateDevEnum* devices = DeviceEnumerator();
    IEnumMoniker* monikers = reinterpret_cast<IEnumMoniker*>(1);
    EXPECT_EQ(devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &monikers, 0),
              S_FALSE);
    EXPECT_EQ(monikers, nullptr);

    video.Add(u"USB Camera");
    EXPECT_EQ(devices->CreateClassEnumerator(CLSID_SystemDeviceEnum, &monikers, 0), S_FALSE);
    EXPECT_EQ(monikers, nullptr);

    machine.faults().Fail("ICreateDevEnum::CreateClassEnumerator", 1, 0x80070005);
    EXPECT_EQ(devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &monikers, 0),
              static_cast<HRESULT>(0x80070005));
    EXPECT_EQ(monikers, nullptr);
    devices->Release();
}

TEST_F(ComTest, EnumerationKeepsOrderAndEndsWithSFalse) {
    video.Add(u"First");
    video.Add(u"Second");
    video.Add(u"Third");
    IEnumMoniker* monikers = VideoInputs();
    // Devices added later do not show in an enumerator made before.
    video.Add(u"Late");
    EXPECT_EQ(Names(monikers), (std::vector<std::wstring>{L"First", L"Second", L"Third"}));

    IMoniker* batch[4] = {};
    ULONG fetched = 99;
    EXPECT_EQ(monikers->Next(1, batch, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);

    EXPECT_EQ(monikers->Reset(), S_OK);
    EXPECT_EQ(monikers->Skip(1), S_OK);
    IEnumMoniker* clone = nullptr;
    EXPECT_EQ(monikers->Clone(&clone), S_OK);
    EXPECT_EQ(monikers->Next(4, batch, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(References(), 4);  // two enumerators, two monikers
    batch[0]->Release();
    batch[1]->Release();
    EXPECT_EQ(Names(clone), (std::vector<std::wstring>{L"Second", L"Third"}));
    EXPECT_EQ(clone->Skip(5), S_FALSE);
    clone->Release();

    monikers->Reset();
    machine.faults().Fail("IEnumMoniker::Next");
    IMoniker* moniker = nullptr;
    EXPECT_EQ(monikers->Next(1, &moniker, nullptr), E_FAIL);
    EXPECT_EQ(monikers->Next(1, &moniker, nullptr), S_OK);
    moniker->Release();
    EXPECT_EQ(monikers->Release(), 0u);
}

TEST_F(ComTest, ReferencesAreCountedPerAddRefAndRelease) {
    video.Add(u"USB Camera");
    IBaseFilter* filter = BindFirst();
    EXPECT_EQ(References(), 1);
    EXPECT_EQ(filter->AddRef(), 2u);
    EXPECT_EQ(References(), 2);

    void* properties = nullptr;
    void* procamp = nullptr;
    void* unknown_a = nullptr;
    void* unknown_b = nullptr;
    ASSERT_EQ(filter->QueryInterface(IID_IKsPropertySet, &properties), S_OK);
    ASSERT_EQ(filter->QueryInterface(IID_IAMVideoProcAmp, &procamp), S_OK);
    // One object: IUnknown is the same from every interface.
    static_cast<IKsPropertySet*>(properties)->QueryInterface(IID_IUnknown, &unknown_a);
    static_cast<IAMVideoProcAmp*>(procamp)->QueryInterface(IID_IUnknown, &unknown_b);
    EXPECT_EQ(unknown_a, unknown_b);
    EXPECT_EQ(References(), 6);
    static_cast<IUnknown*>(unknown_a)->Release();
    static_cast<IUnknown*>(unknown_b)->Release();
    static_cast<IKsPropertySet*>(properties)->Release();
    static_cast<IAMVideoProcAmp*>(procamp)->Release();
    EXPECT_EQ(filter->Release(), 1u);
    EXPECT_EQ(filter->Release(), 0u);
}

TEST_F(ComTest, PropertyBagGivesTheFriendlyNameAsBstr) {
    video.Add(u"USB \u8996\u8a0a\u88dd\u7f6e");
    IMoniker* moniker = FirstMoniker();
    EXPECT_EQ(FriendlyName(moniker), L"USB \u8996\u8a0a\u88dd\u7f6e");

    void* storage = nullptr;
    EXPECT_EQ(moniker->BindToStorage(nullptr, nullptr, IID_IBaseFilter, &storage), E_NOINTERFACE);
    ASSERT_EQ(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, &storage), S_OK);
    auto* bag = static_cast<IPropertyBag*>(storage);
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    ASSERT_EQ(bag->Read(L"FriendlyName", &value, nullptr), S_OK);
    EXPECT_EQ(machine.resources().Open("BSTR"), 1);
    VariantClear(&value);
    EXPECT_EQ(value.vt, VT_EMPTY);

    EXPECT_LT(bag->Read(L"Description", &value, nullptr), 0);
    value.vt = VT_I4;
    EXPECT_EQ(bag->Read(L"FriendlyName", &value, nullptr), DISP_E_TYPEMISMATCH);
    value.vt = VT_EMPTY;
    machine.faults().Fail("IPropertyBag::Read");
    EXPECT_EQ(bag->Read(L"FriendlyName", &value, nullptr), E_FAIL);
    EXPECT_EQ(value.vt, VT_EMPTY);
    bag->Release();

    machine.faults().Fail("IMoniker::BindToStorage");
    EXPECT_EQ(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, &storage), E_FAIL);
    EXPECT_EQ(storage, nullptr);
    moniker->Release();
}

TEST_F(ComTest, BindingAndTheFilterInterfacesFollowTheDevice) {
    sim::CaptureDevice& device = video.Add(u"USB Camera");
    IMoniker* moniker = FirstMoniker();
    void* filter = reinterpret_cast<void*>(1);

    device.bindable = false;
    EXPECT_LT(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, &filter), 0);
    EXPECT_EQ(filter, nullptr);
    device.bindable = true;
    machine.faults().Fail("IMoniker::BindToObject");
    EXPECT_EQ(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, &filter), E_FAIL);
    ASSERT_EQ(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, &filter), S_OK);
    moniker->Release();
    auto* base = static_cast<IBaseFilter*>(filter);

    void* found = nullptr;
    device.driver.features().ks_property = false;
    device.driver.features().procamp = false;
    EXPECT_EQ(base->QueryInterface(IID_IKsPropertySet, &found), E_NOINTERFACE);
    EXPECT_EQ(base->QueryInterface(IID_IAMVideoProcAmp, &found), E_NOINTERFACE);
    EXPECT_EQ(found, nullptr);
    machine.faults().Fail("IBaseFilter::QueryInterface", 1, 0x80004005);
    EXPECT_EQ(base->QueryInterface(IID_ISpecifyPropertyPages, &found), E_FAIL);
    ASSERT_EQ(base->QueryInterface(IID_ISpecifyPropertyPages, &found), S_OK);

    auto* pages = static_cast<ISpecifyPropertyPages*>(found);
    CAUUID list{};
    ASSERT_EQ(pages->GetPages(&list), S_OK);
    ASSERT_EQ(list.cElems, 2u);
    EXPECT_EQ(list.pElems[0], sim::kVideoProcAmpPropertyPage);
    EXPECT_EQ(machine.resources().Open("COM task memory"), 1);
    CoTaskMemFree(list.pElems);
    pages->Release();
    base->Release();
}

TEST_F(ComTest, CameraIsListedOnlyWhileItsNodeRuns) {
    sim::CaptureDevice& camera = video.PlugInCamera();
    video.Add(u"Other");
    EXPECT_EQ(video.Camera(), &camera);
    IBaseFilter* filter = BindFirst();
    void* found = nullptr;
    ASSERT_EQ(filter->QueryInterface(IID_IAMVideoProcAmp, &found), S_OK);
    auto* procamp = static_cast<IAMVideoProcAmp*>(found);

    sim::DeviceNode* node = machine.devices().Node(camera.node);
    node->disabled_in_profile = true;
    node->started = false;
    IEnumMoniker* monikers = VideoInputs();
    EXPECT_EQ(Names(monikers), std::vector<std::wstring>{L"Other"});
    monikers->Release();
    // The filter the program still holds reaches a device that is gone.
    LONG value = 0;
    LONG flags = 0;
    EXPECT_LT(procamp->Get(KSPROPERTY_VIDEOPROCAMP_POWERLINE_FREQUENCY, &value, &flags), 0);
    EXPECT_TRUE(camera.driver.Log().empty());

    machine.devices().Unplug(camera.node);
    node->disabled_in_profile = false;
    machine.devices().Plug(camera.node);
    EXPECT_EQ(procamp->Get(KSPROPERTY_VIDEOPROCAMP_POWERLINE_FREQUENCY, &value, &flags), S_OK);
    EXPECT_EQ(value, 2);
    procamp->Release();
    filter->Release();

    EXPECT_TRUE(video.Remove(u"Other"));
    machine.devices().Unplug(camera.node);
    VideoInputs(S_FALSE);
}

TEST_F(ComTest, TextConvertsWithTheAnsiCodePage) {
    machine.locale().ansi_code_page = 950;
    char narrow[16] = {};
    EXPECT_EQ(
        WideCharToMultiByte(CP_ACP, 0, L"USB \u8996", -1, narrow, sizeof narrow, nullptr, nullptr),
        7);
    EXPECT_STREQ(narrow, "USB \xB5\xF8");
    // Without -1 no terminator is converted; a size query writes nothing.
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"\u8996\u8a0a", 2, nullptr, 0, nullptr, nullptr), 4);
    char small[3] = {'x', 'x', 'x'};
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"abcd", -1, small, 2, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(small[2], 'x') << "nothing is written past the buffer";

    machine.locale().ansi_code_page = 1252;
    BOOL used_default = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"a\u8996", 2, narrow, sizeof narrow, nullptr,
                                  &used_default),
              2);
    EXPECT_TRUE(used_default);
    WCHAR wide[8] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "caf\xE9", -1, wide, 8), 5);
    EXPECT_EQ(std::wstring(wide), L"caf\u00e9");
}

}  // namespace

namespace {

TEST_F(ComTest, CallsAfterTheApartmentsLastUninitializeAreRecordedOnce) {
    video.PlugInCamera(sim::CameraModel::A);
    // A nested initialisation keeps the apartment: its objects stay usable.
    CoInitialize(nullptr);
    IEnumMoniker* monikers = VideoInputs();
    CoUninitialize();
    monikers->Reset();
    IMoniker* moniker = nullptr;
    ASSERT_EQ(monikers->Next(1, &moniker, nullptr), S_OK);
    void* bound = nullptr;
    ASSERT_EQ(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, &bound), S_OK);
    auto* filter = static_cast<IBaseFilter*>(bound);
    EXPECT_TRUE(machine.apartments().CallsAfterUninitialize().empty());

    // The last CoUninitialize ends it; a new apartment on the same thread does not revive the
    // old one's objects.
    CoUninitialize();
    CoInitialize(nullptr);
    void* controls = nullptr;
    EXPECT_EQ(filter->QueryInterface(IID_IKsPropertySet, &controls), S_OK);
    auto* properties = static_cast<IKsPropertySet*>(controls);
    DWORD support = 0;
    properties->QuerySupported(GUID{}, 0, &support);
    properties->Release();
    filter->Release();
    moniker->Release();
    monikers->Release();
    monikers = nullptr;
    EXPECT_EQ(machine.apartments().CallsAfterUninitialize(),
              (std::vector<std::string>{"IBaseFilter::QueryInterface", "IBaseFilter::AddRef",
                                        "IKsPropertySet::QuerySupported", "IBaseFilter::Release",
                                        "IMoniker::Release", "IEnumMoniker::Release"}))
        << "each distinct call once, in the order first made";

    // Objects of the new apartment, and of another thread's, are fine.
    const size_t recorded = machine.apartments().CallsAfterUninitialize().size();
    DeviceEnumerator()->Release();
    sim::Desktop desktop(machine);
    desktop.Start([this] {
        CoInitialize(nullptr);
        IEnumMoniker* elsewhere = VideoInputs();
        elsewhere->Reset();
        elsewhere->Release();
        CoUninitialize();
    });
    EXPECT_EQ(machine.apartments().CallsAfterUninitialize().size(), recorded);
}

}  // namespace
