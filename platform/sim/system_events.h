// What the system announces to windows: device events (DBT_DEVNODES_CHANGED to every top-level
// window; a device interface's arrival and removal only to the windows registered for its class
// with RegisterDeviceNotificationA) and the power events of sleep and wake.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/api/win32_dbt.h"
#include "platform/sim/api/win32_user.h"
#include "platform/sim/kernel.h"
#include "platform/sim/message_copies.h"

namespace sim {

class Machine;

struct DeviceNotificationRegistration {
    HWND hwnd = nullptr;
    GUID interface_class{};
    ProcessId process = 0;  // the registering process
};

class SystemEvents {
public:
    explicit SystemEvents(Machine& machine) : machine_(machine) {}

    // RegisterDeviceNotificationA and UnregisterDeviceNotification; they set the last error.
    // A registration is a counted resource until it is unregistered, as on Windows it lasts
    // beyond its window.
    HDEVNOTIFY Register(HANDLE recipient, const void* filter, DWORD flags);
    bool Unregister(HDEVNOTIFY handle);
    std::vector<DeviceNotificationRegistration> Registrations() const;

    // Device events, sent to each window in turn as the system broadcasts them; each returns once
    // the machine is quiescent. `path` is the interface's symbolic link name. Called on a program
    // thread (a change the program asked for), they are queued instead: see NodeChangedByRequest.
    void DeviceNodesChanged();
    void InterfaceArrived(const GUID& interface_class, const std::string& path);
    void InterfaceRemoved(const GUID& interface_class, const std::string& path);
    // The class installer changed a node at a program's request (SetupDiCallClassInstaller): the
    // system tells it as any change of the tree, a camera interface that went first and one that
    // came last. Windows sends these from its own thread, and the calling thread is inside the
    // call, where it looks for no messages; so its windows hear them once it next looks, after the
    // call has returned, and every other thread's windows when they next do.
    void NodeChangedByRequest(int number, bool interface_was_up);

    // Sleep and wake: PBT_APMSUSPEND, and PBT_APMRESUMEAUTOMATIC, to every top-level window.
    // False, and nothing is sent, when the machine already sleeps / is awake.
    bool Suspend();
    bool Resume();
    bool Asleep() const { return asleep_; }

private:
    // Sends from the system's side: waited for when the driver makes the change, queued when a
    // program thread does (it cannot wait for itself).
    void Tell(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
              const std::optional<MessageData>& data);
    void SettleForDriver();
    void SendToTopLevelWindows(UINT message, WPARAM wparam);
    void SendInterfaceEvent(WPARAM event, const GUID& interface_class, const std::string& path);

    Machine& machine_;
    std::map<ULONG_PTR, DeviceNotificationRegistration> registrations_;
    ULONG_PTR next_registration_ = 0x7A000;
    bool asleep_ = false;
};

}  // namespace sim
