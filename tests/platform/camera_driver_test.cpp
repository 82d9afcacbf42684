// The simulated camera driver: what it does with the requests it receives, and how it logs and
// describes them.
#include "platform/sim/camera/camera_driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

struct Record {
    BYTE bytes[40] = {};

    Record(const GUID& set, std::int32_t value = 0) {
        std::memcpy(bytes, &set, sizeof set);
        std::memcpy(bytes + 24, &value, sizeof value);
    }
    std::int32_t Value() const {
        std::int32_t value = 0;
        std::memcpy(&value, bytes + 24, sizeof value);
        return value;
    }
};

class CameraDriverTest : public ::testing::Test {
protected:
    sim::CameraDriver driver;

    std::int32_t Get(const GUID& set, DWORD id) {
        Record record(set);
        DWORD returned = 0;
        EXPECT_EQ(driver.KsGet(set, id, record.bytes, 40, record.bytes, 40, &returned), S_OK);
        return record.Value();
    }
    void Set(const GUID& set, DWORD id, std::int32_t value) {
        Record record(set, value);
        EXPECT_EQ(driver.KsSet(set, id, record.bytes, 40, record.bytes, 40), S_OK);
    }
    std::int32_t GetImage(DWORD id) { return Get(sim::kImagePropertySetGuid, id); }
    void SetImage(DWORD id, std::int32_t value) { Set(sim::kImagePropertySetGuid, id, value); }
    std::int32_t GetZoom(DWORD id) { return Get(sim::kZoomPropertySetGuid, id); }
    void SetZoom(DWORD id, std::int32_t value) { Set(sim::kZoomPropertySetGuid, id, value); }
};

TEST_F(CameraDriverTest, LogsEveryRequestInTheConsoleForm) {
    GetImage(2);
    SetImage(33, 5);
    GetZoom(13);
    SetZoom(8, -3);
    LONG value = 0;
    LONG flags = 0;
    driver.ProcAmpGet(13, &value, &flags);
    LONG range[5] = {};
    driver.ProcAmpGetRange(13, &range[0], &range[1], &range[2], &range[3], &range[4]);
    driver.ProcAmpSet(13, 1, 1);
    // Rejected requests are received all the same.
    Record record(sim::kImagePropertySetGuid);
    EXPECT_EQ(
        driver.KsGet(sim::kImagePropertySetGuid, 41, record.bytes, 40, record.bytes, 40, nullptr),
        E_PROP_ID_UNSUPPORTED);
    EXPECT_EQ(driver.ProcAmpSet(13, 3, 2), E_INVALIDARG);

    EXPECT_EQ(driver.Log(), (Lines{"get image.2", "set image.33 5", "get zoom.13", "set zoom.8 -3",
                                   "procamp get 13", "procamp range 13", "procamp set 13 1 flags 1",
                                   "get image.41", "procamp set 13 3 flags 2"}));
    EXPECT_EQ(driver.KsRequests().size(), 5u);
    driver.ClearLog();
    EXPECT_TRUE(driver.Log().empty());
}

TEST_F(CameraDriverTest, DescribesPowerLineThenEveryChannel) {
    driver.SetPowerLine(1);
    driver.SetImage(2, 100);
    const Lines lines = driver.Describe();
    ASSERT_EQ(lines.size(), 1u + 41u + 14u);
    EXPECT_EQ(lines[0], "powerline 1");
    EXPECT_EQ(lines[1], "image.0 0");
    EXPECT_EQ(lines[3], "image.2 100");
    EXPECT_EQ(lines[41], "image.40 1");
    EXPECT_EQ(lines[42], "zoom.0 0");
    EXPECT_EQ(lines[55], "zoom.13 0");
    EXPECT_TRUE(driver.Log().empty()) << "the test's own settings are not requests";
}

TEST_F(CameraDriverTest, DefaultsAreResetSavedAndRestored) {
    const std::int32_t factory_brightness = GetImage(2);
    SetImage(2, 120);
    SetImage(26, 1);  // save
    SetImage(2, 7);
    SetImage(27, 0);  // only 1 acts
    EXPECT_EQ(GetImage(2), 7);
    SetImage(27, 1);  // restore
    EXPECT_EQ(GetImage(2), 120);
    SetImage(25, 1);  // factory reset
    EXPECT_EQ(GetImage(2), factory_brightness);
    // The stream's state is no setting: writes and resets leave it alone.
    driver.SetImage(40, 2);
    SetImage(40, 1);
    SetImage(25, 1);
    EXPECT_EQ(GetImage(40), 2);
    EXPECT_EQ(GetImage(35), 640);
    EXPECT_EQ(GetImage(25), 0);
}

TEST_F(CameraDriverTest, PanMovesTheViewAndItsPositionCode) {
    EXPECT_EQ(GetZoom(10), 15) << "unzoomed, the view touches every side";
    SetZoom(8, 1);
    EXPECT_EQ(GetZoom(10), 12) << "the first level crops only the width";
    SetZoom(5, 1);
    EXPECT_EQ(GetZoom(10), 12);
    SetZoom(5, 1000);
    EXPECT_EQ(GetZoom(10), 13);

    SetZoom(8, 40);
    EXPECT_EQ(GetZoom(10), 0);
    for (int i = 0; i < 4; ++i) {
        SetZoom(7, 40);  // down
        SetZoom(5, 40);  // right
    }
    EXPECT_EQ(GetZoom(10), 5);
    SetZoom(1, 40);
    EXPECT_EQ(GetZoom(10), 4);
    SetZoom(1, 2147483647);  // no overflow: the view stops at the edge
    EXPECT_EQ(GetZoom(10), 6);

    SetZoom(8, 99);
    EXPECT_EQ(GetZoom(8), 64);
    EXPECT_EQ(GetZoom(10), 32) << "the view reaches further at full zoom";
    SetZoom(1, 2147483647);
    SetZoom(7, 2147483647);
    EXPECT_EQ(GetZoom(10), 32 + 6);
    SetZoom(10, 0);  // read only
    EXPECT_EQ(GetZoom(10), 32 + 6);
    SetZoom(11, 2);
    EXPECT_EQ(GetZoom(11), 2);
    SetZoom(8, 0);
    EXPECT_EQ(GetZoom(10), 15);
}

TEST_F(CameraDriverTest, PowerLineRangeAndVideoControlModes) {
    driver.ConfigurePowerLine(1);
    LONG min = -1;
    LONG max = -1;
    LONG step = -1;
    LONG def = -1;
    LONG caps = -1;
    ASSERT_EQ(driver.ProcAmpGetRange(13, &min, &max, &step, &def, &caps), S_OK);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 2);
    EXPECT_EQ(def, 1);
    driver.features().procamp_range = false;
    EXPECT_LT(driver.ProcAmpGetRange(13, &min, &max, &step, &def, &caps), 0);
    EXPECT_EQ(driver.ProcAmpSet(13, 2, 1), S_OK);
    EXPECT_EQ(driver.PowerLine(), 2);
    LONG value = 0;
    LONG flags = 0;
    EXPECT_EQ(driver.ProcAmpGet(12, &value, &flags), E_PROP_ID_UNSUPPORTED);

    for (ULONG stream : {0u, 1u, 2u}) {
        KSPROPERTY_VIDEOCONTROL_MODE_S mode{};
        mode.Property.Flags = KSPROPERTY_TYPE_SET | KSPROPERTY_TYPE_BASICSUPPORT;
        mode.StreamIndex = stream;
        mode.Mode = KS_VideoControlFlag_ExternalTriggerEnable;
        EXPECT_EQ(driver.KsSet(PROPSETID_VIDCAP_VIDEOCONTROL, KSPROPERTY_VIDEOCONTROL_MODE, &mode,
                               sizeof mode, &mode, sizeof mode),
                  stream < 2 ? S_OK : E_INVALIDARG);
    }
    EXPECT_EQ(driver.VideoControlMode(0), 4);
    EXPECT_EQ(driver.VideoControlMode(1), 4);
    EXPECT_EQ(driver.Log().back(), "set videocontrol.2 4");
}

}  // namespace
