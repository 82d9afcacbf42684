#include "platform/sim/display.h"

#include <algorithm>
#include <limits>

namespace sim {

namespace {

// The taskbar's height at 100 %; it grows with the scale, as Windows draws it.
constexpr int kTaskbarHeight = 40;

long long Overlap(const RECT& a, const RECT& b) {
    const long long width = std::min(a.right, b.right) - std::max(a.left, b.left);
    const long long height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

bool Contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

long long DistanceSquared(const RECT& rect, POINT point) {
    const long long dx = point.x < rect.left     ? rect.left - point.x
                         : point.x >= rect.right ? point.x - rect.right + 1
                                                 : 0;
    const long long dy = point.y < rect.top       ? rect.top - point.y
                         : point.y >= rect.bottom ? point.y - rect.bottom + 1
                                                  : 0;
    return dx * dx + dy * dy;
}

RECT WorkArea(const Monitor& monitor) {
    RECT work = monitor.rect;
    if (monitor.primary) {
        work.bottom -= kTaskbarHeight * static_cast<int>(monitor.dpi) / 96;
    }
    return work;
}

}  // namespace

Display::Display() {
    SetLayout({MonitorSize{}});
}

const Monitor* Display::Find(HMONITOR handle) const {
    for (const Monitor& monitor : monitors_) {
        if (monitor.handle == handle) {
            return &monitor;
        }
    }
    return nullptr;
}

const Monitor* Display::At(POINT point) const {
    for (const Monitor& monitor : monitors_) {
        if (Contains(monitor.rect, point)) {
            return &monitor;
        }
    }
    return nullptr;
}

const Monitor* Display::Overlapping(const RECT& rect) const {
    const Monitor* best = nullptr;
    long long best_area = 0;
    for (const Monitor& monitor : monitors_) {
        const long long area = Overlap(monitor.rect, rect);
        if (area > best_area) {
            best = &monitor;
            best_area = area;
        }
    }
    return best;
}

const Monitor& Display::Nearest(POINT point) const {
    const Monitor* best = &monitors_.front();
    long long best_distance = std::numeric_limits<long long>::max();
    for (const Monitor& monitor : monitors_) {
        const long long distance = DistanceSquared(monitor.rect, point);
        if (distance < best_distance) {
            best = &monitor;
            best_distance = distance;
        }
    }
    return *best;
}

const Monitor& Display::Nearest(const RECT& rect) const {
    if (const Monitor* overlapping = Overlapping(rect)) {
        return *overlapping;
    }
    return Nearest(
        POINT{rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2});
}

bool Display::SetLayout(const std::vector<MonitorSize>& sizes) {
    if (sizes.empty() || sizes.size() > static_cast<std::size_t>(kMaxMonitors)) {
        return false;
    }
    for (const MonitorSize& size : sizes) {
        if (size.width < kMinSide || size.width > kMaxSide || size.height < kMinSide ||
            size.height > kMaxSide || !ValidDpi(size.dpi)) {
            return false;
        }
    }
    std::vector<Monitor> monitors;
    int left = 0;
    for (const MonitorSize& size : sizes) {
        Monitor monitor;
        monitor.handle = reinterpret_cast<HMONITOR>(next_handle_++);
        monitor.rect = RECT{left, 0, left + size.width, size.height};
        monitor.dpi = size.dpi;
        monitor.primary = monitors.empty();
        monitor.work = WorkArea(monitor);
        monitors.push_back(monitor);
        left += size.width;
    }
    monitors_ = std::move(monitors);
    return true;
}

bool Display::SetDpi(std::size_t index, UINT dpi) {
    if (index >= monitors_.size() || !ValidDpi(dpi)) {
        return false;
    }
    monitors_[index].dpi = dpi;
    monitors_[index].work = WorkArea(monitors_[index]);
    return true;
}

}  // namespace sim
