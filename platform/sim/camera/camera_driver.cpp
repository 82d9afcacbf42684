#include "platform/sim/camera/camera_driver.h"

#include <cstring>

namespace sim {

namespace {

// KSPROPERTY_SUPPORT_GET and KSPROPERTY_SUPPORT_SET of strmif.h.
constexpr DWORD kSupportGet = 1;
constexpr DWORD kSupportSet = 2;

// The vendor record carries its value in bytes 24 to 27; the video-control mode record its
// stream in bytes 24 to 27 and the mode in 28 to 31.
constexpr DWORD kValueOffset = 24;
constexpr DWORD kVendorDataSize = kValueOffset + 4;
constexpr DWORD kStreamOffset = 24;
constexpr DWORD kModeOffset = 28;
constexpr DWORD kVideoControlDataSize = sizeof(KSPROPERTY_VIDEOCONTROL_MODE_S);

constexpr LONG kPowerLineMin = 0;
constexpr LONG kPowerLineMax = 2;

enum class Set { Image, Zoom, VideoControl, Unknown };

Set Identify(const GUID& property_set) {
    if (property_set == kImagePropertySetGuid) {
        return Set::Image;
    }
    if (property_set == kZoomPropertySetGuid) {
        return Set::Zoom;
    }
    if (property_set == PROPSETID_VIDCAP_VIDEOCONTROL) {
        return Set::VideoControl;
    }
    return Set::Unknown;
}

std::int32_t ReadInt(const void* data, DWORD offset) {
    std::int32_t value = 0;
    std::memcpy(&value, static_cast<const BYTE*>(data) + offset, sizeof value);
    return value;
}

void WriteInt(void* data, DWORD offset, std::int32_t value) {
    std::memcpy(static_cast<BYTE*>(data) + offset, &value, sizeof value);
}

std::vector<BYTE> Bytes(const void* data, DWORD size) {
    if (!data) {
        return {};
    }
    const auto* begin = static_cast<const BYTE*>(data);
    return {begin, begin + size};
}

const HRESULT kBufferTooSmall = HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);

}  // namespace

LONG CameraDriver::VideoControlMode(int stream) const {
    if (stream < 0 || stream >= kVideoStreamCount) {
        return 0;
    }
    return video_control_modes_[static_cast<std::size_t>(stream)];
}

void CameraDriver::ClearLog() {
    log_.Clear();
    ks_requests_.Clear();
}

std::vector<std::string> CameraDriver::Describe() const {
    std::vector<std::string> lines;
    lines.push_back("powerline " + std::to_string(power_line_));
    for (int channel = 0; channel < kImageChannelCount; ++channel) {
        lines.push_back("image." + std::to_string(channel) + " " +
                        std::to_string(image_.Read(channel)));
    }
    for (int channel = 0; channel < kZoomChannelCount; ++channel) {
        lines.push_back("zoom." + std::to_string(channel) + " " +
                        std::to_string(zoom_.Read(channel)));
    }
    return lines;
}

void CameraDriver::Record(bool set, const GUID& property_set, DWORD id, const void* instance,
                          DWORD instance_size, const void* data, DWORD data_size) {
    ks_requests_.Add(
        KsRequest{set, property_set, id, Bytes(instance, instance_size), Bytes(data, data_size)});
}

namespace {

// The video-control property the driver answers, with room for its 32-byte record.
HRESULT CheckVideoControlRequest(DWORD id, const void* data, DWORD data_size) {
    if (id != KSPROPERTY_VIDEOCONTROL_MODE) {
        return E_PROP_ID_UNSUPPORTED;
    }
    if (!data || data_size < kVideoControlDataSize) {
        return kBufferTooSmall;
    }
    return S_OK;
}

bool ChannelExists(bool image, int channel) {
    return image ? ImageChannels::Exists(channel) : ZoomChannels::Exists(channel);
}

}  // namespace

HRESULT CameraDriver::KsGet(const GUID& property_set, DWORD id, const void* instance,
                            DWORD instance_size, void* data, DWORD data_size, DWORD* returned) {
    // The caller may pass one buffer as both instance and property data, and take the set GUID
    // from it: read everything before answering.
    const GUID set_guid = property_set;
    Record(false, set_guid, id, instance, instance_size, data, data_size);
    const Set set = Identify(set_guid);
    if (set == Set::Unknown) {
        return E_PROP_SET_UNSUPPORTED;
    }
    if (set == Set::VideoControl) {
        if (const HRESULT refused = CheckVideoControlRequest(id, data, data_size);
            refused != S_OK) {
            return refused;
        }
        const std::int32_t stream = ReadInt(data, kStreamOffset);
        log_.Add("get videocontrol." + std::to_string(stream));
        if (stream < 0 || stream >= kVideoStreamCount) {
            return E_INVALIDARG;
        }
        WriteInt(data, kModeOffset, VideoControlMode(stream));
    } else {
        const bool image = set == Set::Image;
        log_.Add(std::string(image ? "get image." : "get zoom.") + std::to_string(id));
        const int channel = static_cast<int>(id);
        if (!ChannelExists(image, channel)) {
            return E_PROP_ID_UNSUPPORTED;
        }
        if (!data || data_size < kVendorDataSize) {
            return kBufferTooSmall;
        }
        WriteInt(data, kValueOffset, image ? image_.Read(channel) : zoom_.Read(channel));
    }
    if (returned) {
        *returned = data_size;
    }
    return S_OK;
}

HRESULT CameraDriver::KsSet(const GUID& property_set, DWORD id, const void* instance,
                            DWORD instance_size, const void* data, DWORD data_size) {
    const GUID set_guid = property_set;
    Record(true, set_guid, id, instance, instance_size, data, data_size);
    const Set set = Identify(set_guid);
    if (set == Set::Unknown) {
        return E_PROP_SET_UNSUPPORTED;
    }
    if (set == Set::VideoControl) {
        if (const HRESULT refused = CheckVideoControlRequest(id, data, data_size);
            refused != S_OK) {
            return refused;
        }
        const std::int32_t stream = ReadInt(data, kStreamOffset);
        const std::int32_t mode = ReadInt(data, kModeOffset);
        log_.Add("set videocontrol." + std::to_string(stream) + " " + std::to_string(mode));
        if (stream < 0 || stream >= kVideoStreamCount) {
            return E_INVALIDARG;
        }
        video_control_modes_[static_cast<std::size_t>(stream)] = mode;
        return S_OK;
    }
    if (!data || data_size < kVendorDataSize) {
        return kBufferTooSmall;
    }
    const bool image = set == Set::Image;
    const std::int32_t value = ReadInt(data, kValueOffset);
    log_.Add(std::string(image ? "set image." : "set zoom.") + std::to_string(id) + " " +
             std::to_string(value));
    const int channel = static_cast<int>(id);
    if (!ChannelExists(image, channel)) {
        return E_PROP_ID_UNSUPPORTED;
    }
    if (image) {
        image_.Write(channel, value);
    } else {
        zoom_.Write(channel, value);
    }
    return S_OK;
}

HRESULT CameraDriver::KsQuerySupported(const GUID& property_set, DWORD id, DWORD* support) const {
    if (!support) {
        return E_POINTER;
    }
    const int channel = static_cast<int>(id);
    bool known = false;
    switch (Identify(property_set)) {
        case Set::Image:
            known = ImageChannels::Exists(channel);
            break;
        case Set::Zoom:
            known = ZoomChannels::Exists(channel);
            break;
        case Set::VideoControl:
            known = id == KSPROPERTY_VIDEOCONTROL_MODE;
            break;
        case Set::Unknown:
            return E_PROP_SET_UNSUPPORTED;
    }
    if (!known) {
        return E_PROP_ID_UNSUPPORTED;
    }
    *support = kSupportGet | kSupportSet;
    return S_OK;
}

HRESULT CameraDriver::ProcAmpGetRange(LONG property, LONG* min, LONG* max, LONG* step,
                                      LONG* default_value, LONG* caps) {
    log_.Add("procamp range " + std::to_string(property));
    if (property != kPowerLineProperty || !features_.procamp_range) {
        return E_PROP_ID_UNSUPPORTED;
    }
    if (!min || !max || !step || !default_value || !caps) {
        return E_POINTER;
    }
    *min = kPowerLineMin;
    *max = kPowerLineMax;
    *step = 1;
    *default_value = power_line_default_;
    *caps = VideoProcAmp_Flags_Manual;
    return S_OK;
}

HRESULT CameraDriver::ProcAmpSet(LONG property, LONG value, LONG flags) {
    log_.Add("procamp set " + std::to_string(property) + " " + std::to_string(value) + " flags " +
             std::to_string(flags));
    if (property != kPowerLineProperty) {
        return E_PROP_ID_UNSUPPORTED;
    }
    if (value < kPowerLineMin || value > kPowerLineMax) {
        return E_INVALIDARG;
    }
    power_line_ = value;
    return S_OK;
}

HRESULT CameraDriver::ProcAmpGet(LONG property, LONG* value, LONG* flags) {
    log_.Add("procamp get " + std::to_string(property));
    if (property != kPowerLineProperty) {
        return E_PROP_ID_UNSUPPORTED;
    }
    if (!value || !flags) {
        return E_POINTER;
    }
    *value = power_line_;
    *flags = VideoProcAmp_Flags_Manual;
    return S_OK;
}

}  // namespace sim
