// sim::Display: the monitors of the simulated desktop, each with its place on the virtual screen,
// its work area (the screen less the taskbar, which the primary monitor carries at its bottom)
// and its display scale in dots per inch (96 is 100 %).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/sim/api/win32_user.h"

namespace sim {

struct Monitor {
    HMONITOR handle = nullptr;
    RECT rect{};
    RECT work{};
    UINT dpi = 96;
    bool primary = false;
};

// A monitor as a layout names it: its size in pixels and its scale.
struct MonitorSize {
    int width = 1920;
    int height = 1080;
    UINT dpi = 96;
};

class Display {
public:
    static constexpr UINT kMinDpi = 96;   // 100 %
    static constexpr UINT kMaxDpi = 480;  // 500 %, Windows' largest custom scale
    static constexpr int kMaxMonitors = 8;
    static constexpr int kMinSide = 640;
    static constexpr int kMaxSide = 7680;

    // One 1920 x 1080 monitor at 100 %.
    Display();

    const std::vector<Monitor>& Monitors() const { return monitors_; }
    const Monitor& Primary() const { return monitors_.front(); }
    const Monitor* Find(HMONITOR handle) const;
    // The monitor holding the point; null when none does.
    const Monitor* At(POINT point) const;
    // The monitor the rectangle overlaps most; null when it overlaps none.
    const Monitor* Overlapping(const RECT& rect) const;
    // The monitor closest to the point or rectangle: the one holding or overlapping it most, else
    // the nearest by distance.
    const Monitor& Nearest(POINT point) const;
    const Monitor& Nearest(const RECT& rect) const;

    // Monitors side by side from left to right, tops aligned, the first one primary. Every
    // change makes new handles, as a monitor plugged in again is a new one. False, changing
    // nothing, for an empty list or one outside the limits above.
    bool SetLayout(const std::vector<MonitorSize>& sizes);
    // The scale of one monitor (0 is the primary); false, changing nothing, out of range.
    bool SetDpi(std::size_t index, UINT dpi);

    static bool ValidDpi(UINT dpi) { return dpi >= kMinDpi && dpi <= kMaxDpi; }

    // Whether user32 has the DPI functions of Windows 10 (GetDpiForWindow and the others); off,
    // the machine is an older Windows where a program falls back to the system's metrics.
    bool dpi_functions = true;

private:
    std::vector<Monitor> monitors_;
    std::uintptr_t next_handle_ = 0x10001;
};

}  // namespace sim
