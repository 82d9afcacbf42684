#include "device/device_enable_setting.h"

#include <gtest/gtest.h>

#include "platform/sim/machine.h"

namespace {

using Request = sim::PropertyChangeRequest;

class DeviceEnableSettingTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::Registry& registry = machine.registry();
    int camera = machine.devices().Add(sim::ModelAHardwareIds());

    void TearDown() override {
        // Only DeviceEnableKey may stay open, and only while the setting object is loaded.
        EXPECT_EQ(machine.resources().Open(sim::kinds::kDeviceList), 0);
    }

    std::optional<sim::RegistryValue> Stored() {
        return registry.GetValue(HKEY_LOCAL_MACHINE, kDeviceEnableKeyPath, kDeviceEnableValueName);
    }
    std::optional<DWORD> StoredDword() {
        auto value = Stored();
        return value ? value->AsDword() : std::nullopt;
    }
    void Store(DWORD value) {
        registry.SetDword(HKEY_LOCAL_MACHINE, kDeviceEnableKeyPath, kDeviceEnableValueName, value);
    }
    bool CameraStarted() { return machine.devices().Node(camera)->started; }
    size_t RequestCount() { return machine.devices().Node(camera)->carried_out.size(); }
    int OpenKeys() { return machine.resources().Open(sim::kinds::kRegistryKey); }
};

TEST_F(DeviceEnableSettingTest, FirstStartCreatesKeyAndValueAndKeepsRunning) {
    DeviceEnableSetting setting;
    setting.LoadDeviceEnableSetting();
    EXPECT_EQ(StoredDword(), 1u);
    EXPECT_EQ(RequestCount(), 2u) << "the camera is enabled";
    EXPECT_EQ(OpenKeys(), 1) << "only DeviceEnableKey stays open";
    EXPECT_TRUE(setting.IsDeviceEnableReadable());
    setting.CloseDeviceEnableSetting();
    EXPECT_EQ(OpenKeys(), 0);
    EXPECT_FALSE(setting.IsDeviceEnableReadable());
}

TEST_F(DeviceEnableSettingTest, KeyWithoutValueGetsTheDefault) {
    registry.SetString(HKEY_LOCAL_MACHINE, kDeviceEnableKeyPath, "Other", "x");
    DeviceEnableSetting setting;
    setting.LoadDeviceEnableSetting();
    EXPECT_EQ(StoredDword(), 1u);
    EXPECT_TRUE(setting.IsDeviceEnableReadable());
    EXPECT_EQ(registry.GetValue(HKEY_LOCAL_MACHINE, kDeviceEnableKeyPath, "Other")->AsString(),
              "x");
}

TEST_F(DeviceEnableSettingTest, StoredValueDecidesAndIsNotWrittenBack) {
    Store(0);
    {
        DeviceEnableSetting setting;
        setting.LoadDeviceEnableSetting();
        EXPECT_FALSE(CameraStarted());
        EXPECT_EQ(machine.devices().Node(camera)->carried_out.back(),
                  (Request{DICS_DISABLE, DICS_FLAG_CONFIGSPECIFIC, 0}));
        EXPECT_EQ(StoredDword(), 0u);
    }
    EXPECT_EQ(OpenKeys(), 0) << "the owner closes DeviceEnableKey";

    Store(7);
    DeviceEnableSetting setting;
    setting.LoadDeviceEnableSetting();
    EXPECT_TRUE(CameraStarted());
    EXPECT_EQ(StoredDword(), 7u);
}

TEST_F(DeviceEnableSettingTest, StoredOffSurvivesAReadThatFailsOnce) {
    // The read-only open, or the read through it, fails for a passing reason: the value still
    // reads through the writable handle, so "Off" stays and the camera is switched off.
    for (const char* operation : {"RegQueryValueExA", "RegOpenKeyExA"}) {
        Store(0);
        machine.faults().Fail(operation);
        DeviceEnableSetting setting;
        setting.LoadDeviceEnableSetting();
        EXPECT_EQ(StoredDword(), 0u) << operation;
        EXPECT_FALSE(CameraStarted()) << operation;
        EXPECT_TRUE(setting.IsDeviceEnableReadable()) << operation << ": the key is held read-only";
        setting.CloseDeviceEnableSetting();
        EXPECT_EQ(OpenKeys(), 0) << operation;
    }
}

TEST_F(DeviceEnableSettingTest, EveryStartSwitchesTheDeviceAgain) {
    Store(1);
    for (int start = 1; start <= 2; ++start) {
        DeviceEnableSetting setting;
        setting.LoadDeviceEnableSetting();
        EXPECT_EQ(RequestCount(), 2u * start);
    }
}

TEST_F(DeviceEnableSettingTest, ShortAndOverlongValues) {
    // Two bytes fill the low half of the buffer preset to 1: 0x0000 reads as 0, camera off.
    registry.SetValue(HKEY_LOCAL_MACHINE, kDeviceEnableKeyPath, kDeviceEnableValueName, REG_BINARY,
                      {0x00, 0x00});
    {
        DeviceEnableSetting setting;
        setting.LoadDeviceEnableSetting();
        EXPECT_FALSE(CameraStarted());
    }
    // A string longer than four bytes cannot be read: replaced by REG_DWORD 1, camera on.
    registry.SetString(HKEY_LOCAL_MACHINE, kDeviceEnableKeyPath, kDeviceEnableValueName, "enabled");
    DeviceEnableSetting setting;
    setting.LoadDeviceEnableSetting();
    EXPECT_EQ(Stored()->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(StoredDword(), 1u);
    EXPECT_TRUE(CameraStarted());
}

TEST_F(DeviceEnableSettingTest, ReadabilityFollowsTheValueNotItsContent) {
    Store(1);
    DeviceEnableSetting setting;
    setting.LoadDeviceEnableSetting();
    Store(0);
    EXPECT_TRUE(setting.IsDeviceEnableReadable());
    EXPECT_TRUE(CameraStarted()) << "a change takes effect at the next start only";

    registry.SetString(HKEY_LOCAL_MACHINE, kDeviceEnableKeyPath, kDeviceEnableValueName, "12345");
    EXPECT_FALSE(setting.IsDeviceEnableReadable());
    Store(1);
    EXPECT_TRUE(setting.IsDeviceEnableReadable());
    registry.DeleteValue(HKEY_LOCAL_MACHINE, kDeviceEnableKeyPath, kDeviceEnableValueName);
    EXPECT_FALSE(setting.IsDeviceEnableReadable());
    Store(1);
    registry.DeleteKey(HKEY_LOCAL_MACHINE, kDeviceEnableKeyPath);
    Store(1);
    EXPECT_FALSE(setting.IsDeviceEnableReadable()) << "the handle still names the deleted key";
}

TEST_F(DeviceEnableSettingTest, StoreNeverCreatesTheKey) {
    DeviceEnableSetting setting;
    setting.StoreDeviceEnableSetting(0);
    EXPECT_FALSE(registry.KeyExists(HKEY_LOCAL_MACHINE, kDeviceEnableKeyPath));

    Store(1);
    setting.StoreDeviceEnableSetting(0);
    EXPECT_EQ(StoredDword(), 0u);
    registry.DeleteKey(HKEY_LOCAL_MACHINE, kDeviceEnableKeyPath);
    setting.StoreDeviceEnableSetting(1);
    EXPECT_FALSE(registry.KeyExists(HKEY_LOCAL_MACHINE, kDeviceEnableKeyPath));
    EXPECT_EQ(OpenKeys(), 0);
}

TEST_F(DeviceEnableSettingTest, CreateFailureLeavesSettingOnAndWritesNothing) {
    machine.faults().Fail("RegCreateKeyExA");
    DeviceEnableSetting setting;
    setting.LoadDeviceEnableSetting();
    EXPECT_FALSE(registry.KeyExists(HKEY_LOCAL_MACHINE, kDeviceEnableKeyPath));
    EXPECT_TRUE(CameraStarted());
    EXPECT_EQ(RequestCount(), 2u);
    EXPECT_FALSE(setting.IsDeviceEnableReadable());
    EXPECT_EQ(OpenKeys(), 0);
}

}  // namespace
