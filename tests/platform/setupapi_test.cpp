// The simulated device-installation services against the Windows behaviour the program relies
// on: what each call returns and reports.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/sim/machine.h"
#include "platform/win32.h"

namespace {

class SetupApiTest : public ::testing::Test {
protected:
    sim::Machine machine;

    static SP_DEVINFO_DATA Element() {
        SP_DEVINFO_DATA element{};
        element.cbSize = sizeof element;
        return element;
    }

    static BOOL Request(HDEVINFO list, SP_DEVINFO_DATA& element, DWORD state, DWORD scope) {
        SP_PROPCHANGE_PARAMS request{};
        request.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
        request.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
        request.StateChange = state;
        request.Scope = scope;
        if (!SetupDiSetClassInstallParamsA(list, &element, &request.ClassInstallHeader,
                                           sizeof request)) {
            return FALSE;
        }
        return SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, list, &element);
    }

    static std::pair<ULONG, ULONG> Status(const SP_DEVINFO_DATA& element) {
        ULONG status = 0;
        ULONG problem = 0;
        EXPECT_EQ(CM_Get_DevNode_Status_Ex(&status, &problem, element.DevInst, 0, nullptr),
                  static_cast<CONFIGRET>(CR_SUCCESS));
        return {status, problem};
    }
};

TEST_F(SetupApiTest, PresentFlagLeavesOutUnpluggedDevices) {
    machine.devices().Add(sim::ModelAHardwareIds(), true);
    machine.devices().Add(sim::ModelBHardwareIds(), false);
    machine.devices().Add(sim::MultiString({"PCI\\VEN_1234"}), true, "PCI");

    HDEVINFO all = SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES);
    HDEVINFO present =
        SetupDiGetClassDevsA(nullptr, "usb", nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    ASSERT_NE(all, INVALID_HANDLE_VALUE);
    ASSERT_NE(present, INVALID_HANDLE_VALUE);
    EXPECT_EQ(machine.resources().Open(sim::kinds::kDeviceList), 2);

    auto count = [](HDEVINFO list) {
        DWORD index = 0;
        for (SP_DEVINFO_DATA element = Element(); SetupDiEnumDeviceInfo(list, index, &element);) {
            ++index;
        }
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
        return index;
    };
    EXPECT_EQ(count(all), 2u);
    EXPECT_EQ(count(present), 1u);

    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(all));
    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(present));
    EXPECT_FALSE(SetupDiDestroyDeviceInfoList(present));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(machine.resources().Open(sim::kinds::kDeviceList), 0);

    EXPECT_EQ(SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_PRESENT), INVALID_HANDLE_VALUE);
}

TEST_F(SetupApiTest, HardwareIdsLargerThanTheBufferFail) {
    std::vector<std::string> ids(30, std::string("USB\\VID_F3A7&PID_5D20"));
    machine.devices().Add(ids);
    HDEVINFO list = SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA element = Element();
    ASSERT_TRUE(SetupDiEnumDeviceInfo(list, 0, &element));

    BYTE buffer[260];
    std::memset(buffer, 0xCC, sizeof buffer);
    DWORD required = 0;
    EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(list, &element, SPDRP_HARDWAREID, nullptr,
                                                   buffer, sizeof buffer, &required));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(required, sim::MultiString(ids).size());
    EXPECT_EQ(buffer[0], 0xCC);

    SP_DEVINFO_DATA wrong_size = element;
    wrong_size.cbSize = 4;
    EXPECT_FALSE(SetupDiEnumDeviceInfo(list, 0, &wrong_size));
    SetupDiDestroyDeviceInfoList(list);
}

TEST_F(SetupApiTest, DisableThenEnableChangesDevNodeStatus) {
    const int stops = machine.devices().Add(sim::ModelAHardwareIds());
    const int stuck = machine.devices().Add(sim::ModelAHardwareIds());
    machine.devices().Node(stuck)->refuses_to_stop = true;
    HDEVINFO list = SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA first = Element();
    SP_DEVINFO_DATA second = Element();
    ASSERT_TRUE(SetupDiEnumDeviceInfo(list, 0, &first));
    ASSERT_TRUE(SetupDiEnumDeviceInfo(list, 1, &second));

    EXPECT_EQ(Status(first).first & DN_STARTED, static_cast<ULONG>(DN_STARTED));
    EXPECT_TRUE(Request(list, first, DICS_DISABLE, DICS_FLAG_CONFIGSPECIFIC));
    EXPECT_TRUE(Request(list, second, DICS_DISABLE, DICS_FLAG_CONFIGSPECIFIC));
    EXPECT_EQ(Status(first).second, static_cast<ULONG>(CM_PROB_DISABLED));
    EXPECT_TRUE(Status(first).first & DN_HAS_PROBLEM);
    EXPECT_FALSE(Status(first).first & DN_STARTED);
    EXPECT_TRUE(Status(second).first & DN_STARTED);
    EXPECT_FALSE(Status(second).first & DN_HAS_PROBLEM);

    // A global enable does not lift a disable of the current profile.
    EXPECT_TRUE(Request(list, first, DICS_ENABLE, DICS_FLAG_GLOBAL));
    EXPECT_TRUE(Status(first).first & DN_HAS_PROBLEM);
    EXPECT_TRUE(Request(list, first, DICS_ENABLE, DICS_FLAG_CONFIGSPECIFIC));
    EXPECT_TRUE(Status(first).first & DN_STARTED);
    EXPECT_EQ(machine.devices().Node(stops)->carried_out.size(), 3u);
    SetupDiDestroyDeviceInfoList(list);
}

TEST_F(SetupApiTest, RejectedRequestsAndUnpluggedNodes) {
    const int rejecting = machine.devices().Add(sim::ModelAHardwareIds());
    machine.devices().Node(rejecting)->rejects_requests = true;
    const int unplugged = machine.devices().Add(sim::ModelAHardwareIds(), false);
    HDEVINFO list = SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA first = Element();
    SP_DEVINFO_DATA second = Element();
    ASSERT_TRUE(SetupDiEnumDeviceInfo(list, 0, &first));
    ASSERT_TRUE(SetupDiEnumDeviceInfo(list, 1, &second));

    EXPECT_FALSE(Request(list, first, DICS_DISABLE, DICS_FLAG_CONFIGSPECIFIC));
    EXPECT_TRUE(machine.devices().Node(rejecting)->carried_out.empty());
    // Without accepted parameters the class installer has nothing to carry out.
    EXPECT_FALSE(SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, list, &first));

    ULONG status = 7;
    ULONG problem = 7;
    EXPECT_EQ(CM_Get_DevNode_Status_Ex(&status, &problem, second.DevInst, 0, nullptr),
              static_cast<CONFIGRET>(CR_NO_SUCH_DEVINST));
    // An unplugged node still takes requests; they apply when it is plugged in again.
    EXPECT_TRUE(Request(list, second, DICS_DISABLE, DICS_FLAG_CONFIGSPECIFIC));
    machine.devices().Plug(unplugged);
    EXPECT_EQ(Status(second).second, static_cast<ULONG>(CM_PROB_DISABLED));
    SetupDiDestroyDeviceInfoList(list);
}

TEST_F(SetupApiTest, InjectedFaults) {
    machine.devices().Add(sim::ModelAHardwareIds());
    machine.faults().Fail("SetupDiGetClassDevsA");
    EXPECT_EQ(SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES),
              INVALID_HANDLE_VALUE);
    HDEVINFO list = SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA element = Element();
    ASSERT_TRUE(SetupDiEnumDeviceInfo(list, 0, &element));
    machine.faults().Fail("CM_Get_DevNode_Status_Ex");
    ULONG status = 0;
    ULONG problem = 0;
    EXPECT_NE(CM_Get_DevNode_Status_Ex(&status, &problem, element.DevInst, 0, nullptr),
              static_cast<CONFIGRET>(CR_SUCCESS));
    EXPECT_EQ(CM_Get_DevNode_Status_Ex(&status, &problem, element.DevInst, 0, nullptr),
              static_cast<CONFIGRET>(CR_SUCCESS));
    SetupDiDestroyDeviceInfoList(list);
}

TEST_F(SetupApiTest, StandardUserCannotChangeADevice) {
    const int camera = machine.devices().Add(sim::ModelAHardwareIds());
    HDEVINFO list = SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA element = Element();
    ASSERT_TRUE(SetupDiEnumDeviceInfo(list, 0, &element));

    machine.rights().administrator = false;
    EXPECT_FALSE(Request(list, element, DICS_DISABLE, DICS_FLAG_CONFIGSPECIFIC));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(Status(element).first & DN_STARTED);
    EXPECT_FALSE(machine.devices().Node(camera)->Disabled());
    EXPECT_TRUE(machine.devices().Node(camera)->carried_out.empty());

    machine.rights().administrator = true;
    EXPECT_TRUE(Request(list, element, DICS_DISABLE, DICS_FLAG_CONFIGSPECIFIC));
    EXPECT_FALSE(Status(element).first & DN_STARTED);
    SetupDiDestroyDeviceInfoList(list);
}

TEST_F(SetupApiTest, ChangeThatWaitsForARestart) {
    const int camera = machine.devices().Add(sim::ModelAHardwareIds());
    const int plain = machine.devices().Add(sim::ModelBHardwareIds());
    machine.devices().Node(camera)->change_needs_restart = true;
    HDEVINFO list = SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA first = Element();
    SP_DEVINFO_DATA second = Element();
    ASSERT_TRUE(SetupDiEnumDeviceInfo(list, 0, &first));
    ASSERT_TRUE(SetupDiEnumDeviceInfo(list, 1, &second));
    auto flags = [&](SP_DEVINFO_DATA* element) -> DWORD {
        SP_DEVINSTALL_PARAMS_A params{};
        params.cbSize = sizeof params;
        params.Flags = 0xFFFF;
        EXPECT_TRUE(SetupDiGetDeviceInstallParamsA(list, element, &params));
        return params.Flags;
    };
    EXPECT_EQ(flags(&first), 0u);

    // The flag is set, the node goes on running until Windows restarts.
    EXPECT_TRUE(Request(list, first, DICS_DISABLE, DICS_FLAG_CONFIGSPECIFIC));
    EXPECT_EQ(flags(&first) & DI_NEEDRESTART, static_cast<DWORD>(DI_NEEDRESTART));
    EXPECT_EQ(Status(first).first & (DN_STARTED | DN_NEED_RESTART),
              static_cast<ULONG>(DN_STARTED | DN_NEED_RESTART));
    EXPECT_TRUE(machine.devices().Node(camera)->Disabled());
    // Enabling it again leaves nothing to wait for.
    EXPECT_TRUE(Request(list, first, DICS_ENABLE, DICS_FLAG_CONFIGSPECIFIC));
    EXPECT_FALSE(Status(first).first & DN_NEED_RESTART);
    EXPECT_TRUE(Status(first).first & DN_STARTED);

    // A disabled node enabled stays stopped, with the restart as its problem, until it is
    // plugged in again.
    machine.devices().Node(camera)->disabled_in_profile = true;
    machine.devices().Node(camera)->started = false;
    EXPECT_TRUE(Request(list, first, DICS_ENABLE, DICS_FLAG_CONFIGSPECIFIC));
    EXPECT_EQ(Status(first).second, static_cast<ULONG>(CM_PROB_NEED_RESTART));
    EXPECT_FALSE(Status(first).first & DN_STARTED);
    machine.devices().Unplug(camera);
    machine.devices().Plug(camera);
    EXPECT_EQ(Status(first).first & (DN_STARTED | DN_NEED_RESTART), static_cast<ULONG>(DN_STARTED));

    // Other nodes change at once and report nothing waiting; the list's own parameters neither.
    EXPECT_TRUE(Request(list, second, DICS_DISABLE, DICS_FLAG_CONFIGSPECIFIC));
    EXPECT_EQ(flags(&second), 0u);
    EXPECT_EQ(flags(nullptr), 0u);
    EXPECT_FALSE(machine.devices().Node(plain)->restart_pending);

    SP_DEVINSTALL_PARAMS_A wrong_size{};
    wrong_size.cbSize = sizeof(SP_DEVINFO_DATA);
    EXPECT_FALSE(SetupDiGetDeviceInstallParamsA(list, &first, &wrong_size));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
    machine.faults().Fail("SetupDiGetDeviceInstallParamsA");
    SP_DEVINSTALL_PARAMS_A params{};
    params.cbSize = sizeof params;
    EXPECT_FALSE(SetupDiGetDeviceInstallParamsA(list, &first, &params));
    SetupDiDestroyDeviceInfoList(list);
    EXPECT_FALSE(SetupDiGetDeviceInstallParamsA(list, &first, &params));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
