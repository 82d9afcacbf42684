// The calls behind keeping the camera as the user set it: a window's registration for the video
// interface class, a device list's installation parameters, and the process token's elevation.
#include <cstring>

#include "tests/platform/calls/calls_test.h"

namespace calls {
namespace {

LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

class SystemEventCalls : public CallsTest {};

TEST_F(SystemEventCalls, AWindowRegistersForVideoInterfacesAndLetsGo) {
    RunProgram([this] {
        const HWND window = CreateTestWindow("Device Events", WS_POPUP, nullptr, 0, PlainProc);
        ASSERT_NE(window, nullptr);
        DEV_BROADCAST_DEVICEINTERFACE_A filter{};
        filter.dbcc_size = sizeof filter;
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = KSCATEGORY_VIDEO;
        HDEVNOTIFY registration =
            RegisterDeviceNotificationA(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
        EXPECT_NE(registration, nullptr);
        EXPECT_TRUE(UnregisterDeviceNotification(registration));
        DestroyWindow(window);
    });
}

TEST_F(SystemEventCalls, InstallParametersOfAListWaitForNoRestart) {
    RunProgram([] {
        HDEVINFO list = SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES);
        ASSERT_NE(list, INVALID_HANDLE_VALUE);
        SP_DEVINSTALL_PARAMS_A params;
        std::memset(&params, 0xCC, sizeof params);
        params.cbSize = sizeof params;
        const BOOL answered = SetupDiGetDeviceInstallParamsA(list, nullptr, &params);
        EXPECT_WINDOWS_ANSWER(answered, TRUE, FALSE,
                              "Wine's SetupDiGetDeviceInstallParamsA wants a device, not a list");
        if (answered) {
            EXPECT_EQ(params.cbSize, sizeof params);
            EXPECT_EQ(params.Flags & (DI_NEEDRESTART | DI_NEEDREBOOT), 0u);
        }
        params.cbSize = sizeof(SP_DEVINFO_DATA);
        SetLastError(0);
        EXPECT_FALSE(SetupDiGetDeviceInstallParamsA(list, nullptr, &params));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
        EXPECT_TRUE(SetupDiDestroyDeviceInfoList(list));
    });
}

TEST_F(SystemEventCalls, TheTokenTellsTheProcessElevation) {
    RunProgram([this] {
        HANDLE token = nullptr;
        ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
        TOKEN_ELEVATION elevation{};
        elevation.TokenIsElevated = 7;
        DWORD size = 0;
        EXPECT_TRUE(
            GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size));
        EXPECT_EQ(size, sizeof elevation);
        EXPECT_LE(elevation.TokenIsElevated, 1u);
        EXPECT_TRUE(CloseHandle(token));

        // The same through the process of a window, as another program asks.
        const HWND window = CreateTestWindow("Elevation", WS_POPUP, nullptr, 0, PlainProc);
        DWORD process = 0;
        EXPECT_EQ(GetWindowThreadProcessId(window, &process), GetCurrentThreadId());
        EXPECT_EQ(process, GetCurrentProcessId());
        HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
        ASSERT_NE(handle, nullptr);
        ASSERT_TRUE(OpenProcessToken(handle, TOKEN_QUERY, &token));
        TOKEN_ELEVATION again{};
        EXPECT_TRUE(GetTokenInformation(token, TokenElevation, &again, sizeof again, &size));
        EXPECT_EQ(again.TokenIsElevated, elevation.TokenIsElevated);
        EXPECT_TRUE(CloseHandle(token));
        EXPECT_TRUE(CloseHandle(handle));
        DestroyWindow(window);
    });
}

}  // namespace
}  // namespace calls
