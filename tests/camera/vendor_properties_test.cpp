#include "camera/vendor_properties.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <numeric>
#include <vector>

#include "camera_test_fixture.h"

namespace {

class VendorPropertiesTest : public BoundCameraTest {
protected:
    const sim::KsRequest& Last() { return camera->driver.KsRequests().back(); }
    std::size_t RequestCount() { return camera->driver.KsRequests().size(); }
};

std::uint32_t Field(const std::vector<BYTE>& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

void ExpectRecord(const sim::KsRequest& request, bool set, const GUID& property_set, DWORD id,
                  std::int32_t value) {
    EXPECT_EQ(request.set, set);
    EXPECT_EQ(request.property_set, property_set);
    EXPECT_EQ(request.id, id);
    ASSERT_EQ(request.data.size(), 40u);
    EXPECT_EQ(request.instance, request.data) << "one record is both instance and data";
    EXPECT_EQ(std::memcmp(request.data.data(), &property_set, 16), 0);
    EXPECT_EQ(Field(request.data, 16), id);
    EXPECT_EQ(Field(request.data, 20), set ? 2u : 1u);
    EXPECT_EQ(static_cast<std::int32_t>(Field(request.data, 24)), value);
    EXPECT_TRUE(
        std::all_of(request.data.begin() + 28, request.data.end(), [](BYTE b) { return b == 0; }));
}

TEST_F(VendorPropertiesTest, RecordsCarrySetIdFlagsAndValue) {
    EXPECT_EQ(SetCameraControl(ImageChannel::Effect, 0x11223344), 1);
    ExpectRecord(Last(), true, ImagePropertySet, 33, 0x11223344);
    EXPECT_EQ(camera->driver.Image(33), 0x11223344);

    camera->driver.SetZoom(8, 40);
    EXPECT_EQ(GetZoomControl(ZoomChannel::ZoomLevel), 40);
    ExpectRecord(Last(), false, ZoomPropertySet, 8, 0);

    EXPECT_EQ(SetZoomControl(ZoomChannel::ZoomMode, -1), 1);
    ExpectRecord(Last(), true, ZoomPropertySet, 11, -1);
    EXPECT_EQ(References(), 1) << "each call releases its IKsPropertySet";
}

TEST_F(VendorPropertiesTest, EachAccessorSendsOnlyItsOwnChannels) {
    struct Accessor {
        const char* name;
        std::function<void(std::int32_t)> call;
        const GUID& set;
        std::vector<std::int32_t> channels;
    };
    const std::vector<std::int32_t> camera_write{3,  4,  6,  7,  12, 13, 14, 15, 21, 25,
                                                 26, 27, 28, 32, 33, 34, 35, 36, 38};
    std::vector<std::int32_t> camera_read = camera_write;
    camera_read.push_back(40);
    std::vector<std::int32_t> zoom_write(13);
    std::iota(zoom_write.begin(), zoom_write.end(), 0);
    std::vector<std::int32_t> zoom_read = zoom_write;
    zoom_read.push_back(13);
    const std::vector<std::int32_t> image{0, 1, 2, 5, 9, 10, 12, 17, 18, 20, 21, 24, 30};
    const Accessor accessors[] = {
        {"GetImageControl", [](std::int32_t c) { GetImageControl(c); }, ImagePropertySet, image},
        {"SetImageControl", [](std::int32_t c) { SetImageControl(c, 0); }, ImagePropertySet, image},
        {"GetCameraControl", [](std::int32_t c) { GetCameraControl(c); }, ImagePropertySet,
         camera_read},
        {"SetCameraControl", [](std::int32_t c) { SetCameraControl(c, 0); }, ImagePropertySet,
         camera_write},
        {"GetZoomControl", [](std::int32_t c) { GetZoomControl(c); }, ZoomPropertySet, zoom_read},
        {"SetZoomControl", [](std::int32_t c) { SetZoomControl(c, 0); }, ZoomPropertySet,
         zoom_write},
    };
    for (const Accessor& accessor : accessors) {
        for (std::int32_t channel : {-1000, -1, 41, 64, 2147483647}) {
            accessor.call(channel);
            EXPECT_EQ(Last().id, 0u) << accessor.name << " " << channel;
        }
        for (std::int32_t channel = 0; channel <= 40; ++channel) {
            accessor.call(channel);
            const bool accepted = std::find(accessor.channels.begin(), accessor.channels.end(),
                                            channel) != accessor.channels.end();
            EXPECT_EQ(Last().id, accepted ? static_cast<DWORD>(channel) : 0u)
                << accessor.name << " " << channel;
            EXPECT_EQ(Last().property_set, accessor.set) << accessor.name;
        }
    }
}

TEST_F(VendorPropertiesTest, UnlistedChannelsReachChannelZero) {
    // SnapMode is read only: the write lands on Mirror.
    SetCameraControl(ImageChannel::SnapMode, 9);
    EXPECT_EQ(camera->driver.Image(0), 9);
    EXPECT_EQ(camera->driver.Image(40), 1);
    EXPECT_EQ(GetImageControl(ImageChannel::Contrast), 9);

    camera->driver.SetImage(21, 0x00050003);
    EXPECT_EQ(GetImageControl(ImageChannel::SnapSize), 0x00050003);
    const sim::KsRequest image_read = Last();
    EXPECT_EQ(GetCameraControl(ImageChannel::SnapSize), 0x00050003);
    EXPECT_EQ(Last().data, image_read.data);

    SetZoomControl(13, 5);
    EXPECT_EQ(camera->driver.Zoom(0), 5);
    camera->driver.SetZoom(13, 6);
    EXPECT_EQ(GetZoomControl(13), 6);
}

TEST_F(VendorPropertiesTest, DriverAnswersAreNotExamined) {
    machine.faults().Fail("IKsPropertySet::Set");
    EXPECT_EQ(SetImageControl(ImageChannel::Brightness, 100), 1);
    EXPECT_EQ(camera->driver.Image(2), 63);
    machine.faults().Fail("IKsPropertySet::Get");
    EXPECT_EQ(GetImageControl(ImageChannel::Brightness), 0);
    EXPECT_EQ(GetImageControl(ImageChannel::Brightness), 63);
}

TEST_F(VendorPropertiesTest, FilterWithoutKsPropertySet) {
    camera->driver.features().ks_property = false;
    EXPECT_EQ(GetCameraControl(ImageChannel::Effect), 0);
    EXPECT_EQ(SetCameraControl(ImageChannel::Effect, 3), E_NOINTERFACE);
    EXPECT_EQ(SetZoomControl(ZoomChannel::ZoomMode, 1), E_NOINTERFACE);
    camera->driver.features().ks_property = true;
    machine.faults().Fail("IBaseFilter::QueryInterface", 1, 0x80070005);
    EXPECT_EQ(SetImageControl(ImageChannel::Mirror, 1), static_cast<std::int32_t>(0x80070005));
    EXPECT_EQ(RequestCount(), 0u);
    EXPECT_EQ(References(), 1);
}

TEST_F(VendorPropertiesTest, NothingIsSentWithoutABoundFilter) {
    ReleaseCaptureFilter();
    camera->driver.SetImage(2, 50);
    EXPECT_EQ(GetImageControl(2), 0);
    EXPECT_EQ(SetImageControl(2, 1), 0);
    EXPECT_EQ(GetCameraControl(3), 0);
    EXPECT_EQ(SetCameraControl(3, 1), 0);
    EXPECT_EQ(GetZoomControl(8), 0);
    EXPECT_EQ(SetZoomControl(8, 1), 0);
    EXPECT_TRUE(camera->driver.Log().empty());
    EXPECT_EQ(References(), 0);
}

}  // namespace
