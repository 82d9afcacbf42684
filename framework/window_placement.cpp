#include "framework/window_placement.h"

#include <algorithm>
#include <optional>

#include "framework/display_scale.h"

namespace framework {

namespace {

constexpr UINT kMoveOnly = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

LONG Width(const RECT& rect) {
    return rect.right - rect.left;
}

LONG Height(const RECT& rect) {
    return rect.bottom - rect.top;
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
LONG Within(LONG start, LONG size, LONG low, LONG high) {
    return std::max(low, std::min(start, high - size));
}

void MoveTo(HWND window, LONG x, LONG y) {
    ::SetWindowPos(window, nullptr, x, y, 0, 0, kMoveOnly);
}

// The window's rectangle once on the area's monitor: its size there may differ with the scale.
RECT MovedOnto(HWND window, const RECT& area) {
    MoveTo(window, area.left, area.top);
    return WindowRect(window);
}

// From the window's top edge to its client area, at least the system's caption.
LONG CaptionHeight(HWND window) {
    const RECT rect = WindowRect(window);
    POINT client{0, 0};
    ::MapWindowPoints(window, nullptr, &client, 1);
    return std::max<LONG>(client.y - rect.top, SystemMetricForWindow(SM_CYCAPTION, window));
}

bool Contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
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
    const POINT caption{corner.x + Width(WindowRect(window)) / 2,
                        corner.y + CaptionHeight(window) / 2};
    const auto area = WorkAreaOf(::MonitorFromPoint(caption, MONITOR_DEFAULTTONULL));
    if (!area || !Contains(*area, caption)) {
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
    const LONG width = Width(rect);
    const LONG height = Height(rect);
    const LONG gap = SystemMetricForWindow(SM_CXSMICON, window) / 2;
    const LONG top = Within(beside.top, height, area.top, area.bottom);
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
    const LONG left = Within(area.left + (Width(area) - width) / 2, width, area.left, area.right);
    LONG y = Within(area.top + (Height(area) - height) / 2, height, area.top, area.bottom);
    const LONG captionBottom = beside.top + CaptionHeight(other);
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
