// The simulated camera's driver: answers the requests that reach the capture filter (the two
// vendor property sets, the power-line-frequency property, the video-control mode per stream and
// the property page list) as the real driver would, and logs every request it receives.
// Plain C++ over the names of platform/win32.h and nothing else of the simulated machine: the
// Windows test camera (tests/wine/testcam) answers with this same code, built on the SDK.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sim/camera/vendor_channels.h"
#include "platform/sim/recent_records.h"
#include "platform/win32.h"

namespace sim {

// GUIDs of the vendor property sets, as the driver defines them.
inline constexpr GUID kImagePropertySetGuid{
    0x5A1C7E42, 0x93D0, 0x4B6F, {0x8E, 0x21, 0x7C, 0x4D, 0x0A, 0x9B, 0x3F, 0x60}};
inline constexpr GUID kZoomPropertySetGuid{
    0xB47E2C19, 0x6F05, 0x4D8A, {0x9C, 0x3B, 0xE1, 0x02, 0x7A, 0x54, 0xD8, 0xC9}};

inline constexpr GUID kVideoProcAmpPropertyPage{
    0x71F96464, 0x78F3, 0x11D0, {0xA1, 0x8C, 0x00, 0xA0, 0xC9, 0x11, 0x89, 0x56}};
inline constexpr GUID kCameraControlPropertyPage{
    0x71F96465, 0x78F3, 0x11D0, {0xA1, 0x8C, 0x00, 0xA0, 0xC9, 0x11, 0x89, 0x56}};

inline constexpr LONG kPowerLineProperty = KSPROPERTY_VIDEOPROCAMP_POWERLINE_FREQUENCY;
inline constexpr int kVideoStreamCount = 2;  // capture and still

// One IKsPropertySet request as it reached the driver, with the bytes the caller passed.
struct KsRequest {
    bool set = false;  // false: a Get
    GUID property_set{};
    DWORD id = 0;
    std::vector<BYTE> instance;
    std::vector<BYTE> data;  // the property data as sent, before the driver answered
};

// What the driver and its filter offer; the variants a test chooses.
struct CameraFeatures {
    bool ks_property = true;    // the filter answers QueryInterface for IKsPropertySet
    bool procamp = true;        // … and for IAMVideoProcAmp
    bool procamp_range = true;  // GetRange of the power-line property succeeds
};

class CameraDriver {
public:
    CameraFeatures& features() { return features_; }
    const CameraFeatures& features() const { return features_; }

    // The camera's values, as a test or the console sets and inspects them; not logged.
    std::int32_t Image(int channel) const { return image_.Read(channel); }
    void SetImage(int channel, std::int32_t value) { image_.Force(channel, value); }
    std::int32_t Zoom(int channel) const { return zoom_.Read(channel); }
    void SetZoom(int channel, std::int32_t value) { zoom_.Force(channel, value); }
    std::int32_t PowerLine() const { return power_line_; }
    void SetPowerLine(std::int32_t value) { power_line_ = value; }
    // The default GetRange reports, and the value the camera starts with.
    void ConfigurePowerLine(std::int32_t value) { power_line_ = power_line_default_ = value; }
    // The last mode set on a stream (0 until one is set).
    LONG VideoControlMode(int stream) const;
    std::vector<GUID>& property_pages() { return property_pages_; }

    // Every request received, one line each: "get image.N", "set image.N VALUE", "get zoom.N",
    // "set zoom.N VALUE", "procamp get P", "procamp range P", "procamp set P VALUE flags F",
    // "get videocontrol.S", "set videocontrol.S MODE".
    // Both keep at least the last kKeptRequests entries since the last ClearLog.
    static constexpr std::size_t kKeptRequests = 4096;
    const std::vector<std::string>& Log() const { return log_.Entries(); }
    // The raw IKsPropertySet requests, in order.
    const std::vector<KsRequest>& KsRequests() const { return ks_requests_.Entries(); }
    void ClearLog();
    // "powerline N", then "image.N VALUE" for channels 0 to 40 and "zoom.N VALUE" for 0 to 13.
    std::vector<std::string> Describe() const;

    // The driver's answers, called by the capture filter.
    HRESULT KsGet(const GUID& property_set, DWORD id, const void* instance, DWORD instance_size,
                  void* data, DWORD data_size, DWORD* returned);
    HRESULT KsSet(const GUID& property_set, DWORD id, const void* instance, DWORD instance_size,
                  const void* data, DWORD data_size);
    HRESULT KsQuerySupported(const GUID& property_set, DWORD id, DWORD* support) const;
    HRESULT ProcAmpGetRange(LONG property, LONG* min, LONG* max, LONG* step, LONG* default_value,
                            LONG* caps);
    HRESULT ProcAmpSet(LONG property, LONG value, LONG flags);
    HRESULT ProcAmpGet(LONG property, LONG* value, LONG* flags);

private:
    void Record(bool set, const GUID& property_set, DWORD id, const void* instance,
                DWORD instance_size, const void* data, DWORD data_size);

    CameraFeatures features_;
    ImageChannels image_;
    ZoomChannels zoom_;
    std::int32_t power_line_ = 2;
    std::int32_t power_line_default_ = 2;
    std::array<LONG, kVideoStreamCount> video_control_modes_{};
    std::vector<GUID> property_pages_{kVideoProcAmpPropertyPage, kCameraControlPropertyPage};
    RecentRecords<std::string> log_{kKeptRequests};
    RecentRecords<KsRequest> ks_requests_{kKeptRequests};
};

}  // namespace sim
