// Finding the supported cameras among the USB devices by hardware ID, switching their device
// nodes on or off, and reporting their state.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "device/camera_switch_result.h"
#include "platform/win32.h"

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

// Sends both enable requests to every installed model A device; switched when the class
// installer carried out the profile enable request for at least one of them (NeedsRestart when a
// device's change waits for a restart).
CameraSwitchResult EnableCamera();

// Sends the disable request to every installed camera of either model. A camera that keeps
// running gets a full EnableCamera, which enables the ones disabled before it again. Switched
// when at the end of the walk every camera that reported itself disabled since the last such
// roll-back is still disabled, and there is at least one; NeedsRestart instead when a camera's
// disable waits for a restart.
CameraSwitchResult DisableCamera();

// The status of the present cameras: the value of the last matching entry that met a test.
CameraStatus QueryCameraStatus();

// Calls `visit` once for every installed camera of either model, present or not, in the order the
// system lists them, with the device-information set the camera's element belongs to. Changes
// nothing.
void ForEachInstalledCamera(const std::function<void(HDEVINFO, SP_DEVINFO_DATA&)>& visit);
// The same for the cameras present now.
void ForEachPresentCamera(const std::function<void(HDEVINFO, SP_DEVINFO_DATA&)>& visit);
