#include "camera/video_processing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "camera_test_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class VideoProcessingTest : public CameraTest {
protected:
    sim::CaptureDevice* camera = nullptr;

    void SetUp() override {
        CameraTest::SetUp();
        camera = &video.PlugInCamera();
        camera->driver.ConfigurePowerLine(PowerLine50Hz);
    }

    // Runs a call and reports how far the clock moved.
    template <typename Call>
    DWORD Pause(Call call) {
        const DWORD before = GetTickCount();
        call();
        return GetTickCount() - before;
    }

    void ExpectNothingHeld() {
        EXPECT_FALSE(CaptureFilter.Bound());
        EXPECT_TRUE(machine.resources().Outstanding().empty());
    }
};

TEST_F(VideoProcessingTest, ReadBindsReadsAndReleases) {
    std::int32_t value = -1;
    EXPECT_EQ(GetProcAmpValue(PowerLineFrequencyProperty, value), 1);
    EXPECT_EQ(value, PowerLine50Hz);
    EXPECT_EQ(camera->driver.Log(), Lines{"procamp get 13"});
    ExpectNothingHeld();

    // A failed read leaves the caller's value alone.
    value = -1;
    machine.faults().Fail("IAMVideoProcAmp::Get");
    EXPECT_EQ(GetProcAmpValue(PowerLineFrequencyProperty, value), 0);
    EXPECT_EQ(GetProcAmpValue(12, value), 0);
    EXPECT_EQ(value, -1);
    ExpectNothingHeld();

    camera->driver.features().procamp = false;
    EXPECT_EQ(GetProcAmpValue(PowerLineFrequencyProperty, value), 1);
    EXPECT_EQ(value, -1);
    ExpectNothingHeld();
}

TEST_F(VideoProcessingTest, ReadWithoutCamera) {
    std::int32_t value = -1;
    machine.devices().Unplug(camera->node);
    EXPECT_EQ(GetProcAmpValue(PowerLineFrequencyProperty, value), 0);
    EXPECT_EQ(value, -1);
    video.Remove(camera->friendly_name);
    EXPECT_EQ(GetProcAmpValue(PowerLineFrequencyProperty, value), 0);
    ExpectNothingHeld();
}

TEST_F(VideoProcessingTest, WriteChecksTheRangeWritesWithAutoFlagAndPauses) {
    EXPECT_EQ(
        Pause([] { EXPECT_EQ(SetProcAmpValue(PowerLineFrequencyProperty, PowerLine60Hz), 1); }),
        10u);
    EXPECT_EQ(camera->driver.Log(), (Lines{"procamp range 13", "procamp set 13 2 flags 1"}));
    EXPECT_EQ(camera->driver.PowerLine(), PowerLine60Hz);
    ExpectNothingHeld();

    // The value is not compared with the range: the driver's refusal is not examined either.
    camera->driver.ClearLog();
    EXPECT_EQ(Pause([] { EXPECT_EQ(SetProcAmpValue(PowerLineFrequencyProperty, 7), 1); }), 10u);
    EXPECT_EQ(camera->driver.Log(), (Lines{"procamp range 13", "procamp set 13 7 flags 1"}));
    ExpectNothingHeld();
}

TEST_F(VideoProcessingTest, NoRangeMeansNoWriteAndNoPause) {
    camera->driver.features().procamp_range = false;
    EXPECT_EQ(
        Pause([] { EXPECT_EQ(SetProcAmpValue(PowerLineFrequencyProperty, PowerLine60Hz), 1); }),
        0u);
    EXPECT_EQ(camera->driver.Log(), Lines{"procamp range 13"});
    EXPECT_EQ(camera->driver.PowerLine(), PowerLine50Hz);
    ExpectNothingHeld();
}

TEST_F(VideoProcessingTest, WriteWithoutProcAmpOrWithoutCamera) {
    camera->driver.features().procamp = false;
    EXPECT_EQ(
        Pause([] { EXPECT_EQ(SetProcAmpValue(PowerLineFrequencyProperty, PowerLine60Hz), 1); }),
        10u);
    EXPECT_TRUE(camera->driver.Log().empty());
    ExpectNothingHeld();

    sim::DeviceNode* node = machine.devices().Node(camera->node);
    node->disabled_globally = true;
    node->started = false;
    EXPECT_EQ(
        Pause([] { EXPECT_EQ(SetProcAmpValue(PowerLineFrequencyProperty, PowerLine60Hz), 0); }),
        0u);
    ExpectNothingHeld();
}

TEST_F(VideoProcessingTest, FilterBoundBeforeIsReleasedToo) {
    ASSERT_EQ(FindCaptureFilter(), 1);
    std::int32_t value = 0;
    EXPECT_EQ(GetProcAmpValue(PowerLineFrequencyProperty, value), 1);
    ExpectNothingHeld();
    ASSERT_EQ(FindCaptureFilter(), 1);
    EXPECT_EQ(SetProcAmpValue(PowerLineFrequencyProperty, PowerLine60Hz), 1);
    ExpectNothingHeld();
}

}  // namespace
