// COM apartments: how often each thread has initialised COM.
#pragma once

#include <map>

#include "platform/sim/kernel.h"

namespace sim {

class Apartments {
public:
    // True for the first initialisation on the thread (S_OK), false for a nested one (S_FALSE).
    bool Initialize(ThreadId thread) { return ++counts_[thread] == 1; }
    void Uninitialize(ThreadId thread) {
        if (auto it = counts_.find(thread); it != counts_.end() && --it->second == 0) {
            counts_.erase(it);
        }
    }
    int Count(ThreadId thread) const {
        auto it = counts_.find(thread);
        return it == counts_.end() ? 0 : it->second;
    }
    // Initialisations not yet undone, over all threads.
    int Outstanding() const {
        int total = 0;
        for (const auto& [thread, count] : counts_) {
            total += count;
        }
        return total;
    }

private:
    std::map<ThreadId, int> counts_;
};

}  // namespace sim
