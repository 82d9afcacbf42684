// CaptureFilterBinding: for a window command that talks to the camera. Finding CaptureFilter
// unbound, it binds it for its own life and releases that binding at the end; finding it bound,
// it leaves it alone.
#pragma once

#include <cstdint>

class CaptureFilterBinding {
public:
    CaptureFilterBinding();
    // Releases only the binding made here: while a modal loop ran inside the command, "Off" may
    // have released it and another operation bound the filter anew, and that one stays.
    ~CaptureFilterBinding();
    CaptureFilterBinding(const CaptureFilterBinding&) = delete;
    CaptureFilterBinding& operator=(const CaptureFilterBinding&) = delete;

private:
    std::uint64_t made_ = 0;  // the binding made here, 0 when none
};
