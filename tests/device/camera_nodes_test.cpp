// The installed cameras as lumisetctl shows them: every camera node in order with its name and
// state, other devices left out, nothing changed and nothing left open.
#include "device/camera_nodes.h"

#include <gtest/gtest.h>

#include "platform/sim/machine.h"
#include "platform/win32.h"

namespace {

using device::CameraNodeState;
using Kind = CameraNodeState::Kind;

TEST(CameraNodes, EveryCameraWithItsNameAndState) {
    sim::Machine machine;
    sim::DeviceTree& devices = machine.devices();
    EXPECT_TRUE(device::InstalledCameraNodes().empty());

    const int started = devices.Add(sim::ModelAHardwareIds());
    devices.Add(sim::MultiString({"USB\\VID_046D&PID_0825"}));  // another maker's
    const int absent = devices.Add(sim::ModelBHardwareIds(), false);
    const int disabled = devices.Add(sim::ModelAHardwareIds());
    devices.Node(disabled)->disabled_in_profile = true;
    devices.Node(disabled)->started = false;
    const int unnamed = devices.Add(sim::ModelAHardwareIds());
    devices.Node(unnamed)->friendly_name.clear();
    devices.Node(unnamed)->forced_status = std::make_pair(ULONG{DN_HAS_PROBLEM}, ULONG{10});
    const int stopped = devices.Add(sim::ModelAHardwareIds());
    devices.Node(stopped)->forced_status = std::make_pair(ULONG{DN_DRIVER_LOADED}, ULONG{0});

    const auto nodes = device::InstalledCameraNodes();
    ASSERT_EQ(nodes.size(), 5u);
    EXPECT_EQ(nodes[0].name, "CV Lumen Webcam");
    EXPECT_EQ(nodes[0].state.kind, Kind::Started);
    EXPECT_EQ(nodes[1].state.kind, Kind::Absent);
    EXPECT_EQ(nodes[2].state.kind, Kind::Disabled);
    // No friendly name: the first hardware ID names it.
    EXPECT_EQ(nodes[3].name, sim::ModelAHardwareIds().front());
    EXPECT_EQ(nodes[3].state.kind, Kind::Problem);
    EXPECT_EQ(nodes[3].state.problem, 10u);
    EXPECT_EQ(nodes[4].state.kind, Kind::Stopped);
    for (const int node : {started, absent, disabled}) {
        EXPECT_TRUE(devices.Node(node)->accepted.empty()) << "looking changes nothing";
    }

    // A state that cannot be read is unknown; a list that cannot be made lists nothing.
    machine.faults().Fail("CM_Get_DevNode_Status_Ex");
    EXPECT_EQ(device::InstalledCameraNodes().front().state.kind, Kind::Unknown);
    machine.faults().Fail("SetupDiGetClassDevsA");
    EXPECT_TRUE(device::InstalledCameraNodes().empty());
    EXPECT_TRUE(machine.resources().Outstanding().empty()) << "a call left a handle open";
}

}  // namespace
