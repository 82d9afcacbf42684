// The still image: the external-trigger request that makes the camera take a snapshot, and the
// still-size commands that end with it. Both use CaptureFilter as they find it.
#pragma once

#include <cstddef>

#include "platform/win32.h"

// The published video-control mode record, sent as both instance and property data.
using VideoControlModeRequest = KSPROPERTY_VIDEOCONTROL_MODE_S;
static_assert(sizeof(VideoControlModeRequest) == 32);
static_assert(offsetof(VideoControlModeRequest, Property) == 0);
static_assert(offsetof(VideoControlModeRequest, Property.Id) == 16);
static_assert(offsetof(VideoControlModeRequest, Property.Flags) == 20);
static_assert(offsetof(VideoControlModeRequest, StreamIndex) == 24);
static_assert(offsetof(VideoControlModeRequest, Mode) == 28);

// Sets external-trigger mode on the camera's streams 0 and 1. Returns 0 when no filter is bound,
// the failing HRESULT when the filter has no IKsPropertySet (then stream 1 is not asked), and
// otherwise the driver's answer for stream 0.
HRESULT TriggerSnapshot();

// One still-image command of the host window (32806 to 32813, 32818, 32829): the still size it
// stands for, written into SnapSize only where it differs, then the trigger. Any other id
// triggers alone.
void SetSnapshotSize(WORD command);
