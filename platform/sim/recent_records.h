// A record that keeps only its latest entries, so that a simulated week runs in flat memory:
// at least the last `keep` entries (all of them while fewer were added), in order, and the
// number ever added.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace sim {

template <typename T>
class RecentRecords {
public:
    explicit RecentRecords(std::size_t keep) : keep_(keep) {}

    void Add(T entry) {
        // Dropped in one go when twice the window is reached: amortised constant time, and the
        // entries stay one vector that callers can compare and index.
        if (entries_.size() >= 2 * keep_) {
            entries_.erase(entries_.begin(),
                           entries_.begin() + static_cast<std::ptrdiff_t>(entries_.size() - keep_));
        }
        entries_.push_back(std::move(entry));
        ++added_;
    }
    const std::vector<T>& Entries() const { return entries_; }
    std::uint64_t Added() const { return added_; }
    std::size_t keep() const { return keep_; }
    void Clear() {
        entries_.clear();
        entries_.shrink_to_fit();
    }

private:
    std::size_t keep_;
    std::vector<T> entries_;
    std::uint64_t added_ = 0;
};

}  // namespace sim
