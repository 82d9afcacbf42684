// The camera driver's description text, found through the driver's own registry keys. Capture
// applications title their preview window with it, which is how the camera's windows are found.
#pragma once

#include <cstddef>

inline constexpr std::size_t kDriverDescriptionSize = 256;

// Reads the description of the first camera instance the driver lists into `out`, terminated.
// Returns 0 when the driver key, or the instance key it names, cannot be opened; 1 otherwise.
// `out` changes only when an instance key was opened: it then holds the description, or the
// empty string when there is none to read.
int ReadDriverDescription(char (&out)[kDriverDescriptionSize]);
