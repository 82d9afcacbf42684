#include "platform/sim/camera/vendor_channels.h"

#include <algorithm>

namespace sim {

namespace {

// Factory settings, in the encodings the program uses (most values × 10000).
constexpr std::array<std::int32_t, kImageChannelCount> kFactory = [] {
    std::array<std::int32_t, kImageChannelCount> v{};
    v[2] = 63;        // brightness, middle of 0..126
    v[3] = 10000;     // contrast 1.00
    v[4] = 4500;      // gamma 0.45
    v[5] = 1800000;   // hue 0 degrees
    v[6] = 10000;     // saturation 1.00
    v[7] = 10000;     // sharpness 1.00
    v[9] = 1;         // automatic bandwidth
    v[10] = 8;        // bandwidth
    v[12] = 1280000;  // exposure level 128
    v[13] = 1;        // automatic white balance
    v[14] = 10000;    // red gain 1.00
    v[15] = 10000;    // blue gain 1.00
    v[17] = 1;        // indoor
    v[18] = 1;        // flicker 60 Hz
    v[35] = 640;      // current width
    v[40] = 1;        // snap mode
    return v;
}();

}  // namespace

ImageChannels::ImageChannels() : values_(kFactory), saved_(kFactory) {}

std::int32_t ImageChannels::FactoryDefault(int channel) {
    return Exists(channel) ? kFactory[static_cast<std::size_t>(channel)] : 0;
}

bool ImageChannels::IsAction(int channel) {
    return channel == image_channel::kResetDefaults || channel == image_channel::kSaveDefaults ||
           channel == image_channel::kRestoreDefaults;
}

bool ImageChannels::IsStatus(int channel) {
    return channel == image_channel::kCurrentWidth || channel == image_channel::kSnapMode;
}

std::int32_t ImageChannels::Read(int channel) const {
    if (!Exists(channel) || IsAction(channel)) {
        return 0;
    }
    return values_[static_cast<std::size_t>(channel)];
}

void ImageChannels::Write(int channel, std::int32_t value) {
    if (!Exists(channel) || IsStatus(channel)) {
        return;
    }
    if (!IsAction(channel)) {
        values_[static_cast<std::size_t>(channel)] = value;
        return;
    }
    if (value != 1) {
        return;
    }
    // The status channels describe the stream, not a setting: defaults leave them alone.
    auto settings_from = [this](const std::array<std::int32_t, kImageChannelCount>& source) {
        for (int channel_index = 0; channel_index < kImageChannelCount; ++channel_index) {
            if (!IsStatus(channel_index)) {
                values_[static_cast<std::size_t>(channel_index)] =
                    source[static_cast<std::size_t>(channel_index)];
            }
        }
    };
    switch (channel) {
        case image_channel::kResetDefaults:
            settings_from(kFactory);
            break;
        case image_channel::kSaveDefaults:
            saved_ = values_;
            break;
        default:
            settings_from(saved_);
            break;
    }
}

void ImageChannels::Force(int channel, std::int32_t value) {
    if (Exists(channel) && !IsAction(channel)) {
        values_[static_cast<std::size_t>(channel)] = value;
    }
}

std::int32_t ZoomChannels::Read(int channel) const {
    switch (channel) {
        case zoom_channel::kZoomLevel:
            return level_;
        case zoom_channel::kViewPosition:
            return ViewPositionCode();
        case zoom_channel::kMoveLeft:
        case zoom_channel::kMoveUp:
        case zoom_channel::kMoveRight:
        case zoom_channel::kMoveDown:
            return 0;
        default:
            return Exists(channel) ? plain_[static_cast<std::size_t>(channel)] : 0;
    }
}

void ZoomChannels::Write(int channel, std::int32_t value) {
    const std::int64_t step = std::max(value, 0);
    switch (channel) {
        case zoom_channel::kMoveLeft:
            x_ -= step;
            break;
        case zoom_channel::kMoveRight:
            x_ += step;
            break;
        case zoom_channel::kMoveUp:
            y_ -= step;
            break;
        case zoom_channel::kMoveDown:
            y_ += step;
            break;
        default:
            Force(channel, value);
            return;
    }
    KeepViewInFrame();
}

void ZoomChannels::Force(int channel, std::int32_t value) {
    if (channel == zoom_channel::kZoomLevel) {
        level_ = std::clamp(value, 0, zoom_channel::kMaxZoomLevel);
        KeepViewInFrame();
    } else if (Exists(channel) && channel != zoom_channel::kViewPosition) {
        plain_[static_cast<std::size_t>(channel)] = value;
    }
}

std::int64_t ZoomChannels::HorizontalReach() const {
    return 4 * level_;
}

std::int64_t ZoomChannels::VerticalReach() const {
    return 4 * std::max(level_ - 1, 0);
}

void ZoomChannels::KeepViewInFrame() {
    x_ = std::clamp(x_, -HorizontalReach(), HorizontalReach());
    y_ = std::clamp(y_, -VerticalReach(), VerticalReach());
}

std::int32_t ZoomChannels::ViewPositionCode() const {
    std::int32_t code = 0;
    if (x_ >= HorizontalReach()) {
        code |= view_side::kRight;
    }
    if (x_ <= -HorizontalReach()) {
        code |= view_side::kLeft;
    }
    if (y_ >= VerticalReach()) {
        code |= view_side::kBottom;
    }
    if (y_ <= -VerticalReach()) {
        code |= view_side::kTop;
    }
    if (level_ == zoom_channel::kMaxZoomLevel) {
        code |= view_side::kAtFullZoom;
    }
    return code;
}

}  // namespace sim
