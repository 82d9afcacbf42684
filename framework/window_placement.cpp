#include "framework/window_placement.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>

#include "framework/display_scale.h"

namespace framework {

namespace {

constexpr UINT kMoveOnly = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

// Placement arithmetic in 64 bits: a kept or another program's coordinate may lie anywhere in
// int's range, and a size added to it must not overflow.
using Coord = std::int64_t;

Coord Width(const RECT& rect) {
    return Coord{rect.right} - rect.left;
}

Coord Height(const RECT& rect) {
    return Coord{rect.bottom} - rect.top;
}

bool FitsInt(Coord value) {
    return value >= INT_MIN && value <= INT_MAX;
}

int ClampedToInt(Coord value) {
    return static_cast<int>(std::clamp<Coord>(value, INT_MIN, INT_MAX));
}

RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

std::optional<RECT> WorkAreaOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor == nullptr || !::GetMonitorInfoA(monitor, &info)) {
        return std::nullopt;
    }
    return info.rcWork;
}

RECT PrimaryWorkArea() {
    const auto area = WorkAreaOf(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
    return area.value_or(
        RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
}

// Where a span of `size` starting at `start` lies within [low, high), its start winning when it
// cannot fit.
Coord Within(Coord start, Coord size, Coord low, Coord high) {
    return std::max(low, std::min(start, high - size));
}

void MoveTo(HWND window, Coord x, Coord y) {
    ::SetWindowPos(window, nullptr, ClampedToInt(x), ClampedToInt(y), 0, 0, kMoveOnly);
}

// The window's rectangle once on the area's monitor: its size there may differ with the scale.
RECT MovedOnto(HWND window, const RECT& area) {
    MoveTo(window, area.left, area.top);
    return WindowRect(window);
}

// From the window's top edge to its client area, at least the system's caption.
Coord CaptionHeight(HWND window) {
    const RECT rect = WindowRect(window);
    POINT client{0, 0};
    ::MapWindowPoints(window, nullptr, &client, 1);
    return std::max<Coord>(Coord{client.y} - rect.top, SystemMetricForWindow(SM_CYCAPTION, window));
}

bool Contains(const RECT& rect, Coord x, Coord y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

}  // namespace

RECT WorkAreaUnderPointer() {
    POINT pointer{};
    if (!::GetCursorPos(&pointer)) {
        return PrimaryWorkArea();
    }
    return WorkAreaOf(::MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST))
        .value_or(PrimaryWorkArea());
}

void CentreOnWorkArea(HWND window, const RECT& workArea) {
    const RECT rect = MovedOnto(window, workArea);
    MoveTo(window,
           Within(workArea.left + (Width(workArea) - Width(rect)) / 2, Width(rect), workArea.left,
                  workArea.right),
           Within(workArea.top + (Height(workArea) - Height(rect)) / 2, Height(rect), workArea.top,
                  workArea.bottom));
}

bool MoveToIfReachable(HWND window, POINT corner) {
    const Coord x = Coord{corner.x} + Width(WindowRect(window)) / 2;
    const Coord y = Coord{corner.y} + CaptionHeight(window) / 2;
    // A caption beyond int's range is on no monitor.
    if (!FitsInt(x) || !FitsInt(y)) {
        return false;
    }
    const POINT caption{static_cast<LONG>(x), static_cast<LONG>(y)};
    const auto area = WorkAreaOf(::MonitorFromPoint(caption, MONITOR_DEFAULTTONULL));
    if (!area || !Contains(*area, x, y)) {
        return false;
    }
    MoveTo(window, corner.x, corner.y);
    return true;
}

void PlaceBeside(HWND window, HWND other) {
    const RECT beside = WindowRect(other);
    const RECT area = WorkAreaOf(::MonitorFromWindow(other, MONITOR_DEFAULTTONEAREST))
                          .value_or(PrimaryWorkArea());
    const RECT rect = MovedOnto(window, area);
    const Coord width = Width(rect);
    const Coord height = Height(rect);
    const Coord gap = SystemMetricForWindow(SM_CXSMICON, window) / 2;
    const Coord top = Within(beside.top, height, area.top, area.bottom);
    if (beside.right + gap + width <= area.right) {
        MoveTo(window, beside.right + gap, top);
        return;
    }
    if (beside.left - gap - width >= area.left) {
        MoveTo(window, beside.left - gap - width, top);
        return;
    }
    // No room at either side: centred, but never over the caption, by which the other window
    // is moved out of the way.
    const Coord left = Within(area.left + (Width(area) - width) / 2, width, area.left, area.right);
    Coord y = Within(area.top + (Height(area) - height) / 2, height, area.top, area.bottom);
    const Coord captionBottom = beside.top + CaptionHeight(other);
    const bool acrossColumns = left < beside.right && left + width > beside.left;
    if (acrossColumns && y < captionBottom && y + height > beside.top) {
        if (captionBottom + gap + height <= area.bottom) {
            y = captionBottom + gap;
        } else if (beside.top - gap - height >= area.top) {
            y = beside.top - gap - height;
        } else {
            y = captionBottom + gap;
        }
    }
    MoveTo(window, left, y);
}

}  // namespace framework
