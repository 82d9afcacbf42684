// The order in which the program made the platform calls whose order or number matters to it
// (start-up and exit sequences, device walks), as lines such as "KillTimer 0" or
// "Shell_NotifyIconA NIM_DELETE".
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace sim {

class CallTrace {
public:
    void Record(std::string entry) { entries_.push_back(std::move(entry)); }
    const std::vector<std::string>& Entries() const { return entries_; }
    int Count(const std::string& entry) const {
        return static_cast<int>(std::count(entries_.begin(), entries_.end(), entry));
    }
    void Clear() { entries_.clear(); }

private:
    std::vector<std::string> entries_;
};

}  // namespace sim
