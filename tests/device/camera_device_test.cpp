#include "device/camera_device.h"

#include <gtest/gtest.h>

#include "platform/sim/machine.h"
#include "platform/win32.h"

namespace {

using Request = sim::PropertyChangeRequest;

const Request kDisable{DICS_DISABLE, DICS_FLAG_CONFIGSPECIFIC, 0};
const Request kGlobalEnable{DICS_ENABLE, DICS_FLAG_GLOBAL, 0};
const Request kProfileEnable{DICS_ENABLE, DICS_FLAG_CONFIGSPECIFIC, 0};

class CameraDeviceTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::DeviceTree& devices = machine.devices();

    void TearDown() override {
        EXPECT_TRUE(machine.resources().Outstanding().empty()) << "a call left a handle open";
    }

    std::vector<Request> Requests(int node) { return devices.Node(node)->carried_out; }

    void ForceStatus(int node, ULONG status, ULONG problem) {
        devices.Node(node)->forced_status = std::make_pair(status, problem);
    }
};

TEST_F(CameraDeviceTest, NoMatchingDevice) {
    const int other = devices.Add(sim::MultiString({"USB\\VID_046D&PID_0825"}));
    EXPECT_FALSE(EnableCamera());
    EXPECT_FALSE(DisableCamera());
    EXPECT_EQ(QueryCameraStatus(), CameraStatusNone);
    EXPECT_TRUE(Requests(other).empty());
}

TEST_F(CameraDeviceTest, NoDeviceListMeansFailure) {
    devices.Add(sim::ModelAHardwareIds());
    machine.faults().Fail("SetupDiGetClassDevsA", 3);
    EXPECT_FALSE(EnableCamera());
    EXPECT_FALSE(DisableCamera());
    EXPECT_EQ(QueryCameraStatus(), CameraStatusNone);
}

TEST_F(CameraDeviceTest, EntriesMatchAfterUpperCasingAndOnlyAtTheStart) {
    const int lower = devices.Add(sim::MultiString({"usb\\vid_f3a7&pid_5d20&rev_0001&mi_00"}));
    const int inside = devices.Add(sim::MultiString({"HID\\USB\\VID_F3A7&PID_5D20"}));
    EXPECT_TRUE(DisableCamera());
    EXPECT_EQ(Requests(lower), std::vector<Request>{kDisable});
    EXPECT_TRUE(Requests(inside).empty());
    EXPECT_EQ(QueryCameraStatus(), CameraStatusDisabled);

    EXPECT_TRUE(EnableCamera());
    EXPECT_EQ(Requests(lower), (std::vector<Request>{kDisable, kGlobalEnable, kProfileEnable}));
    EXPECT_EQ(QueryCameraStatus(), CameraStatusStarted);
}

TEST_F(CameraDeviceTest, EnableSendsBothRequestsOncePerDevice) {
    // Two matching entries: the enable action runs once, then the walk moves on.
    const int camera = devices.Add(sim::ModelAHardwareIds());
    EXPECT_TRUE(EnableCamera());
    EXPECT_EQ(Requests(camera), (std::vector<Request>{kGlobalEnable, kProfileEnable}));
}

TEST_F(CameraDeviceTest, ModelBIsDisabledAndReportedButNeverEnabled) {
    const int b = devices.Add(sim::ModelBHardwareIds());
    EXPECT_FALSE(EnableCamera());
    EXPECT_TRUE(Requests(b).empty());
    EXPECT_EQ(QueryCameraStatus(), CameraStatusStarted);

    EXPECT_TRUE(DisableCamera());
    EXPECT_EQ(Requests(b), std::vector<Request>{kDisable});
    EXPECT_EQ(QueryCameraStatus(), CameraStatusDisabled);
    EXPECT_FALSE(EnableCamera());
    EXPECT_EQ(QueryCameraStatus(), CameraStatusDisabled);
}

TEST_F(CameraDeviceTest, UnpluggedDeviceIsSwitchedButNotReported) {
    const int unplugged = devices.Add(sim::ModelAHardwareIds(), false);
    EXPECT_TRUE(EnableCamera());
    EXPECT_EQ(Requests(unplugged).size(), 2u);
    EXPECT_EQ(QueryCameraStatus(), CameraStatusNone);
    // Its status cannot be read, so the disable does not count as a success.
    EXPECT_FALSE(DisableCamera());
    EXPECT_EQ(Requests(unplugged).back(), kDisable);
}

TEST_F(CameraDeviceTest, DeviceThatKeepsRunningGetsEveryModelAEnabledAgain) {
    const int stuck_b = devices.Add(sim::ModelBHardwareIds());
    devices.Node(stuck_b)->refuses_to_stop = true;
    const int a_before = devices.Add(sim::ModelAHardwareIds());
    const int b_after = devices.Add(sim::ModelBHardwareIds());

    // Alone, the stuck device is not a success.
    devices.Node(a_before)->rejects_requests = true;
    devices.Node(b_after)->rejects_requests = true;
    EXPECT_FALSE(DisableCamera());
    devices.Node(a_before)->rejects_requests = false;
    devices.Node(b_after)->rejects_requests = false;
    devices.Node(stuck_b)->carried_out.clear();

    EXPECT_TRUE(DisableCamera());
    // The stuck model B device keeps its disable request; at that point every model A device got
    // both enable requests, and the walk went on to disable the devices after it.
    EXPECT_EQ(Requests(stuck_b), std::vector<Request>{kDisable});
    EXPECT_EQ(Requests(a_before), (std::vector<Request>{kGlobalEnable, kProfileEnable, kDisable}));
    EXPECT_EQ(Requests(b_after), std::vector<Request>{kDisable});
    EXPECT_EQ(devices.Status(b_after)->second, static_cast<ULONG>(CM_PROB_DISABLED));
}

TEST_F(CameraDeviceTest, RollBackLeavesOffUndoneUnlessALaterDeviceStaysDisabled) {
    // The second camera cannot be stopped: its roll-back enables the first one again, so the
    // cameras both run and "Off" did not happen.
    const int first = devices.Add(sim::ModelAHardwareIds());
    const int stuck = devices.Add(sim::ModelAHardwareIds());
    devices.Node(stuck)->refuses_to_stop = true;
    EXPECT_EQ(DisableCamera(), CameraSwitchResult::CameraInUse);
    EXPECT_EQ(QueryCameraStatus(), CameraStatusStarted);
    EXPECT_FALSE(devices.Node(first)->Disabled());

    // A camera disabled after the roll-back that stays disabled is a success.
    const int later = devices.Add(sim::ModelBHardwareIds());
    EXPECT_TRUE(DisableCamera());
    EXPECT_TRUE(devices.Node(later)->Disabled());

    // The state is read again at the end: a counted device that no longer reads disabled (its
    // last read fails) makes the walk a failure.
    EXPECT_TRUE(EnableCamera());
    devices.Node(later)->disabled_in_profile = false;
    devices.Node(later)->started = true;
    const int calls = machine.faults().Calls("CM_Get_DevNode_Status_Ex");
    EXPECT_TRUE(DisableCamera());
    const int per_walk = machine.faults().Calls("CM_Get_DevNode_Status_Ex") - calls;
    EXPECT_TRUE(EnableCamera());
    devices.Node(later)->disabled_in_profile = false;
    devices.Node(later)->started = true;
    machine.faults().Fail("CM_Get_DevNode_Status_Ex", 1, std::nullopt, per_walk - 1);
    EXPECT_EQ(DisableCamera(), CameraSwitchResult::CameraInUse);
}

TEST_F(CameraDeviceTest, RefusalsAndMissingCamerasSayWhy) {
    EXPECT_EQ(EnableCamera(), CameraSwitchResult::NoCamera);
    EXPECT_EQ(DisableCamera(), CameraSwitchResult::NoCamera);
    const int unplugged = devices.Add(sim::ModelAHardwareIds(), false);
    EXPECT_EQ(DisableCamera(), CameraSwitchResult::NoCamera);
    devices.Remove(unplugged);

    // A user without administrator rights: the class installer refuses every change, and nothing
    // is rolled back or switched.
    const int camera = devices.Add(sim::ModelAHardwareIds());
    machine.rights().administrator = false;
    EXPECT_EQ(DisableCamera(), CameraSwitchResult::NeedsAdministrator);
    EXPECT_EQ(EnableCamera(), CameraSwitchResult::NeedsAdministrator);
    EXPECT_TRUE(Requests(camera).empty());
    EXPECT_EQ(QueryCameraStatus(), CameraStatusStarted);
    machine.rights().administrator = true;
    // Another failure of the installer is not the rights: judged by the state, as before.
    machine.faults().Fail("SetupDiCallClassInstaller", sim::FaultInjector::kAlways,
                          ERROR_INVALID_PARAMETER);
    EXPECT_EQ(DisableCamera(), CameraSwitchResult::CameraInUse);
    EXPECT_TRUE(EnableCamera());
    machine.faults().ClearAll();
    // The install parameters cannot be read: no restart is known of.
    machine.faults().Fail("SetupDiGetDeviceInstallParamsA", sim::FaultInjector::kAlways);
    EXPECT_TRUE(DisableCamera());
    EXPECT_TRUE(EnableCamera());
}

TEST_F(CameraDeviceTest, ChangeThatWaitsForARestartIsNotRolledBack) {
    const int camera = devices.Add(sim::ModelAHardwareIds());
    devices.Node(camera)->change_needs_restart = true;
    const CameraSwitchResult off = DisableCamera();
    EXPECT_EQ(off, CameraSwitchResult::NeedsRestart);
    EXPECT_TRUE(off.Accepted());
    // Still running, yet the disable stands for the restart: no enable request followed it.
    EXPECT_EQ(Requests(camera), std::vector<Request>{kDisable});
    EXPECT_TRUE(devices.Node(camera)->Disabled());

    // Another camera that does stop: still not done until the restart.
    const int other = devices.Add(sim::ModelBHardwareIds());
    EXPECT_EQ(DisableCamera(), CameraSwitchResult::NeedsRestart);
    EXPECT_TRUE(devices.Node(other)->Disabled());
    // On again before the restart: the running camera simply stays on.
    EXPECT_TRUE(EnableCamera());
    EXPECT_FALSE(devices.Node(camera)->restart_pending);
}

TEST_F(CameraDeviceTest, RejectedRequests) {
    const int camera = devices.Add(sim::ModelAHardwareIds());
    // Global enable rejected, profile enable accepted: still a success.
    machine.faults().Fail("SetupDiSetClassInstallParamsA", 1);
    EXPECT_TRUE(EnableCamera());
    EXPECT_EQ(Requests(camera), std::vector<Request>{kProfileEnable});

    devices.Node(camera)->rejects_requests = true;
    EXPECT_FALSE(EnableCamera());
    EXPECT_FALSE(DisableCamera());
    EXPECT_EQ(QueryCameraStatus(), CameraStatusStarted);
}

TEST_F(CameraDeviceTest, StatusOfTheLastMatchingEntryWins) {
    const int first = devices.Add(sim::ModelAHardwareIds());
    const int second = devices.Add(sim::ModelAHardwareIds());
    ForceStatus(second, DN_HAS_PROBLEM, CM_PROB_DISABLED);
    EXPECT_EQ(QueryCameraStatus(), CameraStatusDisabled);
    ForceStatus(first, DN_HAS_PROBLEM, CM_PROB_DISABLED);
    ForceStatus(second, DN_STARTED, 0);
    EXPECT_EQ(QueryCameraStatus(), CameraStatusStarted);

    // The tests overwrite each other in order: disabled, private problem, started.
    ForceStatus(second, DN_HAS_PROBLEM | DN_PRIVATE_PROBLEM, CM_PROB_DISABLED);
    EXPECT_EQ(QueryCameraStatus(), CameraStatusProblem);
    ForceStatus(second, DN_STARTED | DN_PRIVATE_PROBLEM, 0);
    EXPECT_EQ(QueryCameraStatus(), CameraStatusStarted);
    // DN_HAS_PROBLEM with another problem number, or no bit at all: the earlier value stands.
    ForceStatus(first, DN_STARTED, 0);
    ForceStatus(second, DN_HAS_PROBLEM, 10);
    EXPECT_EQ(QueryCameraStatus(), CameraStatusStarted);
    ForceStatus(second, 0, 0);
    EXPECT_EQ(QueryCameraStatus(), CameraStatusStarted);
}

TEST_F(CameraDeviceTest, FailedStatusReadEndsTheQuery) {
    devices.Add(sim::ModelAHardwareIds());
    devices.Add(sim::ModelAHardwareIds());
    machine.faults().Fail("CM_Get_DevNode_Status_Ex", 1);
    EXPECT_EQ(QueryCameraStatus(), CameraStatusQueryFailed);
    EXPECT_EQ(QueryCameraStatus(), CameraStatusStarted);

    // For DisableCamera a failed read counts as neither disabled nor started.
    machine.faults().Fail("CM_Get_DevNode_Status_Ex", 2);
    EXPECT_FALSE(DisableCamera());
}

TEST_F(CameraDeviceTest, HardwareIdListsBeyondTheBufferOrUnterminated) {
    std::vector<std::string> long_list(20, "USB\\VID_F3A7&PID_5D20");
    const int too_long = devices.Add(long_list);
    // Exactly one entry and no closing empty entry: the complete entry still counts.
    const std::string unterminated = "USB\\VID_F3A7&PID_5D20";
    std::vector<BYTE> one_entry(unterminated.begin(), unterminated.end());
    one_entry.push_back(0);
    const int open_ended = devices.Add(one_entry);
    // An entry cut off by the end of the bytes is never tested.
    one_entry.pop_back();
    const int cut = devices.Add(one_entry);
    const int empty = devices.Add(sim::MultiString({}));

    EXPECT_TRUE(EnableCamera());
    EXPECT_TRUE(Requests(too_long).empty());
    EXPECT_EQ(Requests(open_ended).size(), 2u);
    EXPECT_TRUE(Requests(cut).empty());
    EXPECT_TRUE(Requests(empty).empty());
}

}  // namespace
