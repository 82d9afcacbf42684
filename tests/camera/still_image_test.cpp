#include "camera/still_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "camera/face_tracking.h"
#include "camera_test_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class StillImageTest : public BoundCameraTest {
protected:
    // The requests the camera received since the last call.
    Lines TakeLog() {
        Lines log = camera->driver.Log();
        camera->driver.ClearLog();
        return log;
    }

    // Runs a still command on a camera whose SnapMode and SnapSize read as given.
    Lines RunStillCommand(WORD command, std::int32_t mode, std::uint32_t snap_size) {
        camera->driver.SetImage(40, mode);
        camera->driver.SetImage(21, static_cast<std::int32_t>(snap_size));
        camera->driver.ClearLog();
        SetSnapshotSize(command);
        return TakeLog();
    }

    static std::string SnapSizeWrite(std::uint32_t value) {
        return "set image.21 " + std::to_string(static_cast<std::int32_t>(value));
    }
};

const Lines kTrigger = {"set videocontrol.0 4", "set videocontrol.1 4"};

Lines Then(Lines first, const Lines& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

std::uint32_t Field(const std::vector<BYTE>& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

TEST_F(StillImageTest, TriggerSendsTheVideoControlRecordToBothStreams) {
    EXPECT_EQ(TriggerSnapshot(), S_OK);
    const auto& requests = camera->driver.KsRequests();
    ASSERT_EQ(requests.size(), 2u);
    for (std::uint32_t stream = 0; stream < 2; ++stream) {
        const sim::KsRequest& request = requests[stream];
        EXPECT_TRUE(request.set);
        EXPECT_EQ(request.property_set, PROPSETID_VIDCAP_VIDEOCONTROL);
        EXPECT_EQ(request.id, 3u);
        ASSERT_EQ(request.data.size(), 32u);
        EXPECT_EQ(request.instance, request.data);
        EXPECT_EQ(std::vector<BYTE>(request.data.begin(), request.data.begin() + 20),
                  std::vector<BYTE>(20, 0))
            << "the set and id travel as arguments";
        EXPECT_EQ(Field(request.data, 20), 0x202u);
        EXPECT_EQ(Field(request.data, 24), stream);
        EXPECT_EQ(Field(request.data, 28), 4u);
        EXPECT_EQ(camera->driver.VideoControlMode(static_cast<int>(stream)), 4);
    }
    EXPECT_EQ(References(), 1) << "each request releases its IKsPropertySet";
}

TEST_F(StillImageTest, TriggerReportsStreamZeroAndStopsWhereNothingCanBeSent) {
    // The driver's answer for stream 0 is reported; stream 1 is still asked.
    machine.faults().Fail("IKsPropertySet::Set", 1, 0x80070015);
    EXPECT_EQ(TriggerSnapshot(), static_cast<HRESULT>(0x80070015));
    EXPECT_EQ(camera->driver.VideoControlMode(1), 4);

    camera->driver.features().ks_property = false;
    camera->driver.ClearLog();
    EXPECT_EQ(TriggerSnapshot(), E_NOINTERFACE);
    EXPECT_TRUE(camera->driver.Log().empty());

    camera->driver.features().ks_property = true;
    ReleaseCaptureFilter();
    EXPECT_EQ(TriggerSnapshot(), 0);
    SetSnapshotSize(32808);
    ToggleFaceTracking();
    EXPECT_TRUE(camera->driver.Log().empty());
    EXPECT_EQ(References(), 0) << "nothing binds the filter";
}

TEST_F(StillImageTest, SizeCommandsWriteTheHalfOfTheirSnapMode) {
    // SnapMode 1 sets the low half, 2 the high half; the other half stays as read.
    struct Case {
        WORD command;
        std::int32_t mode;
        std::uint32_t before;
        std::optional<std::uint32_t> written;
    };
    const Case cases[] = {
        {32808, 1, 0x00050003, 0x00050001},
        {32808, 2, 0x00040001, 0x00050001},
        {32808, 2, 0x00050001, std::nullopt},
        {32808, 0, 0x00040003, std::nullopt},
        {32807, 1, 0x00050003, 0x00050002},
        {32807, 2, 0x00050003, 0x00060003},
        {32807, 1, 0x00070002, std::nullopt},
        {32806, 1, 0x00050001, 0x00050003},
        {32806, 2, 0x00060001, 0x00050001},
        {32806, 3, 0x00060001, std::nullopt},
        {32806, -1, 0x00060001, std::nullopt},
        // The halves compare as unsigned 16-bit numbers and keep their full width.
        {32808, 1, 0xFFFFFFFF, 0xFFFF0001},
        {32808, 2, 0xFFFFFFFF, 0x0005FFFF},
        {32807, 2, 0x8000FFFF, 0x0006FFFF},
        {32806, 1, 0xFFFF0003, std::nullopt},
        {32818, 1, 0x00050002, 0x00040002},
        {32818, 7, 0xFFFFFFFF, 0x0004FFFF},
        {32818, 2, 0x0004ABCD, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.command) + " in mode " + std::to_string(c.mode) + " from " +
                     std::to_string(c.before));
        Lines expected =
            c.command == 32818 ? Lines{"get image.21"} : Lines{"get image.40", "get image.21"};
        if (c.written) {
            expected.push_back(SnapSizeWrite(*c.written));
        }
        EXPECT_EQ(RunStillCommand(c.command, c.mode, c.before), Then(expected, kTrigger));
        EXPECT_EQ(camera->driver.Image(21),
                  static_cast<std::int32_t>(c.written.value_or(c.before)));
    }
}

TEST_F(StillImageTest, VgaSizeOnlyAtWidth640AndTriggerCommandsTriggerAlone) {
    camera->driver.SetImage(35, 640);
    EXPECT_EQ(RunStillCommand(32809, 2, 0x00050003),
              Then({"get image.35", "set image.21 0"}, kTrigger));
    EXPECT_EQ(camera->driver.Image(21), 0);

    camera->driver.SetImage(35, 320);
    EXPECT_EQ(RunStillCommand(32809, 2, 0x00050003), Then({"get image.35"}, kTrigger));

    for (WORD command : {32810, 32811, 32812, 32813, 32829}) {
        EXPECT_EQ(RunStillCommand(command, 1, 0x00050003), kTrigger) << command;
    }
}

TEST_F(StillImageTest, FaceTrackingTogglesBetweenOffAndTracking) {
    for (const auto& [mode, written] : {std::pair{0, 2}, {1, 2}, {2, 0}, {3, 2}, {-1, 2}}) {
        camera->driver.SetZoom(11, mode);
        camera->driver.ClearLog();
        ToggleFaceTracking();
        EXPECT_EQ(TakeLog(), (Lines{"get zoom.11", "set zoom.11 " + std::to_string(written)}))
            << "zoom mode " << mode;
        EXPECT_EQ(camera->driver.Zoom(11), written);
    }
}

}  // namespace
