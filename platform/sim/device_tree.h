// The simulated device tree: USB device nodes with their hardware-ID lists, presence, run state
// and the way each answers property-change (enable/disable) requests, and the device-info lists
// the program builds over them.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/sim/api/win32_setupapi.h"

namespace sim {

class ResourceCounter;

// Hardware-ID lists of the two supported camera models, as their driver packages report them.
std::vector<std::string> ModelAHardwareIds();
std::vector<std::string> ModelBHardwareIds();

// Whether the node is one of the cameras, whose driver registers a video interface
// (KSCATEGORY_VIDEO) while the node runs: one of its hardware IDs is a model's.
bool HasCameraInterface(const std::vector<BYTE>& hardware_ids);

// Builds a well-formed multi-string: each entry NUL-terminated, closed by an empty entry.
std::vector<BYTE> MultiString(const std::vector<std::string>& entries);

struct PropertyChangeRequest {
    DWORD state_change;
    DWORD scope;
    DWORD hw_profile;
    bool operator==(const PropertyChangeRequest&) const = default;
};

struct DeviceNode {
    int number = 0;                  // 1, 2, … in the order the nodes were installed
    std::string enumerator = "USB";  // the bus enumerator that installed the node
    std::vector<BYTE> hardware_ids;  // raw SPDRP_HARDWAREID bytes; empty: no such property
    bool present = true;             // plugged in
    bool refuses_to_stop = false;    // a disable request leaves it running
    bool rejects_requests = false;   // SetupDiSetClassInstallParamsA refuses every request
    bool private_problem = false;    // the driver reports DN_PRIVATE_PROBLEM
    // SPDRP_FRIENDLYNAME, which a camera's driver package sets; empty: no such property.
    std::string friendly_name;
    // A change of state (disable or enable) takes effect only when Windows restarts: the config
    // flag changes at once, the node keeps running or stays stopped, and the class installer
    // reports DI_NEEDRESTART.
    bool change_needs_restart = false;
    bool restart_pending = false;  // such a change waits (DN_NEED_RESTART)
    bool disabled_globally = false;
    bool disabled_in_profile = false;
    bool started = true;
    // A raw status a test forces on the node; the next property change clears it.
    std::optional<std::pair<ULONG, ULONG>> forced_status;
    // Requests the class installer carried out on this node, in order.
    std::vector<PropertyChangeRequest> carried_out;
    // Requests SetupDiSetClassInstallParamsA accepted for this node, in order, carried out or not.
    std::vector<PropertyChangeRequest> accepted;

    bool Disabled() const { return disabled_globally || disabled_in_profile; }
};

class DeviceTree {
public:
    explicit DeviceTree(ResourceCounter& resources);
    ~DeviceTree();
    DeviceTree(const DeviceTree&) = delete;
    DeviceTree& operator=(const DeviceTree&) = delete;

    // Set-up and inspection. Add returns the new node's number.
    int Add(std::vector<BYTE> hardware_ids, bool present = true, std::string enumerator = "USB");
    int Add(const std::vector<std::string>& hardware_ids, bool present = true);
    bool Remove(int number);  // uninstalls the node
    DeviceNode* Node(int number);
    const DeviceNode* Node(int number) const;
    std::vector<int> Numbers() const;
    void Plug(int number);
    void Unplug(int number);
    // Tells whether a node is held open by a program; such a node does not stop when disabled.
    void SetInUse(std::function<bool(int node)> in_use) { in_use_ = std::move(in_use); }
    // Called after the class installer changed a node (its config flags, or whether it runs),
    // with whether the node's video interface was up before; the system tells windows of it.
    void SetOnChange(std::function<void(int node, bool interface_was_up)> on_change) {
        on_change_ = std::move(on_change);
    }

    // The symbolic link of the node's video interface, as device events name it.
    std::string CameraInterfacePath(int number) const;
    // Whether that interface is up: a camera node that is present and runs.
    bool InterfaceUp(int number) const;
    // The device instance ID, as SetupDiGetDeviceInstanceIdA gives it; "" for no such node.
    std::string InstanceId(int number) const;

    // Every request the class installer carried out, with its node, in order, until cleared.
    const std::vector<std::pair<int, PropertyChangeRequest>>& CarriedOut() const {
        return carried_out_;
    }
    void ClearCarriedOut() { carried_out_.clear(); }

    // DN_* bits and problem number as CM_Get_DevNode_Status_Ex reports them; nullopt when the
    // node is not present (or does not exist).
    std::optional<std::pair<ULONG, ULONG>> Status(int number) const;

    // The device-installation functions of the API.
    HDEVINFO GetClassDevs(const GUID* class_guid, PCSTR enumerator, DWORD flags);
    BOOL EnumDeviceInfo(HDEVINFO list, DWORD index, SP_DEVINFO_DATA* data);
    // SPDRP_HARDWAREID and SPDRP_FRIENDLYNAME.
    BOOL GetHardwareIdProperty(HDEVINFO list, SP_DEVINFO_DATA* data, DWORD property, DWORD* type,
                               BYTE* buffer, DWORD size, DWORD* required);
    BOOL SetClassInstallParams(HDEVINFO list, SP_DEVINFO_DATA* data,
                               const SP_CLASSINSTALL_HEADER* params, DWORD size);
    BOOL CallClassInstaller(DI_FUNCTION function, HDEVINFO list, SP_DEVINFO_DATA* data);
    BOOL GetInstallParams(HDEVINFO list, SP_DEVINFO_DATA* data, SP_DEVINSTALL_PARAMS_A* params);
    BOOL GetInstanceId(HDEVINFO list, SP_DEVINFO_DATA* data, PSTR buffer, DWORD size,
                       DWORD* required);
    BOOL DestroyList(HDEVINFO list);
    CONFIGRET GetStatus(ULONG* status, ULONG* problem, DEVINST devinst, ULONG flags) const;

private:
    struct Element {
        int node;
        std::optional<SP_PROPCHANGE_PARAMS> params;
        DWORD install_flags = 0;  // DI_NEEDRESTART once a change waits for a restart
    };
    struct List {
        std::vector<Element> elements;
    };

    List* FindList(HDEVINFO list);
    // The element a SP_DEVINFO_DATA names within a list; sets the last error when it names none.
    Element* FindElement(HDEVINFO list, const SP_DEVINFO_DATA* data);
    // Carries the request out; true when it waits for a restart.
    bool Apply(DeviceNode& node, const PropertyChangeRequest& request);

    ResourceCounter& resources_;
    std::function<bool(int node)> in_use_;
    std::function<void(int node, bool interface_was_up)> on_change_;
    std::vector<std::pair<int, PropertyChangeRequest>> carried_out_;
    std::vector<DeviceNode> nodes_;
    int next_number_ = 1;
    std::map<ULONG_PTR, List> lists_;
    ULONG_PTR next_list_ = 0x5000;
};

}  // namespace sim
