// The camera driver's two vendor property sets: every property one 32-bit value addressed by a
// channel number. Six accessors read and write them on whatever CaptureFilter holds; they never
// bind the filter themselves and keep nothing between calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

inline constexpr GUID ImagePropertySet{
    0x5A1C7E42, 0x93D0, 0x4B6F, {0x8E, 0x21, 0x7C, 0x4D, 0x0A, 0x9B, 0x3F, 0x60}};
inline constexpr GUID ZoomPropertySet{
    0xB47E2C19, 0x6F05, 0x4D8A, {0x9C, 0x3B, 0xE1, 0x02, 0x7A, 0x54, 0xD8, 0xC9}};

// The record exchanged with the driver, as both instance and property data: a KSPROPERTY header
// followed by a 16-byte data area whose first four bytes carry the value.
struct VendorPropertyRequest {
    GUID Set;
    ULONG Id;
    ULONG Flags;
    LONG Value;
    BYTE Reserved[12];
};
static_assert(sizeof(VendorPropertyRequest) == 40);
static_assert(offsetof(VendorPropertyRequest, Set) == 0);
static_assert(offsetof(VendorPropertyRequest, Id) == 16);
static_assert(offsetof(VendorPropertyRequest, Flags) == 20);
static_assert(offsetof(VendorPropertyRequest, Value) == 24);
static_assert(offsetof(VendorPropertyRequest, Reserved) == 28);
static_assert(offsetof(VendorPropertyRequest, Value) == sizeof(KSPROPERTY));

// Channels of ImagePropertySet. The image and camera accessor pairs share the numbering and
// differ in the channels they accept.
enum class ImageChannel : std::int32_t {
    Mirror = 0,
    Flip = 1,
    Brightness = 2,
    Contrast = 3,
    Gamma = 4,
    Hue = 5,
    Saturation = 6,
    Sharpness = 7,
    BandwidthAuto = 9,
    Bandwidth = 10,
    Exposure = 12,
    WhiteBalanceAuto = 13,
    RedGain = 14,
    BlueGain = 15,
    IndoorOutdoor = 17,
    Flicker = 18,
    BacklightComp = 20,
    SnapSize = 21,
    LowLight = 24,
    ResetDefaults = 25,
    SaveDefaults = 26,
    RestoreDefaults = 27,
    BwMode = 30,
    Effect = 33,
    CurrentWidth = 35,
    SnapMode = 40,
};

// Channels of ZoomPropertySet.
enum class ZoomChannel : std::int32_t {
    MoveLeft = 1,
    MoveUp = 3,
    MoveRight = 5,
    MoveDown = 7,
    ZoomLevel = 8,
    ViewPosition = 10,
    ZoomMode = 11,
};

// Reads return the driver's value, or 0 when nothing could be read. Writes return 1 when the
// request was handed to the driver (its answer is not examined), 0 when no filter is bound, or
// the failing HRESULT when the filter has no IKsPropertySet. A channel outside the accessor's
// table goes out as property 0.
std::int32_t GetImageControl(std::int32_t channel);
std::int32_t SetImageControl(std::int32_t channel, std::int32_t value);
std::int32_t GetCameraControl(std::int32_t channel);
std::int32_t SetCameraControl(std::int32_t channel, std::int32_t value);
std::int32_t GetZoomControl(std::int32_t channel);
std::int32_t SetZoomControl(std::int32_t channel, std::int32_t value);

inline std::int32_t GetImageControl(ImageChannel channel) {
    return GetImageControl(static_cast<std::int32_t>(channel));
}
inline std::int32_t SetImageControl(ImageChannel channel, std::int32_t value) {
    return SetImageControl(static_cast<std::int32_t>(channel), value);
}
inline std::int32_t GetCameraControl(ImageChannel channel) {
    return GetCameraControl(static_cast<std::int32_t>(channel));
}
inline std::int32_t SetCameraControl(ImageChannel channel, std::int32_t value) {
    return SetCameraControl(static_cast<std::int32_t>(channel), value);
}
inline std::int32_t GetZoomControl(ZoomChannel channel) {
    return GetZoomControl(static_cast<std::int32_t>(channel));
}
inline std::int32_t SetZoomControl(ZoomChannel channel, std::int32_t value) {
    return SetZoomControl(static_cast<std::int32_t>(channel), value);
}
