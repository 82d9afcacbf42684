// COM apartments: how often each thread has initialised COM, which apartment is in force on
// it, and the calls made on objects of an apartment after its last CoUninitialize.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/kernel.h"

namespace sim {

class Apartments {
public:
    // One thread's initialisations from the first CoInitialize to the last CoUninitialize.
    using ApartmentId = std::uint64_t;

    // True for the first initialisation on the thread (S_OK), false for a nested one (S_FALSE).
    bool Initialize(ThreadId thread) {
        Live& live = live_[thread];
        if (++live.count == 1) {
            live.id = next_id_++;
            return true;
        }
        return false;
    }
    void Uninitialize(ThreadId thread) {
        if (auto it = live_.find(thread); it != live_.end() && --it->second.count == 0) {
            live_.erase(it);
        }
    }
    int Count(ThreadId thread) const {
        auto it = live_.find(thread);
        return it == live_.end() ? 0 : it->second.count;
    }
    // Initialisations not yet undone, over all threads.
    int Outstanding() const {
        int total = 0;
        for (const auto& [thread, live] : live_) {
            total += live.count;
        }
        return total;
    }

    // The apartment in force on the thread; 0 when COM is not initialised there.
    ApartmentId Current(ThreadId thread) const {
        auto it = live_.find(thread);
        return it == live_.end() ? 0 : it->second.id;
    }
    // Whether the apartment has seen its last CoUninitialize.
    bool Ended(ApartmentId apartment) const {
        if (apartment == 0) {
            return false;
        }
        for (const auto& [thread, live] : live_) {
            if (live.id == apartment) {
                return false;
            }
        }
        return true;
    }
    // A call ("IBaseFilter::Release") on an object of an ended apartment; each distinct call is
    // kept once, in the order first made.
    void RecordCallAfterUninitialize(const std::string& call) {
        if (seen_.insert(call).second) {
            calls_after_uninitialize_.push_back(call);
        }
    }
    const std::vector<std::string>& CallsAfterUninitialize() const {
        return calls_after_uninitialize_;
    }

private:
    struct Live {
        int count = 0;
        ApartmentId id = 0;
    };
    std::map<ThreadId, Live> live_;
    ApartmentId next_id_ = 1;
    std::set<std::string> seen_;
    std::vector<std::string> calls_after_uninitialize_;
};

}  // namespace sim
