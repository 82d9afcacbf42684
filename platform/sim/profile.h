// The user's profile, win.ini: sections of named text values, as GetProfileStringA reads them.
// Section and value names match without regard to case, as on Windows. Texts are UTF-8 here; the
// *A functions convert them through the machine's ANSI code page.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

class Profile {
public:
    // Creates the section and the value, or replaces the value's text.
    void Set(std::string_view section, std::string_view name, std::string_view value);
    // False when there was no such value.
    bool Delete(std::string_view section, std::string_view name);
    std::optional<std::string> Get(std::string_view section, std::string_view name) const;

private:
    // Keys compare folded; the first spelling written stays.
    struct LessIgnoringCase {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    using Section = std::map<std::string, std::string, LessIgnoringCase>;
    std::map<std::string, Section, LessIgnoringCase> sections_;
};

}  // namespace sim
