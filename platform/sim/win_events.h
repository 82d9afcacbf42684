// The accessibility events programs raise (NotifyWinEvent), in order, for a test to read: what a
// screen reader would hear of.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/sim/api/win32_user.h"

namespace sim {

struct WinEvent {
    DWORD event;
    HWND hwnd;
    LONG object;
    LONG child;
    bool operator==(const WinEvent&) const = default;
};

class WinEvents {
public:
    void Record(const WinEvent& event) { events_.push_back(event); }
    const std::vector<WinEvent>& All() const { return events_; }
    std::size_t Count(DWORD event) const {
        std::size_t count = 0;
        for (const WinEvent& raised : events_) {
            count += raised.event == event ? 1 : 0;
        }
        return count;
    }

private:
    std::vector<WinEvent> events_;
};

}  // namespace sim
