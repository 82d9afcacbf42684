// What `help` says about each command of the console, and the command nearest a mistyped one.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace console {

struct CommandHelp {
    std::string_view name;
    std::string_view summary;  // one line: what the command does
    std::string_view syntax;   // every form it takes
    std::string_view example;  // a line a person can type as it is
};

// Every command, in the order `help` lists them.
std::span<const CommandHelp> CommandHelps();
const CommandHelp* FindCommandHelp(std::string_view name);

// The command a mistyped `word` most likely meant; nullopt when none is near enough to be a
// likely typo.
std::optional<std::string_view> NearestCommand(std::string_view word);

// For a word a new user types that names no console command but something another command does
// ("exit", "settings", "zoom", "properties", "about"): which command does it, and how. nullopt
// for any other word.
std::optional<std::string_view> OtherCommandFor(std::string_view word);

}  // namespace console
