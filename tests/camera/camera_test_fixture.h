// A machine for the camera tests, and the check that every test leaves nothing held: the
// process-wide filter is released first, then no reference, string or block may remain.
#pragma once

#include <gtest/gtest.h>

#include "camera/capture_filter.h"
#include "platform/sim/machine.h"

class CameraTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::VideoDevices& video = machine.video();

    // The program initialises COM on its thread before any camera call; so does the test.
    void SetUp() override { CoInitialize(nullptr); }

    void TearDown() override {
        ReleaseCaptureFilter();
        CoUninitialize();
        EXPECT_TRUE(machine.resources().Outstanding().empty()) << "something was not released";
    }

    int References() { return machine.resources().Open("COM reference"); }

    // A capture device that answers brightness (image channel 2) with its own id, so that a
    // read through CaptureFilter tells which device is bound.
    sim::CaptureDevice& AddDevice(std::u16string_view name) {
        sim::CaptureDevice& device = video.Add(name);
        device.driver.SetImage(2, device.id);
        return device;
    }
};

// The camera plugged in and its filter bound.
class BoundCameraTest : public CameraTest {
protected:
    sim::CaptureDevice* camera = nullptr;

    void SetUp() override {
        CameraTest::SetUp();
        camera = &video.PlugInCamera();
        ASSERT_EQ(FindCaptureFilter(), 1);
    }
};
