#include "camera/vendor_properties.h"

#include <algorithm>
#include <array>
#include <span>

#include "camera/capture_filter.h"
#include "camera/com_ptr.h"

namespace {

using Channels = std::span<const std::int32_t>;

constexpr std::array<std::int32_t, 13> kImageChannels{0,  1,  2,  5,  9,  10, 12,
                                                      17, 18, 20, 21, 24, 30};
constexpr std::array<std::int32_t, 20> kCameraReadChannels{3,  4,  6,  7,  12, 13, 14, 15, 21, 25,
                                                           26, 27, 28, 32, 33, 34, 35, 36, 38, 40};
// SnapMode (40) is read only.
constexpr std::array<std::int32_t, 19> kCameraWriteChannels{3,  4,  6,  7,  12, 13, 14, 15, 21, 25,
                                                            26, 27, 28, 32, 33, 34, 35, 36, 38};
constexpr std::array<std::int32_t, 14> kZoomReadChannels{0, 1, 2, 3,  4,  5,  6,
                                                         7, 8, 9, 10, 11, 12, 13};
constexpr std::array<std::int32_t, 13> kZoomWriteChannels{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

VendorPropertyRequest MakeRequest(const GUID& property_set, Channels accepted, std::int32_t channel,
                                  ULONG flags) {
    VendorPropertyRequest request{};
    request.Set = property_set;
    if (std::find(accepted.begin(), accepted.end(), channel) != accepted.end()) {
        request.Id = static_cast<ULONG>(channel);
    }
    request.Flags = flags;
    return request;
}

std::int32_t Read(const GUID& property_set, Channels accepted, std::int32_t channel) {
    VendorPropertyRequest request =
        MakeRequest(property_set, accepted, channel, KSPROPERTY_TYPE_GET);
    auto filter = CaptureFilter.Lock();
    if (!filter) {
        return 0;
    }
    camera::ComPtr<IKsPropertySet> properties;
    if (filter.Get()->QueryInterface(IID_IKsPropertySet, properties.OutVoid()) != S_OK) {
        return 0;
    }
    // The driver answers in the record itself; the result and byte count tell nothing more.
    DWORD returned = 0;
    properties->Get(request.Set, request.Id, &request, sizeof request, &request, sizeof request,
                    &returned);
    return request.Value;
}

std::int32_t Write(const GUID& property_set, Channels accepted, std::int32_t channel,
                   std::int32_t value) {
    VendorPropertyRequest request =
        MakeRequest(property_set, accepted, channel, KSPROPERTY_TYPE_SET);
    auto filter = CaptureFilter.Lock();
    if (!filter) {
        return 0;
    }
    camera::ComPtr<IKsPropertySet> properties;
    const HRESULT queried = filter.Get()->QueryInterface(IID_IKsPropertySet, properties.OutVoid());
    if (queried != S_OK) {
        return queried;
    }
    request.Value = value;
    properties->Set(property_set, request.Id, &request, sizeof request, &request, sizeof request);
    return 1;
}

}  // namespace

std::int32_t GetImageControl(std::int32_t channel) {
    return Read(ImagePropertySet, kImageChannels, channel);
}

std::int32_t SetImageControl(std::int32_t channel, std::int32_t value) {
    return Write(ImagePropertySet, kImageChannels, channel, value);
}

std::int32_t GetCameraControl(std::int32_t channel) {
    return Read(ImagePropertySet, kCameraReadChannels, channel);
}

std::int32_t SetCameraControl(std::int32_t channel, std::int32_t value) {
    return Write(ImagePropertySet, kCameraWriteChannels, channel, value);
}

std::int32_t GetZoomControl(std::int32_t channel) {
    return Read(ZoomPropertySet, kZoomReadChannels, channel);
}

std::int32_t SetZoomControl(std::int32_t channel, std::int32_t value) {
    return Write(ZoomPropertySet, kZoomWriteChannels, channel, value);
}
