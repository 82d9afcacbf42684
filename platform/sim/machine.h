// sim::Machine: one simulated Windows machine. A test builds one; the platform functions of the
// simulated build act on the machine that exists at the moment of the call.
#pragma once

#include <mutex>

#include "platform/sim/device_tree.h"
#include "platform/sim/faults.h"
#include "platform/sim/registry.h"
#include "platform/sim/resource_counter.h"

namespace sim {

class Machine {
public:
    Machine();
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // The machine the platform functions act on; there is at most one at a time.
    static Machine& Current();
    static bool Exists();

    Registry& registry() { return registry_; }
    DeviceTree& devices() { return devices_; }
    FaultInjector& faults() { return faults_; }
    ResourceCounter& resources() { return resources_; }

    // Held by every platform function for the duration of the call: program threads and the
    // driving test see the machine's state change one call at a time.
    std::unique_lock<std::recursive_mutex> Lock() { return std::unique_lock(mutex_); }

private:
    std::recursive_mutex mutex_;
    ResourceCounter resources_;
    FaultInjector faults_;
    Registry registry_{resources_};
    DeviceTree devices_{resources_};
};

}  // namespace sim
