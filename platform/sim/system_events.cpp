#include "platform/sim/system_events.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/sim/api/win32_dshow.h"
#include "platform/sim/machine.h"

namespace sim {

HDEVNOTIFY SystemEvents::Register(HANDLE recipient, const void* filter, DWORD flags) {
    const auto hwnd = static_cast<HWND>(recipient);
    const Window* window = machine_.windows().Find(hwnd);
    if (flags != DEVICE_NOTIFY_WINDOW_HANDLE || !window) {
        SetLastError(flags != DEVICE_NOTIFY_WINDOW_HANDLE ? ERROR_INVALID_FLAGS
                                                          : ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    // Only interface-class filters are known; a shorter record cannot name a class.
    const auto* header = static_cast<const DEV_BROADCAST_HDR*>(filter);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE ||
        header->dbch_size < sizeof(DEV_BROADCAST_DEVICEINTERFACE_A)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    const auto* interface = static_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(filter);
    const ULONG_PTR handle = next_registration_;
    next_registration_ += 8;
    registrations_[handle] = DeviceNotificationRegistration{hwnd, interface->dbcc_classguid,
                                                            machine_.kernel().CurrentProcess()};
    machine_.resources().Acquired(kinds::kDeviceNotification);
    return reinterpret_cast<HDEVNOTIFY>(handle);
}

bool SystemEvents::Unregister(HDEVNOTIFY handle) {
    auto it = registrations_.find(reinterpret_cast<ULONG_PTR>(handle));
    if (it == registrations_.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    registrations_.erase(it);
    machine_.resources().Released(kinds::kDeviceNotification);
    return true;
}

std::vector<DeviceNotificationRegistration> SystemEvents::Registrations() const {
    std::vector<DeviceNotificationRegistration> all;
    for (const auto& [handle, registration] : registrations_) {
        all.push_back(registration);
    }
    return all;
}

void SystemEvents::Tell(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                        const std::optional<MessageData>& data) {
    if (Kernel::CurrentThread() == 0) {
        machine_.windows().SendFromOtherProgram(hwnd, message, wparam, lparam, data);
    } else {
        machine_.windows().QueueFromOtherProgram(hwnd, message, wparam, lparam, data);
    }
}

void SystemEvents::SettleForDriver() {
    if (Kernel::CurrentThread() == 0) {
        machine_.kernel().Settle();
    }
}

void SystemEvents::SendToTopLevelWindows(UINT message, WPARAM wparam) {
    // The list is taken first: a window may close, or open another, while it handles the message.
    for (HWND hwnd : machine_.windows().TopLevelWindows()) {
        Tell(hwnd, message, wparam, 0, std::nullopt);
    }
    SettleForDriver();
}

void SystemEvents::DeviceNodesChanged() {
    SendToTopLevelWindows(WM_DEVICECHANGE, DBT_DEVNODES_CHANGED);
}

void SystemEvents::SendInterfaceEvent(WPARAM event, const GUID& interface_class,
                                      const std::string& path) {
    // The record as the system hands it over: the name, with its terminator, runs past the
    // structure's one-character array.
    const std::size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name) + path.size() + 1;
    MessageData data{
        std::vector<std::uint8_t>(std::max(size, sizeof(DEV_BROADCAST_DEVICEINTERFACE_A)))};
    DEV_BROADCAST_DEVICEINTERFACE_A record{};
    record.dbcc_size = static_cast<DWORD>(size);
    record.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    record.dbcc_classguid = interface_class;
    std::memcpy(data.bytes.data(), &record, offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name));
    std::memcpy(data.bytes.data() + offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name),
                path.c_str(), path.size() + 1);
    WindowManager& windows = machine_.windows();
    for (const DeviceNotificationRegistration& registration : Registrations()) {
        if (!(registration.interface_class == interface_class) ||
            !windows.Find(registration.hwnd)) {
            continue;
        }
        // Any nonzero pointer: the receiver gets its own copy of the record.
        Tell(registration.hwnd, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(data.bytes.data()),
             data);
    }
    SettleForDriver();
}

void SystemEvents::InterfaceArrived(const GUID& interface_class, const std::string& path) {
    SendInterfaceEvent(DBT_DEVICEARRIVAL, interface_class, path);
}

void SystemEvents::InterfaceRemoved(const GUID& interface_class, const std::string& path) {
    SendInterfaceEvent(DBT_DEVICEREMOVECOMPLETE, interface_class, path);
}

void SystemEvents::NodeChangedByRequest(int number, bool interface_was_up) {
    const DeviceTree& devices = machine_.devices();
    const bool interface_up = devices.InterfaceUp(number);
    const std::string path = devices.CameraInterfacePath(number);
    if (interface_was_up && !interface_up) {
        InterfaceRemoved(KSCATEGORY_VIDEO, path);
    }
    DeviceNodesChanged();
    if (interface_up && !interface_was_up) {
        InterfaceArrived(KSCATEGORY_VIDEO, path);
    }
}

bool SystemEvents::Suspend() {
    if (asleep_) {
        return false;
    }
    SendToTopLevelWindows(WM_POWERBROADCAST, PBT_APMSUSPEND);
    asleep_ = true;
    return true;
}

bool SystemEvents::Resume() {
    if (!asleep_) {
        return false;
    }
    asleep_ = false;
    SendToTopLevelWindows(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    return true;
}

}  // namespace sim
