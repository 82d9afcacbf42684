// The capture filter's own property pages, shown in the system's OLE property frame.
#pragma once

// 1 when a top-level window bears the frame's localised title ("Properties"), whoever owns it.
int IsPropertyFrameOpen();

// Shows the property pages of the filter CaptureFilter holds, owned by the capture application's
// window (titled with the driver description) when there is one. Returns when the user closes
// the frame; the host's messages go on meanwhile. Does nothing without a bound filter or pages.
// Returns 0.
int ShowFilterPropertyFrame();
