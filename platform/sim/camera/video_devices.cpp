#include "platform/sim/camera/video_devices.h"

#include <algorithm>
#include <atomic>

#include "platform/sim/camera/driver_registry.h"
#include "platform/sim/device_tree.h"

namespace sim {

namespace {
std::atomic<std::uint64_t> next_serial{1};
}

VideoDevices::VideoDevices(DeviceTree& devices, Registry& registry)
    : devices_(devices), registry_(registry), serial_(next_serial++) {
    // As on Windows, a device whose capture filter is open refuses to stop.
    devices_.SetInUse([this](int node) {
        return std::any_of(list_.begin(), list_.end(), [node](const auto& device) {
            return device->node == node && device->open_filters > 0;
        });
    });
}

VideoDevices::~VideoDevices() = default;

CaptureDevice& VideoDevices::PlugInCamera(CameraModel model, std::u16string_view friendly_name) {
    const int node =
        devices_.Add(model == CameraModel::A ? ModelAHardwareIds() : ModelBHardwareIds());
    CaptureDevice& device = Add(friendly_name, node);
    camera_id_ = device.id;
    driver_registry::Install(registry_);
    return device;
}

CaptureDevice* VideoDevices::Camera() {
    return camera_id_ != 0 ? FindById(camera_id_) : nullptr;
}

CaptureDevice& VideoDevices::Add(std::u16string_view friendly_name, int node) {
    auto device = std::make_unique<CaptureDevice>();
    device->id = next_id_++;
    device->friendly_name = std::u16string(friendly_name);
    device->node = node;
    list_.push_back(std::move(device));
    return *list_.back();
}

bool VideoDevices::Remove(std::u16string_view friendly_name) {
    auto it = std::find_if(list_.begin(), list_.end(), [&](const auto& device) {
        return device->friendly_name == friendly_name;
    });
    if (it == list_.end()) {
        return false;
    }
    list_.erase(it);
    return true;
}

CaptureDevice* VideoDevices::Find(std::u16string_view friendly_name) {
    for (auto& device : list_) {
        if (device->friendly_name == friendly_name) {
            return device.get();
        }
    }
    return nullptr;
}

CaptureDevice* VideoDevices::FindById(int id) {
    for (auto& device : list_) {
        if (device->id == id) {
            return device.get();
        }
    }
    return nullptr;
}

std::vector<CaptureDevice*> VideoDevices::All() {
    std::vector<CaptureDevice*> all;
    for (auto& device : list_) {
        all.push_back(device.get());
    }
    return all;
}

bool VideoDevices::Listed(const CaptureDevice& device) const {
    if (device.node == 0) {
        return true;
    }
    const DeviceNode* node = devices_.Node(device.node);
    return node && node->present && node->started;
}

std::vector<int> VideoDevices::ListedIds() const {
    std::vector<int> ids;
    for (const auto& device : list_) {
        if (Listed(*device)) {
            ids.push_back(device->id);
        }
    }
    return ids;
}

}  // namespace sim
