// Bindings of CaptureFilter for the operations that talk to the camera outside the power-line
// operations. Each binds the filter only when it finds none bound, and releases only the binding
// it made: meanwhile "Off" may have released it and another operation bound the filter anew,
// and that binding stays.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// For one window command: binds for its own life.
class CaptureFilterBinding {
public:
    CaptureFilterBinding();
    ~CaptureFilterBinding();
    CaptureFilterBinding(const CaptureFilterBinding&) = delete;
    CaptureFilterBinding& operator=(const CaptureFilterBinding&) = delete;

private:
    std::uint64_t made_ = 0;  // the binding made here, 0 when none
};

// For a control page or the effect-cycling worker, which reach the camera again and again while
// they live: Ensure() before each use binds when nothing is bound, but walks the devices at most
// once a second while no camera can be bound.
class KeptCaptureFilterBinding {
public:
    KeptCaptureFilterBinding() = default;
    ~KeptCaptureFilterBinding() { Release(); }
    KeptCaptureFilterBinding(const KeptCaptureFilterBinding&) = delete;
    KeptCaptureFilterBinding& operator=(const KeptCaptureFilterBinding&) = delete;

    void Ensure();
    // Releases the binding made here, if it is still in force.
    void Release();

private:
    std::uint64_t made_ = 0;
    bool failed_ = false;  // the last attempt found no camera
    DWORD failed_at_ = 0;
};
