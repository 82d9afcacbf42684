#include "camera/power_line_memory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera/video_processing.h"
#include "camera_test_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class PowerLineMemoryTest : public CameraTest {
protected:
    sim::CaptureDevice* camera = nullptr;

    void SetUp() override {
        CameraTest::SetUp();
        camera = &video.PlugInCamera();
        camera->driver.ConfigurePowerLine(PowerLine60Hz);
    }

    std::optional<sim::RegistryValue> Stored() {
        return machine.registry().GetValue(HKEY_CURRENT_USER, kRememberedPowerLineKeyPath,
                                           kRememberedPowerLineValueName);
    }
    void Store(DWORD type, std::vector<BYTE> data) {
        machine.registry().SetValue(HKEY_CURRENT_USER, kRememberedPowerLineKeyPath,
                                    kRememberedPowerLineValueName, type, std::move(data));
    }
    Lines Log() {
        Lines log = camera->driver.Log();
        camera->driver.ClearLog();
        return log;
    }
};

TEST_F(PowerLineMemoryTest, OnlyAValueTheCameraTookIsRemembered) {
    EXPECT_TRUE(SetAndRememberPowerLine(PowerLine50Hz));
    EXPECT_EQ(Log(), (Lines{"procamp range 13", "procamp set 13 1 flags 1", "procamp get 13"}));
    ASSERT_TRUE(Stored());
    EXPECT_EQ(Stored()->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(Stored()->AsDword(), 1u);

    // The range cannot be read, so nothing is written and the camera keeps 50 Hz.
    camera->driver.features().procamp_range = false;
    EXPECT_FALSE(SetAndRememberPowerLine(PowerLine60Hz));
    EXPECT_EQ(Stored()->AsDword(), 1u);
    camera->driver.features().procamp_range = true;
    // Without the control nothing is read back.
    camera->driver.features().procamp = false;
    EXPECT_FALSE(SetAndRememberPowerLine(PowerLine60Hz));
    EXPECT_EQ(Stored()->AsDword(), 1u);
    camera->driver.features().procamp = true;
    // No camera: not even a read-back.
    video.Remove(u"CV Lumen Webcam");
    camera = nullptr;
    EXPECT_FALSE(SetAndRememberPowerLine(PowerLine60Hz));
    EXPECT_EQ(Stored()->AsDword(), 1u);
    EXPECT_FALSE(CaptureFilter.Bound());
}

TEST_F(PowerLineMemoryTest, ApplyOnlyWhatWasChosenAndOnlyWhenItDiffers) {
    // Never chosen: the camera is not even asked.
    ApplyRememberedPowerLine();
    EXPECT_TRUE(Log().empty());
    EXPECT_FALSE(Stored());

    Store(REG_DWORD, {2, 0, 0, 0});
    ApplyRememberedPowerLine();
    EXPECT_EQ(Log(), Lines{"procamp get 13"});
    Store(REG_DWORD, {1, 0, 0, 0});
    ApplyRememberedPowerLine();
    EXPECT_EQ(Log(), (Lines{"procamp get 13", "procamp range 13", "procamp set 13 1 flags 1",
                            "procamp get 13"}));
    EXPECT_EQ(camera->driver.PowerLine(), PowerLine50Hz);

    // Anything but a REG_DWORD 1 or 2 is as good as nothing.
    camera->driver.SetPowerLine(PowerLine60Hz);
    for (const auto& [type, data] : {std::pair<DWORD, std::vector<BYTE>>{REG_DWORD, {3, 0, 0, 0}},
                                     {REG_DWORD, {0, 0, 0, 0}},
                                     {REG_BINARY, {1, 0, 0, 0}},
                                     {REG_DWORD, {1, 0}},
                                     {REG_SZ, {'1', 0}}}) {
        Store(type, data);
        EXPECT_EQ(ReadRememberedPowerLine(), std::nullopt) << type;
        ApplyRememberedPowerLine();
    }
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(camera->driver.PowerLine(), PowerLine60Hz);

    // A camera that reports nothing is left alone.
    Store(REG_DWORD, {1, 0, 0, 0});
    camera->driver.features().procamp = false;
    ApplyRememberedPowerLine();
    EXPECT_EQ(camera->driver.PowerLine(), PowerLine60Hz);
    EXPECT_FALSE(CaptureFilter.Bound());
}

}  // namespace
