// The values behind the camera driver's two vendor property sets: every channel one 32-bit
// value, with what the driver does on the action channels (defaults) and on the zoom and pan
// channels (a view that moves inside the frame).
#pragma once

#include <array>
#include <cstdint>

namespace sim {

inline constexpr int kImageChannelCount = 41;  // channels 0 to 40
inline constexpr int kZoomChannelCount = 14;   // channels 0 to 13

// Channel numbers the driver gives a meaning of its own.
namespace image_channel {
inline constexpr int kFlicker = 18;
inline constexpr int kSnapSize = 21;
inline constexpr int kResetDefaults = 25;
inline constexpr int kSaveDefaults = 26;
inline constexpr int kRestoreDefaults = 27;
inline constexpr int kCurrentWidth = 35;
inline constexpr int kSnapMode = 40;
}  // namespace image_channel

namespace zoom_channel {
inline constexpr int kMoveLeft = 1;
inline constexpr int kMoveUp = 3;
inline constexpr int kMoveRight = 5;
inline constexpr int kMoveDown = 7;
inline constexpr int kZoomLevel = 8;
inline constexpr int kViewPosition = 10;
inline constexpr int kZoomMode = 11;
inline constexpr int kMaxZoomLevel = 64;
}  // namespace zoom_channel

// View-position code bits: the sides of the frame the zoomed view touches; the fully zoomed view
// adds kAtFullZoom.
namespace view_side {
inline constexpr std::int32_t kRight = 1;
inline constexpr std::int32_t kLeft = 2;
inline constexpr std::int32_t kBottom = 4;
inline constexpr std::int32_t kTop = 8;
inline constexpr std::int32_t kAtFullZoom = 32;
}  // namespace view_side

class ImageChannels {
public:
    ImageChannels();

    static std::int32_t FactoryDefault(int channel);
    static bool Exists(int channel) { return channel >= 0 && channel < kImageChannelCount; }

    std::int32_t Read(int channel) const;
    // A write as the driver receives it: the action channels act, the status channels
    // (CurrentWidth, SnapMode) ignore it.
    void Write(int channel, std::int32_t value);
    // Sets a value directly, as the camera's own state changes (any channel).
    void Force(int channel, std::int32_t value);

private:
    static bool IsAction(int channel);
    static bool IsStatus(int channel);

    std::array<std::int32_t, kImageChannelCount> values_{};
    std::array<std::int32_t, kImageChannelCount> saved_{};
};

class ZoomChannels {
public:
    static bool Exists(int channel) { return channel >= 0 && channel < kZoomChannelCount; }

    std::int32_t Read(int channel) const;
    // A write as the driver receives it: level and mode change the view, moves pan it by the
    // value sent, the view position cannot be written.
    void Write(int channel, std::int32_t value);
    // Sets a value directly; the view position cannot be set.
    void Force(int channel, std::int32_t value);

    std::int32_t ViewPositionCode() const;

private:
    // How far the view's centre can move from the frame's centre at the current level: one
    // level step is four units, and the first level crops only the width.
    std::int64_t HorizontalReach() const;
    std::int64_t VerticalReach() const;
    void KeepViewInFrame();

    std::array<std::int32_t, kZoomChannelCount> plain_{};
    std::int32_t level_ = 0;
    // Wide enough that a move by any 32-bit value cannot overflow before the view is clamped.
    std::int64_t x_ = 0;  // grows to the right
    std::int64_t y_ = 0;  // grows downwards
};

}  // namespace sim
