// The standard video-processing control (IAMVideoProcAmp) on the camera's filter, used for the
// power-line frequency. Both operations bind CaptureFilter for the call and leave it unbound.
#pragma once

#include <cstdint>

// The power-line-frequency property and its values.
inline constexpr std::int32_t PowerLineFrequencyProperty = 13;
inline constexpr std::int32_t PowerLine50Hz = 1;
inline constexpr std::int32_t PowerLine60Hz = 2;

// 1 when the value was read into `value`, or when the filter has no IAMVideoProcAmp; 0 when no
// filter was found or the read failed. `value` is written only by a successful read.
int GetProcAmpValue(std::int32_t property, std::int32_t& value);
// The same through a filter reference of the caller's own instead of CaptureFilter: for a
// program that only looks at the camera.
class SharedCaptureFilter;
int GetProcAmpValue(SharedCaptureFilter& shared, std::int32_t property, std::int32_t& value);

// Writes the value with the automatic flag, but only when the property's range can be read.
// 0 when no filter was found, otherwise 1. A write, or a filter without IAMVideoProcAmp, is
// followed by a 10 ms pause that lets the camera settle.
int SetProcAmpValue(std::int32_t property, std::int32_t value);
// The same write; true only when the camera accepted the value (the control's Set succeeded).
bool SetProcAmpValueAccepted(std::int32_t property, std::int32_t value);
