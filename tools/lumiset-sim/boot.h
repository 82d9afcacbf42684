// The machine lumiset-sim starts Lumiset on: the simulated camera (model A, plugged in and
// started), no stored setting yet, and the user's language settings.
#pragma once

#include "platform/sim/machine.h"

namespace console {

struct BootOptions {
    unsigned short ui_language = 1033;
    unsigned ansi_code_page = 1252;
};

// False when the program's resources could not be loaded.
bool BootMachine(sim::Machine& machine, const BootOptions& options);

}  // namespace console
