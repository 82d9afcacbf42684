#include "platform/sim/resource_counter.h"

namespace sim {

int ResourceCounter::Open(std::string_view kind) const {
    auto it = open_.find(kind);
    return it == open_.end() ? 0 : it->second;
}

std::map<std::string, int> ResourceCounter::Outstanding() const {
    std::map<std::string, int> result;
    for (const auto& [kind, count] : open_) {
        if (count != 0) {
            result.emplace(kind, count);
        }
    }
    return result;
}

}  // namespace sim
