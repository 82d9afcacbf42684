// The camera nodes the host has seen present, by device instance ID: a node is news the first
// time it is present, whatever comes and goes after; other makers' devices and nodes whose ID
// cannot be read never are.
#include "device/seen_cameras.h"

#include <gtest/gtest.h>

#include <array>

#include "platform/sim/machine.h"
#include "platform/win32.h"

namespace {

TEST(SeenCameras, ANodeIsNewsOnlyTheFirstTimeItIsPresent) {
    sim::Machine machine;
    sim::DeviceTree& devices = machine.devices();
    device::SeenCameras seen;
    EXPECT_FALSE(seen.Look()) << "no camera";
    const int camera = devices.Add(sim::ModelAHardwareIds());
    const int later = devices.Add(sim::ModelBHardwareIds(), false);
    EXPECT_TRUE(seen.Look());
    EXPECT_FALSE(seen.Look());
    devices.Add(sim::MultiString({"USB\\VID_046D&PID_0825"}));  // another maker's
    EXPECT_FALSE(seen.Look());

    // Out of its port and back, or switched off and on: the same node.
    devices.Unplug(camera);
    EXPECT_FALSE(seen.Look());
    devices.Plug(camera);
    devices.Node(camera)->disabled_in_profile = true;
    devices.Node(camera)->started = false;
    EXPECT_FALSE(seen.Look());
    // Installed before but never present, and a camera in another port: nodes not seen before.
    devices.Plug(later);
    EXPECT_TRUE(seen.Look());
    devices.Add(sim::ModelAHardwareIds());
    EXPECT_TRUE(seen.Look());

    // A node whose ID cannot be read is not remembered: it is news once it can be.
    const int unread = devices.Add(sim::ModelAHardwareIds());
    machine.faults().Fail("SetupDiGetDeviceInstanceIdA", 10);
    EXPECT_FALSE(seen.Look());
    machine.faults().Clear("SetupDiGetDeviceInstanceIdA");
    EXPECT_TRUE(seen.Look());
    machine.faults().Fail("SetupDiGetClassDevsA");
    devices.Add(sim::ModelAHardwareIds());
    EXPECT_FALSE(seen.Look());
    EXPECT_TRUE(seen.Look());
    EXPECT_TRUE(devices.Node(unread)->accepted.empty()) << "looking changes nothing";
    EXPECT_TRUE(machine.resources().Outstanding().empty()) << "a call left a handle open";

    // The ID as Windows writes it, upper case, with its terminating zero counted.
    HDEVINFO list = SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA element{};
    element.cbSize = sizeof element;
    ASSERT_TRUE(SetupDiEnumDeviceInfo(list, 0, &element));
    std::array<char, MAX_DEVICE_ID_LEN + 1> id{};
    DWORD required = 0;
    EXPECT_FALSE(SetupDiGetDeviceInstanceIdA(list, &element, id.data(), 10, &required));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    ASSERT_TRUE(SetupDiGetDeviceInstanceIdA(list, &element, id.data(),
                                            static_cast<DWORD>(id.size()), &required));
    EXPECT_STREQ(id.data(), "USB\\VID_F3A7&PID_5D20\\6&2F1E0C3A&0&1");
    EXPECT_EQ(required, 37u);
    SetupDiDestroyDeviceInfoList(list);
}

}  // namespace
