#include "camera/capture_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "camera/capture_filter_binding.h"
#include "camera/vendor_properties.h"
#include "camera_test_fixture.h"
#include "device/camera_device.h"

namespace {

class CaptureFilterTest : public CameraTest {
protected:
    int BoundDevice() { return GetImageControl(ImageChannel::Brightness); }

    // Finds with one device of that name present, in that code page.
    int FindWithName(const std::u16string& name, unsigned code_page) {
        machine.locale().ansi_code_page = code_page;
        video.Add(name);
        const int found = FindCaptureFilter();
        EXPECT_EQ(CaptureFilter.Bound(), found == 1);
        ReleaseCaptureFilter();
        video.Remove(name);
        return found;
    }
};

TEST_F(CaptureFilterTest, FirstFourBytesOfTheAnsiNameDecideCaseSensitively) {
    struct Case {
        std::u16string name;
        unsigned code_page;
        int found;
    };
    const Case cases[] = {
        {u"USB Camera", 1252, 1},
        {u"usb camera", 1252, 0},
        {u"USB2.0 Camera", 1252, 0},
        {u"USB", 1252, 0},
        {u"USB ", 1252, 1},
        {u"USB Video Device", 1252, 1},
        {u"CV Lumen Webcam Pro", 1252, 1},
        {u"CV L", 1252, 1},
        {u"CV-Lumen", 1252, 0},
        {u"", 1252, 0},
        {u"Integrated Webcam", 1252, 0},
        {u"USB \u8996\u8a0a\u88dd\u7f6e", 950, 1},
        {u"USB \u8996\u8a0a\u88dd\u7f6e", 1252, 1},
        {u"\u8996\u8a0a USB ", 950, 0},
        // Characters whose low byte is 'U': only a real conversion tells them from "USB ".
        {u"\u0155SB Camera", 1252, 0},
        {u"\u4355SB Camera", 936, 0},
        {u"USB " + std::u16string(5000, u'\u8996'), 950, 1},
        {u"CV L" + std::u16string(300, u'x'), 1252, 1},
        {std::u16string(300, u'x'), 1252, 0},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(FindWithName(cases[i].name, cases[i].code_page), cases[i].found);
    }
}

TEST_F(CaptureFilterTest, FirstDeviceThatMatchesAndBindsWins) {
    AddDevice(u"Integrated Camera");
    sim::CaptureDevice& first = AddDevice(u"USB Camera A");
    sim::CaptureDevice& second = AddDevice(u"USB Camera B");
    sim::CaptureDevice& third = AddDevice(u"CV Lumen Webcam");

    EXPECT_EQ(FindCaptureFilter(), 1);
    EXPECT_EQ(BoundDevice(), first.id);
    EXPECT_EQ(References(), 1);

    first.bindable = false;
    EXPECT_EQ(FindCaptureFilter(), 1);
    EXPECT_EQ(BoundDevice(), second.id);
    EXPECT_EQ(References(), 1) << "the earlier binding is released once";

    // A device whose bag or name cannot be read is skipped (here the first three).
    machine.faults().Fail("IMoniker::BindToStorage", 3);
    EXPECT_EQ(FindCaptureFilter(), 1);
    EXPECT_EQ(BoundDevice(), third.id);
    machine.faults().Fail("IPropertyBag::Read", 3);
    EXPECT_EQ(FindCaptureFilter(), 1);
    EXPECT_EQ(BoundDevice(), third.id);

    second.bindable = false;
    third.bindable = false;
    EXPECT_EQ(FindCaptureFilter(), 0);
    EXPECT_FALSE(CaptureFilter.Bound());
    EXPECT_EQ(References(), 0);
}

TEST_F(CaptureFilterTest, OldBindingStaysWhenTheCategoryCannotBeEnumerated) {
    sim::CaptureDevice& camera = video.PlugInCamera();
    ASSERT_EQ(FindCaptureFilter(), 1);

    machine.faults().Fail("CoCreateInstance");
    EXPECT_EQ(FindCaptureFilter(), 0);
    machine.faults().Fail("ICreateDevEnum::CreateClassEnumerator");
    EXPECT_EQ(FindCaptureFilter(), 0);
    // No video device at all: the category is empty.
    machine.devices().Unplug(camera.node);
    EXPECT_EQ(FindCaptureFilter(), 0);
    EXPECT_TRUE(CaptureFilter.Bound());
    EXPECT_EQ(References(), 1);

    // A search that runs replaces the old binding, with a new one or with nothing.
    sim::CaptureDevice& other = AddDevice(u"USB Camera");
    EXPECT_EQ(FindCaptureFilter(), 1);
    EXPECT_EQ(BoundDevice(), other.id);
    EXPECT_EQ(References(), 1);
    other.friendly_name = u"Integrated Camera";
    EXPECT_EQ(FindCaptureFilter(), 0);
    EXPECT_FALSE(CaptureFilter.Bound());
    EXPECT_EQ(References(), 0);
}

TEST_F(CaptureFilterTest, EveryStepThatFailsLeavesNothingHeld) {
    AddDevice(u"USB Camera");
    struct Case {
        const char* operation;
        bool search_ran;
    };
    const Case cases[] = {
        {"CoCreateInstance", false},   {"ICreateDevEnum::CreateClassEnumerator", false},
        {"IEnumMoniker::Next", true},  {"IMoniker::BindToStorage", true},
        {"IPropertyBag::Read", true},  {"IMoniker::BindToObject", true},
        {"WideCharToMultiByte", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operation);
        ASSERT_EQ(FindCaptureFilter(), 1);
        machine.faults().Fail(c.operation);
        EXPECT_EQ(FindCaptureFilter(), 0);
        EXPECT_EQ(CaptureFilter.Bound(), !c.search_ran);
        EXPECT_EQ(References(), c.search_ran ? 0 : 1);
        EXPECT_EQ(machine.resources().Open("BSTR"), 0);
    }
}

TEST_F(CaptureFilterTest, ReleaseIsHarmlessWhenNothingIsBound) {
    ReleaseCaptureFilter();
    AddDevice(u"USB Camera");
    ASSERT_EQ(FindCaptureFilter(), 1);
    ReleaseCaptureFilter();
    EXPECT_FALSE(CaptureFilter.Bound());
    EXPECT_EQ(References(), 0);
    ReleaseCaptureFilter();
    EXPECT_EQ(References(), 0);
}

TEST_F(CaptureFilterTest, CameraIsNotFoundWhileItsDeviceIsDisabledOrUnplugged) {
    sim::CaptureDevice& camera = video.PlugInCamera(sim::CameraModel::A);
    sim::DeviceNode* node = machine.devices().Node(camera.node);
    node->disabled_in_profile = true;
    node->started = false;
    EXPECT_EQ(FindCaptureFilter(), 0);
    node->disabled_in_profile = false;
    node->started = true;
    EXPECT_EQ(FindCaptureFilter(), 1);
    ReleaseCaptureFilter();
    machine.devices().Unplug(camera.node);
    EXPECT_EQ(FindCaptureFilter(), 0);
    machine.devices().Plug(camera.node);
    EXPECT_EQ(FindCaptureFilter(), 1);
}

// The effect-cycling worker uses the filter while the UI thread binds and releases it. Real
// threads here, without the simulated kernel's turns: the lock alone keeps them apart.
TEST_F(CaptureFilterTest, BindingAndReleaseNeverPullTheFilterFromUnderAnAccessor) {
    sim::CaptureDevice& camera = video.PlugInCamera();
    std::thread worker([] {
        for (int i = 0; i < 20000; ++i) {
            SetCameraControl(ImageChannel::Effect, i % 27);
        }
    });
    for (int i = 0; i < 5000; ++i) {
        FindCaptureFilter();
        ReleaseCaptureFilter();
    }
    worker.join();
    EXPECT_EQ(References(), 0);
    for (const std::string& line : camera.driver.Log()) {
        EXPECT_EQ(line.rfind("set image.33 ", 0), 0u) << line;
    }
}

TEST_F(CaptureFilterTest, BoundFilterKeepsTheCameraFromStopping) {
    sim::CaptureDevice& camera = video.PlugInCamera(sim::CameraModel::A);
    ASSERT_EQ(FindCaptureFilter(), 1);
    EXPECT_FALSE(DisableCamera()) << "a device held open does not stop";
    EXPECT_TRUE(machine.devices().Node(camera.node)->started);
    ReleaseCaptureFilter();
    EXPECT_TRUE(DisableCamera());
    // A stopped camera leaves the category: nothing to bind until it runs again.
    EXPECT_EQ(FindCaptureFilter(), 0);
    EXPECT_TRUE(EnableCamera());
    EXPECT_EQ(FindCaptureFilter(), 1);
}

TEST_F(CaptureFilterTest, CommandBindingReleasesOnlyTheBindingItMade) {
    sim::CaptureDevice& first = AddDevice(u"USB Camera A");
    {
        CaptureFilterBinding binding;
        EXPECT_EQ(BoundDevice(), first.id);
    }
    EXPECT_FALSE(CaptureFilter.Bound()) << "a binding made for the command ends with it";

    // A binding found in place is used and left in place.
    ASSERT_EQ(FindCaptureFilter(), 1);
    { CaptureFilterBinding binding; }
    EXPECT_TRUE(CaptureFilter.Bound());
    ReleaseCaptureFilter();

    // Released and bound anew by somebody else meanwhile, even to the same device: that
    // binding stays.
    {
        CaptureFilterBinding binding;
        ReleaseCaptureFilter();
        ASSERT_EQ(FindCaptureFilter(), 1);
    }
    EXPECT_TRUE(CaptureFilter.Bound());
    ReleaseCaptureFilter();
    {
        CaptureFilterBinding binding;
        ASSERT_EQ(FindCaptureFilter(), 1);  // a search that replaces the binding
    }
    EXPECT_TRUE(CaptureFilter.Bound());
    ReleaseCaptureFilter();

    // No camera to bind: nothing is held, before or after.
    first.bindable = false;
    {
        CaptureFilterBinding binding;
        EXPECT_FALSE(CaptureFilter.Bound());
    }
    EXPECT_EQ(References(), 0);
}

}  // namespace
