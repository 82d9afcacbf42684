// The main things a person and other programs do with Lumiset, as steps a reliability run can
// repeat on a fresh machine.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tests/reliability/lumiset_rig.h"

namespace reliability {

struct Scenario {
    std::string name;
    // Lumiset is started and has shown its icon before the action; otherwise the action starts it.
    bool started_before;
    void (*action)(LumisetRig&);
    // The action ends the program: Exit, or its stored value deleted.
    bool ends;
    // Operations whose failure keeps the action from reaching the program (the menu that
    // offers Exit cannot open), so that it goes on.
    std::vector<std::string> needed_to_end = {};
};

const std::vector<Scenario>& MainScenarios();
// For test names and failure messages.
inline void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

// Pieces of the scenarios, also used by the simulated day.
void UseImageControlPage(LumisetRig& rig);
void UseEffectPage(LumisetRig& rig);
void DriveZoomDialog(LumisetRig& rig);

}  // namespace reliability
