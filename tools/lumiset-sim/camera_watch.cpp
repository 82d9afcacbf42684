#include "tools/lumiset-sim/camera_watch.h"

#include <algorithm>

#include "tools/lumiset-sim/device_state.h"
#include "tools/lumisetctl/lumisetctl_commands.h"

namespace console {

CameraWatch::CameraWatch(sim::Machine& machine) : machine_(machine), last_(LookNow()) {}

CameraWatch::Look CameraWatch::LookNow() {
    Look look;
    if (const sim::CaptureDevice* camera = machine_.video().Camera()) {
        look.power_line = camera->driver.PowerLine();
    }
    const sim::DeviceTree& devices = machine_.devices();
    for (int number : devices.Numbers()) {
        const sim::DeviceNode& node = *devices.Node(number);
        if (node.enumerator == "USB") {
            look.nodes.emplace_back(number, DeviceState(devices, node));
        }
    }
    return look;
}

std::vector<std::string> CameraWatch::Changes() {
    const Look now = LookNow();
    std::vector<std::string> changes;
    if (now.power_line && last_.power_line && *now.power_line != *last_.power_line) {
        changes.push_back("* camera: power-line frequency " +
                          lumisetctl::PowerLineText(*now.power_line));
    }
    // A node added or removed is the person's own doing; only a known node's new state is news.
    for (const auto& [number, state] : now.nodes) {
        const auto before =
            std::find_if(last_.nodes.begin(), last_.nodes.end(),
                         [number = number](const auto& node) { return node.first == number; });
        if (before != last_.nodes.end() && before->second != state) {
            changes.push_back("* camera: device " + std::to_string(number) + " " + state);
        }
    }
    last_ = now;
    return changes;
}

}  // namespace console
