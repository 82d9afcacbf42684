// The console for a person at a terminal: a welcome, a prompt with line editing and history,
// notes on what changes on the desktop and, unless the clock is kept still, a clock that
// follows the wall clock while the console waits for the next line.
#pragma once

#include "platform/sim/machine.h"
#include "tools/lumiset-sim/console.h"
#include "tools/lumiset-sim/interrupt_reader.h"

namespace console {

// Runs until `quit`, the end of input or Ctrl-C (read from `interrupt`). Lumiset has been
// started.
void RunAtTerminal(sim::Machine& machine, Console& console, bool clock_follows_wall,
                   const InterruptReader& interrupt);

}  // namespace console
