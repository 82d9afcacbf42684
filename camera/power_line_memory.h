// The user's 50/60 Hz choice, remembered for the user and put back on the camera when it has
// lost it (a camera plugged in again, the machine back from sleep).
#pragma once

#include <cstdint>
#include <optional>

inline constexpr const char* kRememberedPowerLineKeyPath = "Software\\Corvance\\CV Lumen Webcam";
inline constexpr const char* kRememberedPowerLineValueName = "PowerLineFrequency";

class SharedCaptureFilter;

// What the camera reports, bound through `filter` for the read; nothing when there is no camera,
// it has no such control or the read fails.
std::optional<std::int32_t> ReadCameraPowerLine(SharedCaptureFilter& filter);

// PowerLine50Hz or PowerLine60Hz as remembered under HKEY_CURRENT_USER; nothing when the user
// never chose, or the value is not one of them.
std::optional<std::int32_t> ReadRememberedPowerLine();

// Sets the camera's frequency and remembers it once the camera has accepted it. True when
// remembered.
bool SetAndRememberPowerLine(std::int32_t frequency);

// When a frequency is remembered and the camera reports another, sets it and reads it back.
void ApplyRememberedPowerLine();
