// Face tracking, one of the camera's zoom modes.
#pragma once

// Switches face tracking off when ZoomMode reads 2 (tracking), otherwise on; uses CaptureFilter as
// it finds it.
void ToggleFaceTracking();
