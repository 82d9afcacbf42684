// What the system tells windows: device nodes that come and go (to every top-level window), the
// camera's video interface arriving or going (only to windows registered for its class), sleep
// and wake; and the notification area's balloons and a process's elevation.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/desktop.h"
#include "platform/win32.h"

namespace {

struct Heard {
    HWND hwnd;
    UINT message;
    WPARAM wparam;
    std::string interface_path;  // for an interface event
    bool operator==(const Heard&) const = default;
};

std::vector<Heard>* heard = nullptr;
// Work the test has the program do on its own thread (WM_APP + 1).
std::function<LRESULT()>* on_program_thread = nullptr;
std::vector<DWORD>* deliveries = nullptr;  // InSendMessageEx for each device message

LRESULT CALLBACK ListeningProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_APP + 1 && on_program_thread) {
        return (*on_program_thread)();
    }
    if (message == WM_DEVICECHANGE && deliveries) {
        deliveries->push_back(InSendMessageEx(nullptr));
    }
    if (message == WM_DEVICECHANGE || message == WM_POWERBROADCAST) {
        Heard entry{hwnd, message, wparam, {}};
        if (message == WM_DEVICECHANGE &&
            (wparam == DBT_DEVICEARRIVAL || wparam == DBT_DEVICEREMOVECOMPLETE)) {
            const auto* record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(lparam);
            EXPECT_EQ(record->dbcc_devicetype, static_cast<DWORD>(DBT_DEVTYP_DEVICEINTERFACE));
            EXPECT_TRUE(record->dbcc_classguid == KSCATEGORY_VIDEO);
            EXPECT_EQ(record->dbcc_size, offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name) +
                                             std::strlen(record->dbcc_name) + 1);
            entry.interface_path = record->dbcc_name;
        }
        heard->push_back(entry);
        return TRUE;
    }
    if (message == WM_APP) {  // the test asks the program to let its registration go
        return UnregisterDeviceNotification(reinterpret_cast<HDEVNOTIFY>(wparam));
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

DEV_BROADCAST_DEVICEINTERFACE_A VideoFilter() {
    DEV_BROADCAST_DEVICEINTERFACE_A filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = KSCATEGORY_VIDEO;
    return filter;
}

class SystemEventsTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::Desktop desktop{machine};
    std::vector<Heard> log;
    HWND registered = nullptr;  // registered for the video interface class
    HWND plain = nullptr;
    HDEVNOTIFY registration = nullptr;

    void SetUp() override { heard = &log; }
    void TearDown() override { heard = nullptr; }

    // A program with two top-level windows, the first registered for video interfaces; `also`
    // runs on its thread before its message loop.
    void StartProgram(std::function<void()> also = {}) {
        desktop.Start([this, also] {
            registered = machine.windows().Create(u"Listener", u"Registered", WS_POPUP, 0, nullptr,
                                                  0, RECT{0, 0, 10, 10}, ListeningProc);
            plain = machine.windows().Create(u"Listener", u"Plain", WS_POPUP, 0, nullptr, 0,
                                             RECT{0, 0, 10, 10}, ListeningProc);
            DEV_BROADCAST_DEVICEINTERFACE_A filter = VideoFilter();
            registration =
                RegisterDeviceNotificationA(registered, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
            if (also) {
                also();
            }
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0)) {
                DispatchMessageA(&msg);
            }
        });
        ASSERT_NE(registration, nullptr);
    }

    std::vector<Heard> Take() { return std::exchange(log, {}); }
    Heard NodesChanged(HWND hwnd) const {
        return {hwnd, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, {}};
    }
};

TEST_F(SystemEventsTest, NodesThatComeAndGoAreToldAsWindowsTellThem) {
    const int camera = machine.devices().Add(sim::ModelAHardwareIds());
    StartProgram();
    const std::string path = machine.devices().CameraInterfacePath(camera);
    EXPECT_EQ(path,
              "\\\\?\\USB#VID_F3A7&PID_5D20#6&2f1e0c3a&0&1#"
              "{6994ad05-93ef-11d0-a3cc-00a0c9223196}\\global");

    // The interface goes first, then every top-level window hears that the tree changed.
    ASSERT_TRUE(desktop.UnplugDevice(camera));
    EXPECT_EQ(Take(),
              (std::vector<Heard>{{registered, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, path},
                                  NodesChanged(registered),
                                  NodesChanged(plain)}));
    ASSERT_TRUE(desktop.UnplugDevice(camera));
    EXPECT_TRUE(Take().empty()) << "a node that is out is not unplugged again";

    ASSERT_TRUE(desktop.PlugDevice(camera));
    EXPECT_EQ(Take(), (std::vector<Heard>{NodesChanged(registered),
                                          NodesChanged(plain),
                                          {registered, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, path}}));
    ASSERT_TRUE(desktop.PlugDevice(camera));
    EXPECT_TRUE(Take().empty());

    // A node without a video interface changes the tree only; one installed absent not even that.
    const int other = desktop.AddDevice({"USB\\VID_1234&PID_0001"});
    EXPECT_EQ(Take(), (std::vector<Heard>{NodesChanged(registered), NodesChanged(plain)}));
    desktop.AddDevice(sim::ModelBHardwareIds(), false);
    EXPECT_TRUE(Take().empty());
    ASSERT_TRUE(desktop.RemoveDevice(other));
    EXPECT_EQ(Take(), (std::vector<Heard>{NodesChanged(registered), NodesChanged(plain)}));

    const int second = desktop.AddDevice(sim::ModelBHardwareIds());
    const std::string second_path = machine.devices().CameraInterfacePath(second);
    EXPECT_EQ(Take(),
              (std::vector<Heard>{NodesChanged(registered),
                                  NodesChanged(plain),
                                  {registered, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, second_path}}));
    ASSERT_TRUE(desktop.RemoveDevice(second));
    EXPECT_EQ(Take(), (std::vector<Heard>{
                          {registered, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, second_path},
                          NodesChanged(registered),
                          NodesChanged(plain)}));
    EXPECT_FALSE(desktop.RemoveDevice(second));
    EXPECT_FALSE(desktop.PlugDevice(second));

    // Once unregistered, the window hears only what every window hears.
    EXPECT_EQ(machine.resources().Open(sim::kinds::kDeviceNotification), 1);
    EXPECT_EQ(desktop.Send(registered, WM_APP, reinterpret_cast<WPARAM>(registration), 0), TRUE);
    EXPECT_EQ(machine.resources().Open(sim::kinds::kDeviceNotification), 0);
    desktop.UnplugDevice(camera);
    desktop.PlugDevice(camera);
    EXPECT_EQ(Take(), (std::vector<Heard>{NodesChanged(registered), NodesChanged(plain),
                                          NodesChanged(registered), NodesChanged(plain)}));
}

TEST_F(SystemEventsTest, ConfigFlagSurvivesUnplugAndANewNodeStartsEnabled) {
    const int camera = machine.devices().Add(sim::ModelAHardwareIds());
    StartProgram();
    machine.devices().Node(camera)->disabled_in_profile = true;
    machine.devices().Node(camera)->started = false;

    desktop.UnplugDevice(camera);
    desktop.PlugDevice(camera);
    const auto status = machine.devices().Status(camera);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->second, static_cast<ULONG>(CM_PROB_DISABLED));
    // A disabled camera has no interface: the tree changed, nothing arrived.
    EXPECT_EQ(Take(), (std::vector<Heard>{NodesChanged(registered), NodesChanged(plain),
                                          NodesChanged(registered), NodesChanged(plain)}));

    // The same camera in another port is a node of its own, which starts enabled.
    const int fresh = desktop.AddDevice(sim::ModelAHardwareIds());
    EXPECT_TRUE(machine.devices().Status(fresh)->first & DN_STARTED);
    EXPECT_EQ(Take().size(), 3u);
}

// One property-change request for the node, as a program makes it: the windows it heard of while
// the class installer ran (none: its thread looks for no messages meanwhile).
std::vector<Heard> ChangeOnce(int node, DWORD state_change, DWORD scope) {
    const std::size_t before = heard->size();
    HDEVINFO list = SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA element{};
    element.cbSize = sizeof element;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(list, index, &element); ++index) {
        if (element.DevInst != static_cast<DWORD>(node)) {
            continue;
        }
        SP_PROPCHANGE_PARAMS request{};
        request.ClassInstallHeader = {sizeof(SP_CLASSINSTALL_HEADER), DIF_PROPERTYCHANGE};
        request.StateChange = state_change;
        request.Scope = scope;
        EXPECT_TRUE(SetupDiSetClassInstallParamsA(list, &element, &request.ClassInstallHeader,
                                                  sizeof request));
        EXPECT_TRUE(SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, list, &element));
    }
    SetupDiDestroyDeviceInfoList(list);
    return {heard->begin() + static_cast<std::ptrdiff_t>(before), heard->end()};
}

TEST_F(SystemEventsTest, AProgramsOwnChangeIsToldOnceItsThreadLooksForMessagesAgain) {
    const int camera = machine.devices().Add(sim::ModelAHardwareIds());
    const int absent = machine.devices().Add(sim::ModelAHardwareIds(), false);
    const int other = machine.devices().Add(std::vector<std::string>{"USB\\VID_1234&PID_0001"});
    StartProgram();
    const std::string path = machine.devices().CameraInterfacePath(camera);
    std::vector<DWORD> delivered;
    deliveries = &delivered;
    std::vector<Heard> during;
    std::function<LRESULT()> work;
    on_program_thread = &work;
    auto change = [&](int node, DWORD state_change, DWORD scope) {
        work = [&, node, state_change, scope] {
            during = ChangeOnce(node, state_change, scope);
            return TRUE;
        };
        EXPECT_EQ(desktop.Send(registered, WM_APP + 1, 0, 0), TRUE);
        return Take();
    };

    // Sent by the system, as a broadcast is: the thread takes them as messages from another
    // thread, after the call has returned. A node that stops: its interface goes, then the tree.
    EXPECT_EQ(change(camera, DICS_DISABLE, DICS_FLAG_CONFIGSPECIFIC),
              (std::vector<Heard>{{registered, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, path},
                                  NodesChanged(registered),
                                  NodesChanged(plain)}));
    EXPECT_TRUE(during.empty());
    EXPECT_EQ(delivered, std::vector<DWORD>(3, ISMEX_SEND));
    // A request that changes nothing tells nothing; one that starts the node, the tree and then
    // the arrival.
    EXPECT_TRUE(change(camera, DICS_ENABLE, DICS_FLAG_GLOBAL).empty());
    EXPECT_EQ(change(camera, DICS_ENABLE, DICS_FLAG_CONFIGSPECIFIC),
              (std::vector<Heard>{NodesChanged(registered),
                                  NodesChanged(plain),
                                  {registered, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, path}}));
    EXPECT_TRUE(during.empty());

    // A node that will not stop changes only its flag: the tree changed, no interface went. An
    // absent node's flag changes no tree; a node without a camera's interface changes the tree.
    machine.devices().Node(camera)->refuses_to_stop = true;
    EXPECT_EQ(change(camera, DICS_DISABLE, DICS_FLAG_CONFIGSPECIFIC),
              (std::vector<Heard>{NodesChanged(registered), NodesChanged(plain)}));
    EXPECT_TRUE(change(absent, DICS_DISABLE, DICS_FLAG_CONFIGSPECIFIC).empty());
    EXPECT_EQ(change(other, DICS_DISABLE, DICS_FLAG_CONFIGSPECIFIC),
              (std::vector<Heard>{NodesChanged(registered), NodesChanged(plain)}));
    EXPECT_TRUE(during.empty());

    // Every request carried out is kept in order, changing or not, until cleared.
    const auto& carried_out = machine.devices().CarriedOut();
    ASSERT_EQ(carried_out.size(), 6u);
    EXPECT_EQ(carried_out[1],
              std::make_pair(camera, sim::PropertyChangeRequest{DICS_ENABLE, DICS_FLAG_GLOBAL, 0}));
    EXPECT_EQ(carried_out[4].first, absent);
    machine.devices().ClearCarriedOut();
    EXPECT_TRUE(machine.devices().CarriedOut().empty());
    on_program_thread = nullptr;
    deliveries = nullptr;
}

TEST_F(SystemEventsTest, RegistrationsAreCheckedCountedAndCanFail) {
    std::vector<DWORD> errors;
    int made = 0;
    StartProgram([&] {
        DEV_BROADCAST_DEVICEINTERFACE_A filter = VideoFilter();
        auto attempt = [&](HANDLE recipient, void* with, DWORD flags) {
            HDEVNOTIFY handle = RegisterDeviceNotificationA(recipient, with, flags);
            errors.push_back(handle ? 0 : GetLastError());
            if (handle) {
                ++made;
                UnregisterDeviceNotification(handle);
            }
        };
        attempt(nullptr, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
        attempt(plain, nullptr, DEVICE_NOTIFY_WINDOW_HANDLE);
        DEV_BROADCAST_DEVICEINTERFACE_A short_record = filter;
        short_record.dbcc_size = sizeof(DEV_BROADCAST_HDR);
        attempt(plain, &short_record, DEVICE_NOTIFY_WINDOW_HANDLE);
        attempt(plain, &filter, 1);
        machine.faults().Fail("RegisterDeviceNotificationA");
        attempt(plain, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
        attempt(plain, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
        errors.push_back(
            UnregisterDeviceNotification(reinterpret_cast<HDEVNOTIFY>(0x42)) ? 0 : GetLastError());
    });
    EXPECT_EQ(errors, (std::vector<DWORD>{ERROR_INVALID_WINDOW_HANDLE, ERROR_INVALID_DATA,
                                          ERROR_INVALID_DATA, ERROR_INVALID_FLAGS,
                                          ERROR_NOT_ENOUGH_MEMORY, 0, ERROR_INVALID_HANDLE}));
    EXPECT_EQ(made, 1);
    // The program's own registration is left over until it unregisters: a leak check sees it.
    EXPECT_EQ(machine.resources().Open(sim::kinds::kDeviceNotification), 1);
    EXPECT_EQ(machine.system_events().Registrations().size(), 1u);
}

TEST_F(SystemEventsTest, SleepAndWakeReachEveryTopLevelWindow) {
    StartProgram();
    EXPECT_FALSE(desktop.Resume()) << "the machine is awake";
    EXPECT_TRUE(Take().empty());
    ASSERT_TRUE(desktop.Suspend());
    EXPECT_TRUE(machine.system_events().Asleep());
    EXPECT_FALSE(desktop.Suspend());
    ASSERT_TRUE(desktop.Resume());
    EXPECT_EQ(Take(),
              (std::vector<Heard>{{registered, WM_POWERBROADCAST, PBT_APMSUSPEND, {}},
                                  {plain, WM_POWERBROADCAST, PBT_APMSUSPEND, {}},
                                  {registered, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, {}},
                                  {plain, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, {}}}));
}

TEST_F(SystemEventsTest, BalloonShowsUntilTheIconsNextChange) {
    StartProgram();
    machine.locale().ansi_code_page = 936;
    BOOL results[6] = {};
    desktop.Start([&] {
        NOTIFYICONDATAA data{};
        data.cbSize = NOTIFYICONDATAA_V2_SIZE;
        data.hWnd = plain;
        data.uID = 148;
        data.uFlags = NIF_TIP;
        std::strcpy(data.szTip, "CV Lumen Webcam");
        results[0] = Shell_NotifyIconA(NIM_ADD, &data);
        data.uFlags = NIF_INFO;
        std::strcpy(data.szInfoTitle, "CV Lumen Webcam");
        std::strcpy(data.szInfo, "\xC4\xFA\xBA\xC3");  // "您好" in code page 936
        data.dwInfoFlags = NIIF_INFO;
        results[1] = Shell_NotifyIconA(NIM_MODIFY, &data);
    });
    ASSERT_TRUE(results[0] && results[1]);
    const auto& icon = machine.tray().Icons().at(0);
    ASSERT_TRUE(icon.balloon);
    EXPECT_EQ(*icon.balloon, (sim::TrayBalloon{u"CV Lumen Webcam", u"\u60A8\u597D", NIIF_INFO}));
    EXPECT_EQ(icon.tip, u"CV Lumen Webcam") << "a balloon leaves the tip as it is";
    EXPECT_EQ(machine.tray().BalloonCount(), 1u);

    desktop.Start([&] {
        NOTIFYICONDATAA data{};
        data.cbSize = NOTIFYICONDATAA_V2_SIZE;
        data.hWnd = plain;
        data.uID = 148;
        data.uFlags = NIF_TIP;
        std::strcpy(data.szTip, "CV Lumen Webcam");
        results[2] = Shell_NotifyIconA(NIM_MODIFY, &data);  // the next refresh
        // The first version of the record has no balloon; an empty text shows none.
        data.cbSize = NOTIFYICONDATAA_V1_SIZE;
        data.uFlags = NIF_INFO;
        std::strcpy(data.szInfo, "ignored");
        results[3] = Shell_NotifyIconA(NIM_MODIFY, &data);
        data.cbSize = NOTIFYICONDATAA_V2_SIZE;
        data.szInfo[0] = '\0';
        results[4] = Shell_NotifyIconA(NIM_MODIFY, &data);
    });
    EXPECT_TRUE(results[2] && results[3] && results[4]);
    EXPECT_FALSE(machine.tray().Icons().at(0).balloon);
    EXPECT_EQ(machine.tray().BalloonCount(), 1u);
    ASSERT_EQ(machine.tray().Balloons().size(), 1u);
    EXPECT_EQ(machine.tray().Balloons()[0].id, 148u);
}

TEST_F(SystemEventsTest, TokenTellsWhetherTheProcessIsElevated) {
    StartProgram();
    auto elevation = [&] {
        DWORD elevated = 7;
        DWORD failed_with = 0;
        desktop.Start([&] {
            HANDLE token = nullptr;
            if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
                failed_with = GetLastError();
                return;
            }
            TOKEN_ELEVATION answer{};
            DWORD size = 0;
            EXPECT_FALSE(GetTokenInformation(token, TokenElevation, &answer, 2, &size));
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
            EXPECT_EQ(size, sizeof answer);
            if (GetTokenInformation(token, TokenElevation, &answer, sizeof answer, &size)) {
                elevated = answer.TokenIsElevated;
            }
            EXPECT_EQ(machine.resources().Open(sim::kinds::kTokenHandle), 1);
            EXPECT_TRUE(CloseHandle(token));
            EXPECT_FALSE(GetTokenInformation(token, TokenElevation, &answer, sizeof answer, &size));
        });
        EXPECT_EQ(machine.resources().Open(sim::kinds::kTokenHandle), 0);
        return failed_with ? failed_with + 1000 : elevated;
    };
    EXPECT_EQ(elevation(), 1u);
    machine.rights().administrator = false;
    EXPECT_EQ(elevation(), 0u);
    machine.faults().Fail("OpenProcessToken");
    EXPECT_EQ(elevation(), 1000u + ERROR_ACCESS_DENIED);

    // Another program asks after the process behind a window, as lumisetctl asks after Lumiset.
    DWORD other_elevated = 7;
    std::vector<DWORD> errors;
    desktop.Start([&] {
        DWORD process = 0;
        EXPECT_NE(GetWindowThreadProcessId(plain, &process), 0u);
        EXPECT_NE(process, GetCurrentProcessId());
        HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
        HANDLE token = nullptr;
        TOKEN_ELEVATION answer{};
        DWORD size = 0;
        if (handle && OpenProcessToken(handle, TOKEN_QUERY, &token) &&
            GetTokenInformation(token, TokenElevation, &answer, sizeof answer, &size)) {
            other_elevated = answer.TokenIsElevated;
        }
        EXPECT_EQ(machine.resources().Open(sim::kinds::kProcessHandle), 1);
        EXPECT_TRUE(CloseHandle(token));
        EXPECT_TRUE(CloseHandle(handle));
        auto refused = [&](HANDLE opened) { errors.push_back(opened ? 0 : GetLastError()); };
        refused(OpenProcess(0x1FFFFF, FALSE, process));  // PROCESS_ALL_ACCESS
        refused(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, 0xDEAD));
        errors.push_back(GetWindowThreadProcessId(nullptr, &process) == 0 ? GetLastError() : 0);
    });
    EXPECT_EQ(other_elevated, 0u);
    EXPECT_EQ(errors, (std::vector<DWORD>{ERROR_ACCESS_DENIED, ERROR_INVALID_PARAMETER,
                                          ERROR_INVALID_WINDOW_HANDLE}));
    EXPECT_EQ(machine.resources().Open(sim::kinds::kProcessHandle), 0);
    EXPECT_EQ(machine.resources().Open(sim::kinds::kTokenHandle), 0);
}

}  // namespace
