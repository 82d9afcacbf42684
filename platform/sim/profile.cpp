#include "platform/sim/profile.h"

#include <algorithm>

namespace sim {

namespace {

char Folded(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool Profile::LessIgnoringCase::operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(Folded(x)) < static_cast<unsigned char>(Folded(y));
    });
}

void Profile::Set(std::string_view section, std::string_view name, std::string_view value) {
    auto it = sections_.find(section);
    if (it == sections_.end()) {
        it = sections_.emplace(std::string(section), Section{}).first;
    }
    auto entry = it->second.find(name);
    if (entry == it->second.end()) {
        it->second.emplace(std::string(name), std::string(value));
    } else {
        entry->second = std::string(value);
    }
}

bool Profile::Delete(std::string_view section, std::string_view name) {
    auto it = sections_.find(section);
    if (it == sections_.end()) {
        return false;
    }
    auto entry = it->second.find(name);
    if (entry == it->second.end()) {
        return false;
    }
    it->second.erase(entry);
    if (it->second.empty()) {
        sections_.erase(it);
    }
    return true;
}

std::optional<std::string> Profile::Get(std::string_view section, std::string_view name) const {
    auto it = sections_.find(section);
    if (it == sections_.end()) {
        return std::nullopt;
    }
    auto entry = it->second.find(name);
    if (entry == it->second.end()) {
        return std::nullopt;
    }
    return entry->second;
}

}  // namespace sim
