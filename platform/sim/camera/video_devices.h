// The machine's video input device category: the capture devices DirectShow lists, in a stable
// order, each with the driver behind it. A device that belongs to a device-tree node is listed
// only while that node runs, as a real camera's capture device disappears when the camera is
// disabled or unplugged.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/camera/camera_driver.h"

namespace sim {

class DeviceTree;
class Registry;

inline constexpr std::u16string_view kDefaultCameraName = u"CV Lumen Webcam";

enum class CameraModel { A, B };

struct CaptureDevice {
    int id = 0;  // 1, 2, … in the order the devices were added; never reused
    std::u16string friendly_name;
    int node = 0;          // the device-tree node it belongs to; 0: none, always listed
    bool bindable = true;  // false: IMoniker::BindToObject fails
    int open_filters = 0;  // filter objects the program holds on it
    CameraDriver driver;
};

class VideoDevices {
public:
    VideoDevices(DeviceTree& devices, Registry& registry);
    ~VideoDevices();
    VideoDevices(const VideoDevices&) = delete;
    VideoDevices& operator=(const VideoDevices&) = delete;

    // Plugs in the simulated camera: a device node with the model's hardware IDs, on it the
    // capture device its driver registers, and the driver's registry content
    // (driver_registry.h). Camera() is this device from then on.
    CaptureDevice& PlugInCamera(CameraModel model = CameraModel::A,
                                std::u16string_view friendly_name = kDefaultCameraName);
    // The device the console's camera commands act on, or null when no camera was plugged in
    // (or it was removed).
    CaptureDevice* Camera();

    // Adds a capture device at the end of the category's order.
    CaptureDevice& Add(std::u16string_view friendly_name, int node = 0);
    // Removes the first device of that name (as when its driver is uninstalled); false when there
    // is none. Interfaces the program still holds on it then fail.
    bool Remove(std::u16string_view friendly_name);
    CaptureDevice* Find(std::u16string_view friendly_name);
    CaptureDevice* FindById(int id);
    // Every device, listed or not, in the category's order.
    std::vector<CaptureDevice*> All();

    // Whether the category lists the device now: it has no node, or its node runs.
    bool Listed(const CaptureDevice& device) const;
    // The ids of the listed devices, in order: what an enumerator made now walks through.
    std::vector<int> ListedIds() const;

    // Distinguishes this machine's COM objects from those a test leaked from an earlier machine.
    std::uint64_t serial() const { return serial_; }

private:
    DeviceTree& devices_;
    Registry& registry_;
    std::vector<std::unique_ptr<CaptureDevice>> list_;
    int next_id_ = 1;
    int camera_id_ = 0;
    std::uint64_t serial_;
};

}  // namespace sim
