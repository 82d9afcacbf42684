// Finding the supported cameras among the USB devices by hardware ID, switching their device
// nodes on or off, and reporting their state.
#pragma once

#include <cstdint>
#include <string_view>

// Summary of the matching camera devices' device-node status. Callers take CameraStatusStarted
// as "camera on" and every other value as "off".
using CameraStatus = std::int32_t;
inline constexpr CameraStatus CameraStatusNone = 0;
inline constexpr CameraStatus CameraStatusDisabled = 3;
inline constexpr CameraStatus CameraStatusProblem = 4;
inline constexpr CameraStatus CameraStatusStarted = 5;
inline constexpr CameraStatus CameraStatusQueryFailed = -1;

// Hardware-ID prefixes of the supported models; only model A is ever switched on.
inline constexpr std::string_view kModelAHardwareIdPrefix = "USB\\VID_F3A7&PID_5D20";
inline constexpr std::string_view kModelBHardwareIdPrefix = "USB\\VID_F3A7&PID_5D8F";

// Sends both enable requests to every installed model A device; true when the platform accepted
// the profile enable request for at least one of them.
bool EnableCamera();

// Sends the disable request to every installed camera of either model; true when at least one
// reports itself disabled right after. A camera that keeps running gets a full EnableCamera.
bool DisableCamera();

// The status of the present cameras: the value of the last matching entry that met a test.
CameraStatus QueryCameraStatus();
