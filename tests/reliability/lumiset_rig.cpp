#include "tests/reliability/lumiset_rig.h"

#include <algorithm>
#include <map>
#include <sstream>

#include "framework/win_app.h"
#include "res/resource_bytes.h"

namespace reliability {

namespace {

constexpr const char* kKey = "SOFTWARE\\Corvance\\CV Lumen Webcam";
constexpr std::string_view kValue = "DeviceEnable";
constexpr std::string_view kRememberedValue = "PowerLineFrequency";

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::string Describe(const sim::RegistryValue& value) {
    std::ostringstream text;
    text << "type " << value.type << ", " << value.data.size() << " bytes";
    if (const auto number = value.AsDword()) {
        text << ", " << *number;
    }
    return text.str();
}

// What the program writes: a REG_DWORD of four bytes, 1 or 0.
bool WrittenByTheProgram(const sim::RegistryValue& value) {
    const auto number = value.AsDword();
    return value.type == REG_DWORD && value.data.size() == 4 && number && *number <= 1;
}

// The release operations whose failure leaves the handle it was given still open: the kind it
// leaves behind.
std::string_view KindLeftByFailedRelease(std::string_view operation) {
    static const std::map<std::string_view, std::string_view> kinds = {
        {"RegCloseKey", "registry key"}, {"SetupDiDestroyDeviceInfoList", "device list"},
        {"DestroyIcon", "icon"},         {"DeleteObject", "bitmap"},
        {"DestroyMenu", "menu"},         {"UnregisterDeviceNotification", "device notification"},
    };
    auto it = kinds.find(operation);
    return it == kinds.end() ? std::string_view() : it->second;
}

}  // namespace

std::string DescribeCounts(const std::map<std::string, int>& counts) {
    std::string text;
    for (const auto& [kind, count] : counts) {
        text += (text.empty() ? "" : ", ") + kind + " " + std::to_string(count);
    }
    return text.empty() ? "nothing" : text;
}

LumisetRig::LumisetRig() {
    machine.program().LoadResources(LumisetResourceBytes());
    camera = &machine.video().PlugInCamera(sim::CameraModel::A);
    camera->driver.ConfigurePowerLine(2);
    camera_node = camera->node;
    machine.registry().OnProgramWrite([this](std::string_view name,
                                             const std::optional<sim::RegistryValue>& before,
                                             const sim::RegistryValue& after) {
        if (SameName(name, kValue)) {
            CheckWrite(before, after);
        } else if (SameName(name, kRememberedValue)) {
            CheckRememberedWrite(after);
        }
    });
}

LumisetRig::~LumisetRig() {
    machine.faults().ClearAll();
    End();
    machine.registry().OnProgramWrite(nullptr);
}

void LumisetRig::CheckWrite(const std::optional<sim::RegistryValue>& before,
                            const sim::RegistryValue& after) {
    if (!WrittenByTheProgram(after)) {
        violations_.push_back("wrote " + Describe(after));
        return;
    }
    const bool was_readable = before && before->data.size() <= 4;
    if (!was_readable || *after.AsDword() == *before->AsDword()) {
        return;  // the default where nothing could be read, or no change
    }
    // A change: only after the device operation it records reported success. Disabling
    // judges by the node's state; enabling by the acceptance of its request.
    const sim::DeviceNode* node = machine.devices().Node(camera_node);
    if (*after.AsDword() == 0) {
        if (!node || !node->Disabled()) {
            violations_.push_back("stored 0 while the camera is not disabled");
        }
        // Nor while another camera runs that nobody told to stop (a roll-back started it again).
        for (const int number : machine.devices().Numbers()) {
            const sim::DeviceNode* other = machine.devices().Node(number);
            if (other->present && other->started && !other->Disabled() &&
                sim::HasCameraInterface(other->hardware_ids)) {
                violations_.push_back("stored 0 while camera node " + std::to_string(number) +
                                      " runs");
            }
        }
    } else if (!default_may_replace_ && (!node || node->accepted.empty() ||
                                         node->accepted.back().state_change != DICS_ENABLE)) {
        violations_.push_back("stored 1 without an accepted enable request (was " +
                              Describe(*before) + ")");
    }
}

void LumisetRig::CheckRememberedWrite(const sim::RegistryValue& after) {
    // 1 or 2, and only what the camera holds: written once the camera took it.
    const auto number = after.AsDword();
    if (after.type != REG_DWORD || after.data.size() != 4 || !number || *number < 1 ||
        *number > 2) {
        violations_.push_back("remembered " + Describe(after));
    } else if (static_cast<std::int32_t>(*number) != camera->driver.PowerLine()) {
        violations_.push_back("remembered " + std::to_string(*number) + " while the camera holds " +
                              std::to_string(camera->driver.PowerLine()));
    }
}

sim::ProcessId LumisetRig::Start(std::string command_line) {
    const sim::ProcessId process = desktop.Start([command_line]() mutable {
        AfxWinMain(GetModuleHandleA(nullptr), nullptr, command_line.data(), SW_SHOWDEFAULT);
    });
    if (process_ == 0) {
        process_ = process;
    }
    processes_.push_back(process);
    return process;
}

sim::ProcessId LumisetRig::Restart() {
    process_ = Start();
    return process_;
}

void LumisetRig::Command(WORD id) {
    if (const HWND host = Host()) {
        desktop.Post(host, WM_COMMAND, id, 0);
    }
}

void LumisetRig::OpenSettings(WPARAM tab) {
    if (const HWND host = Host()) {
        desktop.Post(host, machine.windows().RegisterMessage(u"LumisetShowSettings"), tab, 0);
    }
}

bool LumisetRig::TrayEvent(UINT mouse_message) {
    for (const sim::TrayIcon& icon : desktop.TrayIcons()) {
        if (icon.hwnd == Host()) {
            return desktop.TrayEvent(icon.hwnd, icon.id, mouse_message);
        }
    }
    return false;
}

bool LumisetRig::ChooseFromTray(std::u16string_view item) {
    if (!desktop.MenuOpen()) {
        TrayEvent(WM_RBUTTONUP);
    }
    if (!desktop.MenuOpen()) {
        return false;
    }
    if (desktop.ChooseMenuItem(item)) {
        return true;
    }
    desktop.DismissMenu();
    return false;
}

HWND LumisetRig::Settings() const {
    return desktop.FindTopLevel(u"#32770", u"CV Lumen Webcam Settings");
}

HWND LumisetRig::Zoom() const {
    return desktop.FindTopLevel(u"#32770", u" Zoom");
}

void LumisetRig::Click(HWND window, int id) {
    if (window) {
        if (const HWND control = desktop.VisibleControl(window, id)) {
            desktop.ClickControl(control);
        }
    }
}

void LumisetRig::Drag(HWND window, int id, int position) {
    if (window) {
        if (const HWND control = desktop.VisibleControl(window, id)) {
            desktop.DragTrackbar(control, position);
        }
    }
}

void LumisetRig::CloseBox(HWND window) {
    if (window) {
        desktop.Post(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

bool LumisetRig::AnyRunning() const {
    return std::any_of(processes_.begin(), processes_.end(),
                       [this](sim::ProcessId process) { return desktop.Running(process); });
}

bool LumisetRig::End() {
    if (desktop.MenuOpen()) {
        desktop.DismissMenu();
    }
    if (desktop.FileDialogOpen()) {
        desktop.AnswerFileDialog(std::nullopt);
    }
    if (const HWND held = desktop.HeldButton()) {
        desktop.ReleaseButton(held);
    }
    // Copies that could not see each other run side by side: each gets its Exit.
    for (int copies = 0; copies < 4 && Host(); ++copies) {
        const HWND host = Host();
        Command(32772);
        // A modal window still open keeps the host's loop from ending: close them as a person
        // would.
        for (int open = 0; open < 8 && host == Host() && desktop.CloseActiveWindow(); ++open) {
        }
        if (host == Host()) {
            break;
        }
    }
    for (int second = 0; second < 10 && AnyRunning(); ++second) {
        desktop.Wait(1000);
    }
    return !AnyRunning();
}

std::vector<std::string> LumisetRig::Leftovers(std::string_view failing_operation) const {
    std::vector<std::string> left;
    auto& machine_ref = const_cast<sim::Machine&>(machine);
    const std::string_view excused = KindLeftByFailedRelease(failing_operation);
    for (const auto& [kind, count] : machine_ref.resources().Outstanding()) {
        if (kind == excused && count > 0) {
            continue;
        }
        left.push_back(kind + " " + std::to_string(count));
    }
    if (const int apartments = machine_ref.apartments().Outstanding(); apartments != 0) {
        left.push_back("COM initialisation " + std::to_string(apartments));
    }
    for (const std::string& call : machine_ref.apartments().CallsAfterUninitialize()) {
        left.push_back("COM call after CoUninitialize: " + call);
    }
    // A failed NIM_DELETE leaves the icon with the shell until it restarts.
    for (const sim::TrayIcon& icon : machine_ref.tray().Icons()) {
        if (failing_operation == "Shell_NotifyIconA") {
            continue;
        }
        left.push_back("tray icon " + std::to_string(icon.id));
    }
    return left;
}

std::vector<std::string> LumisetRig::HeldBetweenActions(std::string_view failing_operation) const {
    std::vector<std::string> held;
    bool window_open = desktop.MenuOpen();
    for (const sim::WindowView& window : desktop.TopLevelWindows()) {
        window_open = window_open || (window.process != 0 && window.visible);
    }
    if (window_open) {
        return held;  // a page, dialog or frame holds what it needs while it is open
    }
    auto& machine_ref = const_cast<sim::Machine&>(machine);
    const sim::ResourceCounter& counts = machine_ref.resources();
    const std::string_view excused = KindLeftByFailedRelease(failing_operation);
    // Each copy running keeps its own registry handle and device events' registration.
    const auto copies =
        std::count_if(processes_.begin(), processes_.end(),
                      [this](sim::ProcessId process) { return desktop.Running(process); });
    for (std::string_view kind : {"device list", "menu", "bitmap", "icon", "COM task memory",
                                  "BSTR", "registry key", "device notification"}) {
        const bool kept = kind == "registry key" || kind == "device notification";
        const int allowed = kept ? static_cast<int>(copies) : 0;
        if (kind != excused && counts.Open(kind) > allowed) {
            held.push_back(std::string(kind) + " " + std::to_string(counts.Open(kind)));
        }
    }
    if (counts.Open("thread handle") == 0 && counts.Open("COM reference") != 0) {
        held.push_back("COM reference " + std::to_string(counts.Open("COM reference")));
    }
    return held;
}

std::string LumisetRig::StoredValueProblem() const {
    const auto value =
        const_cast<sim::Machine&>(machine).registry().GetValue(HKEY_LOCAL_MACHINE, kKey, kValue);
    if (!value || WrittenByTheProgram(*value)) {
        return {};
    }
    return "stored value holds " + Describe(*value);
}

void LumisetRig::DeleteStoredSetting() {
    machine.registry().DeleteValue(HKEY_LOCAL_MACHINE, kKey, kValue);
}

void LumisetRig::StoreSettingFromOutside(std::optional<DWORD> value) {
    if (value) {
        machine.registry().SetDword(HKEY_LOCAL_MACHINE, kKey, kValue, *value);
    } else {
        DeleteStoredSetting();
    }
}

}  // namespace reliability
