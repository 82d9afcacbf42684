// The console's `display` command: the monitors, their scales, the mouse pointer, and where the
// programs' windows are.
#include <string>

#include "platform/sim/codepage.h"
#include "tools/lumiset-sim/command_line.h"
#include "tools/lumiset-sim/console.h"

namespace console {

namespace {

constexpr const char* kDisplayUsage =
    "usage: display | display scale PERCENT [MONITOR] | display monitors WIDTHxHEIGHT[@PERCENT]... "
    "| display pointer X Y | display move X Y | display windows (PERCENT 100 to 500, sides 640 to "
    "7680, at most 8 "
    "monitors)";
constexpr UINT kLumisetIconId = 148;
constexpr std::int64_t kMostCoordinate = 100000;

std::string Size(const RECT& rect) {
    return std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top);
}

std::string Corner(const RECT& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top);
}

std::string Percent(UINT dpi) {
    return std::to_string(dpi * 100 / USER_DEFAULT_SCREEN_DPI) + "%";
}

// A scale in per cent of 96 DPI that Windows offers: whole per cents from 100 to 500 that give a
// whole DPI.
std::optional<UINT> DpiFromPercent(std::string_view text) {
    const auto percent = ParseNumberIn(text, 100, 500);
    if (!percent || (*percent * USER_DEFAULT_SCREEN_DPI) % 100 != 0) {
        return std::nullopt;
    }
    return static_cast<UINT>(*percent * USER_DEFAULT_SCREEN_DPI / 100);
}

// WIDTHxHEIGHT, optionally @PERCENT.
std::optional<sim::MonitorSize> ParseMonitor(std::string_view word) {
    sim::MonitorSize size;
    const auto at = word.find('@');
    if (at != std::string_view::npos) {
        const auto dpi = DpiFromPercent(word.substr(at + 1));
        if (!dpi) {
            return std::nullopt;
        }
        size.dpi = *dpi;
        word = word.substr(0, at);
    }
    const auto x = word.find('x');
    if (x == std::string_view::npos) {
        return std::nullopt;
    }
    const auto width =
        ParseNumberIn(word.substr(0, x), sim::Display::kMinSide, sim::Display::kMaxSide);
    const auto height =
        ParseNumberIn(word.substr(x + 1), sim::Display::kMinSide, sim::Display::kMaxSide);
    if (!width || !height) {
        return std::nullopt;
    }
    size.width = static_cast<int>(*width);
    size.height = static_cast<int>(*height);
    return size;
}

// X and Y, the words at `first` and after it.
std::optional<POINT> ParsePoint(const std::vector<std::string>& words, std::size_t first) {
    const auto x = ParseNumberIn(words[first], -kMostCoordinate, kMostCoordinate);
    const auto y = ParseNumberIn(words[first + 1], -kMostCoordinate, kMostCoordinate);
    if (!x || !y) {
        return std::nullopt;
    }
    return POINT{static_cast<LONG>(*x), static_cast<LONG>(*y)};
}

}  // namespace

bool Console::Display(const Words& words) {
    const auto& monitors = desktop_.Monitors();
    auto number_of = [&monitors](HMONITOR handle) {
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            if (monitors[i].handle == handle) {
                return i + 1;
            }
        }
        return std::size_t{0};
    };
    if (words.size() == 1) {
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            const sim::Monitor& monitor = monitors[i];
            out_ << "monitor " << i + 1 << (monitor.primary ? " primary " : " ")
                 << Size(monitor.rect) << " at " << Corner(monitor.rect) << " scale "
                 << Percent(monitor.dpi) << " work area " << Size(monitor.work) << " at "
                 << Corner(monitor.work) << "\n";
        }
        const POINT pointer = desktop_.Pointer();
        const HMONITOR under = ::MonitorFromPoint(pointer, MONITOR_DEFAULTTONULL);
        out_ << "pointer " << pointer.x << "," << pointer.y;
        if (under) {
            out_ << " on monitor " << number_of(under);
        }
        out_ << "\n";
        for (const auto& icon : desktop_.TrayIcons()) {
            if (icon.id == kLumisetIconId) {
                out_ << "tray icon " << icon.id << " " << icon.icon_width << "x" << icon.icon_height
                     << "\n";
            }
        }
        return true;
    }
    const std::string& action = words[1];
    if (action == "scale" && (words.size() == 3 || words.size() == 4)) {
        const auto dpi = DpiFromPercent(words[2]);
        const auto monitor =
            words.size() == 4
                ? ParseNumberIn(words[3], 1, static_cast<std::int64_t>(monitors.size()))
                : std::optional<std::int64_t>(1);
        if (!dpi || !monitor) {
            return Error(kDisplayUsage);
        }
        desktop_.SetMonitorDpi(static_cast<std::size_t>(*monitor - 1), *dpi);
        return true;
    }
    if (action == "monitors" && words.size() >= 3) {
        std::vector<sim::MonitorSize> sizes;
        for (std::size_t i = 2; i < words.size(); ++i) {
            const auto size = ParseMonitor(words[i]);
            if (!size) {
                return Error(kDisplayUsage);
            }
            sizes.push_back(*size);
        }
        if (!desktop_.SetMonitors(sizes)) {
            return Error(kDisplayUsage);
        }
        return true;
    }
    if (action == "pointer" && words.size() == 4) {
        const auto point = ParsePoint(words, 2);
        if (!point) {
            return Error(kDisplayUsage);
        }
        desktop_.MovePointer(*point);
        return true;
    }
    if (action == "move" && words.size() == 4) {
        const auto corner = ParsePoint(words, 2);
        if (!corner) {
            return Error(kDisplayUsage);
        }
        const HWND active = desktop_.ActiveWindow();
        if (!active || !desktop_.MoveWindow(active, *corner)) {
            return Error("no window is open");
        }
        return true;
    }
    if (action == "windows" && words.size() == 2) {
        for (const auto& window : desktop_.TopLevelWindows()) {
            if (!window.visible || window.process == 0) {
                continue;
            }
            RECT rect{};
            ::GetWindowRect(window.hwnd, &rect);
            const HMONITOR on = ::MonitorFromRect(&rect, MONITOR_DEFAULTTONULL);
            out_ << "\"" << sim::Utf16ToUtf8(window.class_name) << "\" \""
                 << sim::Utf16ToUtf8(window.title) << "\" " << Size(rect) << " at " << Corner(rect);
            if (on) {
                out_ << " on monitor " << number_of(on);
            }
            const sim::Window* found = machine_.windows().Find(window.hwnd);
            out_ << " scale " << Percent(found ? found->dpi : USER_DEFAULT_SCREEN_DPI) << "\n";
        }
        return true;
    }
    return Error(kDisplayUsage);
}

}  // namespace console
