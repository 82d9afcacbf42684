#include "platform/sim/machine.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace sim {

namespace {
std::atomic<Machine*> current_machine{nullptr};
}

Machine::Machine() {
    Machine* expected = nullptr;
    if (!current_machine.compare_exchange_strong(expected, this)) {
        std::fputs("sim::Machine: a machine already exists\n", stderr);
        std::abort();
    }
    kernel_.OnProcessExit([this](ProcessId process) {
        windows_.DestroyProcessWindows(process);
        hotkeys_.ProcessEnded(process);
    });
    devices_.SetOnChange([this](int node, bool interface_was_up) {
        system_events_.NodeChangedByRequest(node, interface_was_up);
    });
}

Machine::~Machine() {
    current_machine.store(nullptr);
}

Machine& Machine::Current() {
    Machine* machine = current_machine.load();
    if (!machine) {
        std::fputs("sim::Machine: a platform function was called without a machine\n", stderr);
        std::abort();
    }
    return *machine;
}

bool Machine::Exists() {
    return current_machine.load() != nullptr;
}

}  // namespace sim
