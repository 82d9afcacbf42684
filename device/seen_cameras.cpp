#include "device/seen_cameras.h"

#include <array>

#include "device/camera_device.h"
#include "platform/win32.h"

namespace device {

bool SeenCameras::Look() {
    bool news = false;
    ForEachPresentCamera([this, &news](HDEVINFO list, SP_DEVINFO_DATA& element) {
        // A node whose ID cannot be read is neither remembered nor news.
        std::array<char, MAX_DEVICE_ID_LEN + 1> id{};
        if (SetupDiGetDeviceInstanceIdA(list, &element, id.data(), static_cast<DWORD>(id.size()),
                                        nullptr)) {
            id.back() = '\0';
            news = seen_.insert(id.data()).second || news;
        }
    });
    return news;
}

}  // namespace device
