#include "platform/sim/device_tree.h"

#include <algorithm>
#include <cstring>

#include "platform/sim/api/win32_registry.h"
#include "platform/sim/resource_counter.h"

namespace sim {

namespace {

bool SameEnumerator(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
        return up(x) == up(y);
    });
}

// The device ID: the first hardware ID without its revision.
std::string DeviceId(const DeviceNode& node) {
    std::string device(node.hardware_ids.begin(),
                       std::find(node.hardware_ids.begin(), node.hardware_ids.end(), BYTE{0}));
    if (const auto revision = device.find("&REV_"); revision != std::string::npos) {
        device.erase(revision);
    }
    return device;
}

// What a property change can alter of a node.
struct NodeFlags {
    bool started;
    bool disabled_globally;
    bool disabled_in_profile;
    bool restart_pending;
    bool operator==(const NodeFlags&) const = default;
};

NodeFlags FlagsOf(const DeviceNode& node) {
    return {node.started, node.disabled_globally, node.disabled_in_profile, node.restart_pending};
}

constexpr ULONG kRunningBits =
    DN_DRIVER_LOADED | DN_STARTED | DN_DISABLEABLE | DN_NT_ENUMERATOR | DN_NT_DRIVER;
constexpr ULONG kDisabledBits = DN_HAS_PROBLEM | DN_DISABLEABLE | DN_NT_ENUMERATOR | DN_NT_DRIVER;

}  // namespace

std::vector<std::string> ModelAHardwareIds() {
    return {"USB\\VID_F3A7&PID_5D20&REV_0100", "USB\\VID_F3A7&PID_5D20"};
}

std::vector<std::string> ModelBHardwareIds() {
    return {"USB\\VID_F3A7&PID_5D8F&REV_0200", "USB\\VID_F3A7&PID_5D8F"};
}

bool HasCameraInterface(const std::vector<BYTE>& hardware_ids) {
    std::vector<std::string> models = ModelAHardwareIds();
    for (auto& id : ModelBHardwareIds()) {
        models.push_back(std::move(id));
    }
    // Walk the entries up to the first empty one, or the end of a list without its terminator.
    auto begin = hardware_ids.begin();
    while (begin != hardware_ids.end() && *begin != 0) {
        const auto end = std::find(begin, hardware_ids.end(), BYTE{0});
        const std::string entry(begin, end);
        for (const auto& model : models) {
            if (SameEnumerator(entry, model)) {
                return true;
            }
        }
        begin = end == hardware_ids.end() ? end : end + 1;
    }
    return false;
}

std::vector<BYTE> MultiString(const std::vector<std::string>& entries) {
    std::vector<BYTE> bytes;
    for (const auto& entry : entries) {
        bytes.insert(bytes.end(), entry.begin(), entry.end());
        bytes.push_back(0);
    }
    bytes.push_back(0);
    return bytes;
}

DeviceTree::DeviceTree(ResourceCounter& resources) : resources_(resources) {}
DeviceTree::~DeviceTree() = default;

int DeviceTree::Add(std::vector<BYTE> hardware_ids, bool present, std::string enumerator) {
    DeviceNode node;
    node.number = next_number_++;
    node.enumerator = std::move(enumerator);
    node.hardware_ids = std::move(hardware_ids);
    if (HasCameraInterface(node.hardware_ids)) {
        node.friendly_name = "CV Lumen Webcam";
    }
    node.present = present;
    nodes_.push_back(std::move(node));
    return nodes_.back().number;
}

int DeviceTree::Add(const std::vector<std::string>& hardware_ids, bool present) {
    return Add(MultiString(hardware_ids), present);
}

bool DeviceTree::Remove(int number) {
    auto it = std::find_if(nodes_.begin(), nodes_.end(),
                           [number](const DeviceNode& node) { return node.number == number; });
    if (it == nodes_.end()) {
        return false;
    }
    nodes_.erase(it);
    return true;
}

DeviceNode* DeviceTree::Node(int number) {
    for (auto& node : nodes_) {
        if (node.number == number) {
            return &node;
        }
    }
    return nullptr;
}

const DeviceNode* DeviceTree::Node(int number) const {
    return const_cast<DeviceTree*>(this)->Node(number);
}

std::vector<int> DeviceTree::Numbers() const {
    std::vector<int> numbers;
    for (const auto& node : nodes_) {
        numbers.push_back(node.number);
    }
    return numbers;
}

// The node keeps its config flags while unplugged, as Windows keeps them with the device's
// instance: plugged in again it starts only when neither flag is set. Starting again also
// completes a change that waited for a restart.
void DeviceTree::Plug(int number) {
    if (auto* node = Node(number)) {
        node->present = true;
        node->started = !node->Disabled();
        node->restart_pending = false;
    }
}

void DeviceTree::Unplug(int number) {
    if (auto* node = Node(number)) {
        node->present = false;
        node->started = false;
        node->restart_pending = false;
    }
}

std::string DeviceTree::CameraInterfacePath(int number) const {
    const DeviceNode* node = Node(number);
    if (!node) {
        return {};
    }
    std::string device = DeviceId(*node);
    std::replace(device.begin(), device.end(), '\\', '#');
    return "\\\\?\\" + device + "#6&2f1e0c3a&0&" + std::to_string(node->number) +
           "#{6994ad05-93ef-11d0-a3cc-00a0c9223196}\\global";
}

bool DeviceTree::InterfaceUp(int number) const {
    const DeviceNode* node = Node(number);
    return node && node->present && node->started && HasCameraInterface(node->hardware_ids);
}

std::string DeviceTree::InstanceId(int number) const {
    const DeviceNode* node = Node(number);
    if (!node) {
        return {};
    }
    std::string id = DeviceId(*node) + "\\6&2F1E0C3A&0&" + std::to_string(node->number);
    std::transform(id.begin(), id.end(), id.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; });
    return id;
}

std::optional<std::pair<ULONG, ULONG>> DeviceTree::Status(int number) const {
    const DeviceNode* node = Node(number);
    if (!node || !node->present) {
        return std::nullopt;
    }
    if (node->forced_status) {
        return node->forced_status;
    }
    ULONG status = 0;
    ULONG problem = 0;
    if (node->started) {
        status = kRunningBits;
    } else if (node->restart_pending) {
        status = DN_HAS_PROBLEM | DN_NT_ENUMERATOR | DN_NT_DRIVER;
        problem = CM_PROB_NEED_RESTART;
    } else if (node->Disabled()) {
        status = kDisabledBits;
        problem = CM_PROB_DISABLED;
    } else {
        status = DN_NT_ENUMERATOR | DN_NT_DRIVER;
    }
    if (node->private_problem) {
        status |= DN_PRIVATE_PROBLEM;
    }
    if (node->restart_pending) {
        status |= DN_NEED_RESTART;
    }
    return std::make_pair(status, problem);
}

HDEVINFO DeviceTree::GetClassDevs(const GUID* class_guid, PCSTR enumerator, DWORD flags) {
    if (!class_guid && (flags & DIGCF_ALLCLASSES) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    List list;
    for (const auto& node : nodes_) {
        if (enumerator && !SameEnumerator(node.enumerator, enumerator)) {
            continue;
        }
        if ((flags & DIGCF_PRESENT) && !node.present) {
            continue;
        }
        list.elements.push_back(Element{node.number, std::nullopt});
    }
    const ULONG_PTR handle = next_list_;
    next_list_ += 8;
    lists_[handle] = std::move(list);
    resources_.Acquired(kinds::kDeviceList);
    return reinterpret_cast<HDEVINFO>(handle);
}

DeviceTree::List* DeviceTree::FindList(HDEVINFO list) {
    auto it = lists_.find(reinterpret_cast<ULONG_PTR>(list));
    if (it == lists_.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return &it->second;
}

DeviceTree::Element* DeviceTree::FindElement(HDEVINFO list, const SP_DEVINFO_DATA* data) {
    List* found = FindList(list);
    if (!found) {
        return nullptr;
    }
    if (!data || data->cbSize != sizeof(SP_DEVINFO_DATA) || data->Reserved == 0 ||
        data->Reserved > found->elements.size()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return &found->elements[data->Reserved - 1];
}

BOOL DeviceTree::EnumDeviceInfo(HDEVINFO list, DWORD index, SP_DEVINFO_DATA* data) {
    List* found = FindList(list);
    if (!found) {
        return FALSE;
    }
    if (!data || data->cbSize != sizeof(SP_DEVINFO_DATA)) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return FALSE;
    }
    if (index >= found->elements.size()) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    data->ClassGuid = GUID{};
    data->DevInst = static_cast<DWORD>(found->elements[index].node);
    data->Reserved = index + 1;
    return TRUE;
}

BOOL DeviceTree::GetHardwareIdProperty(HDEVINFO list, SP_DEVINFO_DATA* data, DWORD property,
                                       DWORD* type, BYTE* buffer, DWORD size, DWORD* required) {
    const Element* element = FindElement(list, data);
    if (!element) {
        return FALSE;
    }
    const DeviceNode* node = Node(element->node);
    std::vector<BYTE> value;
    DWORD value_type = REG_MULTI_SZ;
    if (node && property == SPDRP_HARDWAREID) {
        value = node->hardware_ids;
    } else if (node && property == SPDRP_FRIENDLYNAME && !node->friendly_name.empty()) {
        value.assign(node->friendly_name.begin(), node->friendly_name.end());
        value.push_back(0);
        value_type = REG_SZ;
    }
    if (value.empty()) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    const auto needed = static_cast<DWORD>(value.size());
    if (required) {
        *required = needed;
    }
    if (type) {
        *type = value_type;
    }
    if (!buffer || size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(buffer, value.data(), needed);
    return TRUE;
}

BOOL DeviceTree::SetClassInstallParams(HDEVINFO list, SP_DEVINFO_DATA* data,
                                       const SP_CLASSINSTALL_HEADER* params, DWORD size) {
    Element* element = FindElement(list, data);
    if (!element) {
        return FALSE;
    }
    if (!params || params->cbSize != sizeof(SP_CLASSINSTALL_HEADER) ||
        params->InstallFunction != DIF_PROPERTYCHANGE || size != sizeof(SP_PROPCHANGE_PARAMS)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    SP_PROPCHANGE_PARAMS request;
    std::memcpy(&request, params, sizeof request);
    if (request.StateChange < DICS_ENABLE || request.StateChange > DICS_STOP ||
        (request.Scope != DICS_FLAG_GLOBAL && request.Scope != DICS_FLAG_CONFIGSPECIFIC)) {
        SetLastError(ERROR_INVALID_FLAGS);
        return FALSE;
    }
    DeviceNode* node = Node(element->node);
    if (!node || node->rejects_requests) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    element->params = request;
    node->accepted.push_back({request.StateChange, request.Scope, request.HwProfile});
    return TRUE;
}

bool DeviceTree::Apply(DeviceNode& node, const PropertyChangeRequest& request) {
    node.forced_status.reset();
    const bool global = request.scope == DICS_FLAG_GLOBAL;
    bool waits = false;
    if (request.state_change == DICS_DISABLE) {
        (global ? node.disabled_globally : node.disabled_in_profile) = true;
        const bool held_open = in_use_ && in_use_(node.number);
        if (node.started && node.change_needs_restart) {
            waits = true;
        } else if (node.started && !node.refuses_to_stop && !held_open) {
            node.started = false;
        }
    } else if (request.state_change == DICS_ENABLE) {
        (global ? node.disabled_globally : node.disabled_in_profile) = false;
        if (node.present && !node.Disabled()) {
            if (!node.started && node.change_needs_restart) {
                waits = true;
            } else {
                node.started = true;
            }
        }
    }
    // Still waiting while the run state disagrees with the flags; a change back ends the wait.
    node.restart_pending =
        node.present && (waits || (node.restart_pending && node.started == node.Disabled()));
    node.carried_out.push_back(request);
    return waits;
}

BOOL DeviceTree::CallClassInstaller(DI_FUNCTION function, HDEVINFO list, SP_DEVINFO_DATA* data) {
    Element* element = FindElement(list, data);
    if (!element) {
        return FALSE;
    }
    if (function != DIF_PROPERTYCHANGE || !element->params) {
        SetLastError(ERROR_DI_DO_DEFAULT);
        return FALSE;
    }
    DeviceNode* node = Node(element->node);
    if (!node) {
        SetLastError(ERROR_NO_SUCH_DEVINST);
        return FALSE;
    }
    const int number = node->number;
    const NodeFlags before = FlagsOf(*node);
    const bool interface_was_up = InterfaceUp(number);
    const PropertyChangeRequest request{element->params->StateChange, element->params->Scope,
                                        element->params->HwProfile};
    if (Apply(*node, request)) {
        element->install_flags |= DI_NEEDRESTART;
    }
    carried_out_.emplace_back(number, request);
    // Only a node that is in the tree changes it; an absent one keeps its flags for later.
    if (on_change_ && node->present && FlagsOf(*node) != before) {
        on_change_(number, interface_was_up);
    }
    return TRUE;
}

BOOL DeviceTree::GetInstanceId(HDEVINFO list, SP_DEVINFO_DATA* data, PSTR buffer, DWORD size,
                               DWORD* required) {
    const Element* element = FindElement(list, data);
    if (!element) {
        return FALSE;
    }
    const std::string id = InstanceId(element->node);
    if (id.empty()) {
        SetLastError(ERROR_NO_SUCH_DEVINST);
        return FALSE;
    }
    const auto needed = static_cast<DWORD>(id.size() + 1);
    if (required) {
        *required = needed;
    }
    if (!buffer || size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(buffer, id.c_str(), needed);
    return TRUE;
}

BOOL DeviceTree::GetInstallParams(HDEVINFO list, SP_DEVINFO_DATA* data,
                                  SP_DEVINSTALL_PARAMS_A* params) {
    // Without an element, the list's own parameters: nothing waits there.
    const Element* element = nullptr;
    if (data) {
        element = FindElement(list, data);
        if (!element) {
            return FALSE;
        }
    } else if (!FindList(list)) {
        return FALSE;
    }
    if (!params || params->cbSize != sizeof(SP_DEVINSTALL_PARAMS_A)) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return FALSE;
    }
    *params = SP_DEVINSTALL_PARAMS_A{};
    params->cbSize = sizeof(SP_DEVINSTALL_PARAMS_A);
    params->Flags = element ? element->install_flags : 0;
    return TRUE;
}

BOOL DeviceTree::DestroyList(HDEVINFO list) {
    auto it = lists_.find(reinterpret_cast<ULONG_PTR>(list));
    if (it == lists_.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    lists_.erase(it);
    resources_.Released(kinds::kDeviceList);
    return TRUE;
}

CONFIGRET DeviceTree::GetStatus(ULONG* status, ULONG* problem, DEVINST devinst, ULONG flags) const {
    if (!status || !problem) {
        return CR_INVALID_POINTER;
    }
    if (flags != 0) {
        return CR_INVALID_FLAG;
    }
    const auto current = Status(static_cast<int>(devinst));
    if (!current) {
        return CR_NO_SUCH_DEVINST;
    }
    *status = current->first;
    *problem = current->second;
    return CR_SUCCESS;
}

}  // namespace sim
