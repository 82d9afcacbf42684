// The order in which the program made the platform calls whose order or number matters to it
// (start-up and exit sequences, device walks), as lines such as "KillTimer 0" or
// "Shell_NotifyIconA NIM_DELETE": the latest lines, and how often each line came.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/sim/recent_records.h"

namespace sim {

class CallTrace {
public:
    // Enough for a start-up, an exit and a scenario between them.
    static constexpr std::size_t kKept = 4096;

    void Record(std::string entry) {
        ++counts_[entry];
        entries_.Add(std::move(entry));
    }
    // At least the last kKept lines.
    const std::vector<std::string>& Entries() const { return entries_.Entries(); }
    // How often the line came since the machine started or the trace was cleared.
    int Count(const std::string& entry) const {
        auto it = counts_.find(entry);
        return it == counts_.end() ? 0 : it->second;
    }
    void Clear() {
        entries_.Clear();
        counts_.clear();
    }

private:
    RecentRecords<std::string> entries_{kKept};
    std::map<std::string, int, std::less<>> counts_;
};

}  // namespace sim
