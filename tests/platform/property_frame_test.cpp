// OleCreatePropertyFrame on the simulated machine: a modal frame over its owner that holds the
// objects while open, keeps the calling thread's messages flowing, and returns once closed.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/desktop.h"
#include "platform/win32.h"

namespace {

constexpr UINT kOpenInner = WM_APP + 7;
constexpr UINT kQuit = WM_APP + 8;
constexpr UINT kDestroy = WM_APP + 9;

struct Logged {
    UINT message;
    WPARAM wparam;
    bool operator==(const Logged&) const = default;
};

std::vector<Logged>* host_log = nullptr;
std::optional<HRESULT>* inner_result = nullptr;

// A program's main window: quits when destroyed, and on request destroys itself, quits or opens
// a frame of its own.
LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_TIMER || message == WM_ENABLE ||
        (message >= WM_APP && message < kOpenInner)) {
        host_log->push_back(Logged{message, wparam});
    }
    switch (message) {
        case kOpenInner:
            *inner_result =
                OleCreatePropertyFrame(hwnd, 0, 0, L"", 0, nullptr, 0, nullptr, 0, 0, nullptr);
            return 0;
        case kQuit:
            PostQuitMessage(0);
            return 0;
        case kDestroy:
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

// The first capture device's filter, bound through the system device enumerator.
IBaseFilter* BindCamera() {
    void* created = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                               IID_ICreateDevEnum, &created),
              S_OK);
    auto* devices = static_cast<ICreateDevEnum*>(created);
    IEnumMoniker* monikers = nullptr;
    EXPECT_EQ(devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &monikers, 0), S_OK);
    IMoniker* moniker = nullptr;
    EXPECT_EQ(monikers->Next(1, &moniker, nullptr), S_OK);
    void* filter = nullptr;
    EXPECT_EQ(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, &filter), S_OK);
    moniker->Release();
    monikers->Release();
    devices->Release();
    return static_cast<IBaseFilter*>(filter);
}

class PropertyFrameTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::Desktop desktop{machine};
    std::vector<Logged> log;
    HWND host = nullptr;
    std::optional<HRESULT> result;  // set once the call has returned
    std::optional<HRESULT> inner;   // the same for a frame the main window opens

    void SetUp() override {
        host_log = &log;
        inner_result = &inner;
        machine.video().PlugInCamera();
    }
    void TearDown() override {
        host_log = nullptr;
        inner_result = nullptr;
    }

    int References() { return machine.resources().Open("COM reference"); }

    // A program with a hidden main window that shows its camera's pages, as Lumiset does: the
    // filter's page list, owned by `owner` (its main window unless given), at 30,40.
    sim::ProcessId OpenFrame(std::optional<HWND> owner = std::nullopt,
                             const wchar_t* caption = L"") {
        result.reset();
        return desktop.Start([this, owner, caption] {
            CoInitialize(nullptr);
            host = machine.windows().Create(u"TestHost", u"Host", WS_POPUP, 0, nullptr, 0,
                                            RECT{0, 0, 100, 100}, HostProc);
            SetTimer(host, 5, 1000, nullptr);
            IBaseFilter* filter = BindCamera();
            void* specify = nullptr;
            EXPECT_EQ(filter->QueryInterface(IID_ISpecifyPropertyPages, &specify), S_OK);
            CAUUID pages{};
            EXPECT_EQ(static_cast<ISpecifyPropertyPages*>(specify)->GetPages(&pages), S_OK);
            static_cast<ISpecifyPropertyPages*>(specify)->Release();
            IUnknown* objects[] = {filter};
            result = OleCreatePropertyFrame(owner.value_or(host), 30, 40, caption, 1, objects,
                                            pages.cElems, pages.pElems, 0, 0, nullptr);
            CoTaskMemFree(pages.pElems);
            filter->Release();
            CoUninitialize();
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0)) {
                DispatchMessageA(&msg);
            }
        });
    }

    std::optional<sim::WindowView> View(HWND hwnd) const {
        for (const auto& view : desktop.TopLevelWindows()) {
            if (view.hwnd == hwnd) {
                return view;
            }
        }
        return std::nullopt;
    }
};

TEST_F(PropertyFrameTest, ModalOverItsOwnerAndHoldsTheObjectsUntilClosed) {
    const auto process = OpenFrame();
    const HWND frame = desktop.ActiveWindow();
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(result.has_value()) << "the call lasts while the frame is open";
    const auto view = View(frame);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->class_name, u"#32770");
    EXPECT_EQ(view->title, u"Properties");
    EXPECT_TRUE(view->visible);
    EXPECT_TRUE(view->enabled);
    EXPECT_EQ(view->process, process);
    EXPECT_EQ(GetWindow(frame, GW_OWNER), host);
    RECT rect{};
    GetWindowRect(frame, &rect);
    EXPECT_EQ(rect.left, 30);
    EXPECT_EQ(rect.top, 40);
    EXPECT_FALSE(IsWindowEnabled(host));
    EXPECT_EQ(References(), 2) << "the program's reference and the frame's";
    EXPECT_EQ(machine.resources().Open("window"), 2);

    ASSERT_TRUE(desktop.CloseActiveWindow());
    EXPECT_EQ(result, S_OK);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_TRUE(IsWindowEnabled(host));
    EXPECT_EQ(log, (std::vector<Logged>{{WM_ENABLE, FALSE}, {WM_ENABLE, TRUE}}));
    EXPECT_EQ(References(), 0);
    EXPECT_EQ(machine.video().Camera()->open_filters, 0);
    EXPECT_EQ(machine.resources().Open("window"), 1);
    EXPECT_EQ(desktop.ActiveWindow(), nullptr);
}

TEST_F(PropertyFrameTest, NestedLoopKeepsTheThreadsMessagesFlowing) {
    OpenFrame();
    const HWND frame = desktop.ActiveWindow();
    ASSERT_NE(frame, nullptr);
    log.clear();
    desktop.Wait(2000);
    desktop.Post(host, WM_APP + 1, 7, 0);
    EXPECT_EQ(desktop.Send(host, WM_APP + 2, 0, 0), 0) << "sent messages are answered";
    EXPECT_EQ(
        log, (std::vector<Logged>{{WM_TIMER, 5}, {WM_TIMER, 5}, {WM_APP + 1, 7}, {WM_APP + 2, 0}}));
    EXPECT_FALSE(result.has_value());

    // A frame opened from within the first nests; its owner stays disabled until the outer
    // frame closes.
    desktop.Post(host, kOpenInner, 0, 0);
    const HWND inner_frame = desktop.ActiveWindow();
    ASSERT_NE(inner_frame, frame);
    EXPECT_EQ(GetWindow(inner_frame, GW_OWNER), host);
    ASSERT_TRUE(desktop.CloseActiveWindow());
    EXPECT_EQ(inner, S_OK);
    EXPECT_FALSE(result.has_value());
    EXPECT_FALSE(IsWindowEnabled(host));
    EXPECT_EQ(desktop.ActiveWindow(), frame);

    desktop.Post(frame, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(result, S_OK);
    EXPECT_TRUE(IsWindowEnabled(host));
    log.clear();
    desktop.Wait(1000);
    EXPECT_EQ(log, (std::vector<Logged>{{WM_TIMER, 5}})) << "the program's own loop again";
}

TEST_F(PropertyFrameTest, EveryWayOfClosingEndsTheCallAndReleasesAll) {
    struct Way {
        std::string name;
        std::function<void(HWND frame)> close;
        bool ends_program;  // the main window is gone or the quit reached the program's loop
    };
    const std::vector<Way> ways = {
        {"close box", [this](HWND) { EXPECT_TRUE(desktop.CloseActiveWindow()); }, false},
        {"Esc", [this](HWND frame) { desktop.PressKey(frame, VK_ESCAPE); }, false},
        {"Cancel", [this](HWND frame) { desktop.Post(frame, WM_COMMAND, IDCANCEL, 0); }, false},
        {"WM_CLOSE", [this](HWND frame) { desktop.Post(frame, WM_CLOSE, 0, 0); }, false},
        {"owner destroyed", [this](HWND) { desktop.Post(host, kDestroy, 0, 0); }, true},
        {"WM_QUIT", [this](HWND) { desktop.Post(host, kQuit, 0, 0); }, true},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        const auto process = OpenFrame();
        const HWND frame = desktop.ActiveWindow();
        ASSERT_NE(frame, nullptr);
        way.close(frame);
        EXPECT_EQ(result, S_OK);
        EXPECT_FALSE(IsWindow(frame));
        EXPECT_EQ(References(), 0);
        if (!way.ends_program) {
            EXPECT_TRUE(IsWindowEnabled(host));
            EXPECT_TRUE(desktop.Running(process));
            desktop.Post(host, kDestroy, 0, 0);
        }
        // A quit seen by the frame's loop is left for the program's own loop, which ends.
        EXPECT_FALSE(desktop.Running(process));
        EXPECT_EQ(machine.resources().Open("window"), 0);
    }
}

TEST_F(PropertyFrameTest, TitleIsTheSystemsWordAndOnlyAWindowOwnsTheFrame) {
    const std::vector<std::pair<unsigned short, std::u16string>> titles = {
        {1033, u"Properties"},
        {2052, u"\u5C5E\u6027"},
        {1028, u"\u5167\u5BB9"},
        {1031, u"Properties"},
    };
    for (const auto& [language, title] : titles) {
        SCOPED_TRACE(language);
        machine.locale().ui_language = language;
        OpenFrame(nullptr, L"Camera");
        const HWND frame = desktop.ActiveWindow();
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(View(frame)->title, title) << "the caption does not change the title";
        EXPECT_EQ(GetWindow(frame, GW_OWNER), nullptr);
        EXPECT_TRUE(IsWindowEnabled(host));
        desktop.CloseActiveWindow();
        EXPECT_EQ(result, S_OK);
        desktop.Post(host, kDestroy, 0, 0);
    }
    machine.locale().ui_language = 1033;

    OpenFrame(reinterpret_cast<HWND>(0x4242));
    ASSERT_NE(desktop.ActiveWindow(), nullptr);
    EXPECT_EQ(GetWindow(desktop.ActiveWindow(), GW_OWNER), nullptr);
    desktop.CloseActiveWindow();
    EXPECT_EQ(result, S_OK);
    desktop.Post(host, kDestroy, 0, 0);

    // Another program's window as owner: disabled while the frame is open; closing it takes the
    // frame with it.
    const HWND other = desktop.OpenWindow(u"", u"Other");
    OpenFrame(other);
    const HWND frame = desktop.ActiveWindow();
    EXPECT_EQ(GetWindow(frame, GW_OWNER), other);
    EXPECT_FALSE(IsWindowEnabled(other));
    ASSERT_TRUE(desktop.CloseWindow(other));
    EXPECT_EQ(result, S_OK);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(References(), 0);
}

TEST_F(PropertyFrameTest, FaultsAndBadArgumentsFailBeforeAnythingOpens) {
    std::vector<HRESULT> results;
    desktop.Start([&] {
        CoInitialize(nullptr);
        IBaseFilter* filter = BindCamera();
        IUnknown* objects[] = {filter};
        IUnknown* missing[] = {nullptr};
        GUID page{};
        auto open = [&](ULONG count, IUnknown** list, ULONG pages, GUID* ids) {
            results.push_back(
                OleCreatePropertyFrame(nullptr, 0, 0, L"", count, list, pages, ids, 0, 0, nullptr));
        };
        open(1, nullptr, 0, nullptr);
        open(1, missing, 0, nullptr);
        open(1, objects, 1, nullptr);
        machine.faults().Fail("OleCreatePropertyFrame");
        open(1, objects, 1, &page);
        machine.faults().Fail("OleCreatePropertyFrame", 1, 0x80004005);
        open(1, objects, 1, &page);
        filter->Release();
        CoUninitialize();
    });
    EXPECT_EQ(results, (std::vector<HRESULT>{E_POINTER, E_POINTER, E_POINTER, E_OUTOFMEMORY,
                                             static_cast<HRESULT>(0x80004005)}));
    EXPECT_TRUE(desktop.TopLevelWindows().empty());
    EXPECT_TRUE(machine.resources().Outstanding().empty());
    EXPECT_TRUE(sim::FaultInjector::IsKnownOperation("OleCreatePropertyFrame"));
}

}  // namespace
