// What a person at a terminal is told of the desktop's changes they did not ask about: an icon
// that comes or goes, a balloon shown, a window that opens or closes, a menu, Lumiset ending.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/desktop.h"

namespace console {

class DesktopWatch {
public:
    // Takes its first look at once; what is there already is no news.
    DesktopWatch(sim::Machine& machine, bool lumiset_running);

    // What changed since the last look, a line each.
    std::vector<std::string> Changes(bool lumiset_running);

private:
    struct Look {
        std::vector<std::pair<UINT, std::u16string>> icons;    // id and tip
        std::vector<std::pair<HWND, std::u16string>> windows;  // the visible top-level ones
        std::uint64_t balloons = 0;                            // shown so far, however briefly
        bool menu_open = false;
        bool lumiset_running = false;
    };
    Look LookNow(bool lumiset_running) const;

    sim::Desktop desktop_;
    Look last_;
};

}  // namespace console
