#include "platform/sim/desktop.h"

#include "platform/sim/api/win32_dshow.h"
#include "platform/sim/codepage.h"

namespace sim {

namespace {

bool IsClass(const Window& window, std::u16string_view name) {
    return SameTextIgnoringCase(window.class_name, name);
}

// What a person takes the control for; nullopt for what is not a control one operates.
std::optional<std::string> KindOf(const Window& window) {
    if (IsClass(window, u"Button")) {
        switch (window.style & BS_TYPEMASK) {
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_3STATE:
            case BS_AUTO3STATE:
                return "checkbox";
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON:
                return "radio";
            case BS_GROUPBOX:
                return std::nullopt;
            default:
                return (window.style & (BS_ICON | BS_BITMAP)) ? "iconbutton" : "button";
        }
    }
    if (IsClass(window, u"msctls_trackbar32")) {
        return "trackbar";
    }
    if (IsClass(window, u"Edit")) {
        return "edit";
    }
    if (IsClass(window, u"msctls_hotkey32")) {
        return "hotkey";
    }
    return std::nullopt;
}

// A point in the middle of the window, in its client coordinates, for the mouse.
LPARAM Middle(const Window& window) {
    return MAKELPARAM((window.rect.right - window.rect.left) / 2,
                      (window.rect.bottom - window.rect.top) / 2);
}

}  // namespace

ProcessId Desktop::Start(std::function<void()> entry) {
    Kernel& kernel = machine_.kernel();
    const ProcessId process = kernel.NewProcess();
    kernel.StartThread(process, std::move(entry));
    kernel.Settle();
    return process;
}

std::vector<WindowView> Desktop::TopLevelWindows() const {
    std::vector<WindowView> views;
    const WindowManager& windows = machine_.windows();
    for (HWND hwnd : windows.TopLevelWindows()) {
        const Window* window = windows.Find(hwnd);
        views.push_back(WindowView{hwnd, window->class_name, window->title, window->Visible(),
                                   window->Enabled(), window->process,
                                   (window->ex_style & WS_EX_TOPMOST) != 0});
    }
    return views;
}

HWND Desktop::FindTopLevel(std::u16string_view class_name, std::u16string_view title) const {
    return machine_.windows().FindTopLevel(class_name, title);
}

std::optional<LRESULT> Desktop::Send(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return machine_.windows().SendFromOutside(hwnd, message, wparam, lparam);
}

OutsideMessageResult Desktop::SendFromOtherProgram(HWND hwnd, UINT message, WPARAM wparam,
                                                   LPARAM lparam, std::optional<MessageData> data) {
    return machine_.windows().SendFromOtherProgram(hwnd, message, wparam, lparam, data);
}

OutsideMessageResult Desktop::PostFromOtherProgram(HWND hwnd, UINT message, WPARAM wparam,
                                                   LPARAM lparam) {
    OutsideMessageResult result =
        machine_.windows().PostFromOtherProgram(hwnd, message, wparam, lparam);
    Settle();
    return result;
}

bool Desktop::Post(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    const bool posted = machine_.windows().Post(hwnd, message, wparam, lparam);
    Settle();
    return posted;
}

HWND Desktop::OpenWindow(std::u16string class_name, std::u16string title) {
    if (class_name.empty()) {
        class_name = u"OtherProgramWindow";
    }
    const HWND hwnd = machine_.windows().Create(std::move(class_name), std::move(title),
                                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, nullptr,
                                                0, RECT{100, 100, 500, 400}, nullptr);
    machine_.windows().Show(hwnd, SW_SHOW);
    Settle();
    return hwnd;
}

bool Desktop::CloseWindow(HWND hwnd) {
    const Window* window = machine_.windows().Find(hwnd);
    if (!window || window->thread != 0) {
        return false;
    }
    const bool closed = machine_.windows().Destroy(hwnd);
    Settle();
    return closed;
}

bool Desktop::CloseActiveWindow() {
    const HWND hwnd = ActiveWindow();
    const Window* window = machine_.windows().Find(hwnd);
    if (!window || !window->Enabled()) {
        return false;
    }
    if (window->thread == 0) {
        return CloseWindow(hwnd);
    }
    machine_.windows().Post(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    Settle();
    return true;
}

bool Desktop::ShowWindow(HWND hwnd, int command) {
    if (!machine_.windows().Find(hwnd)) {
        return false;
    }
    machine_.windows().Show(hwnd, command);
    Settle();
    return true;
}

bool Desktop::SetMonitors(const std::vector<MonitorSize>& sizes) {
    if (!machine_.display().SetLayout(sizes)) {
        return false;
    }
    machine_.windows().DisplayChanged();
    Settle();
    return true;
}

bool Desktop::SetMonitorDpi(std::size_t index, UINT dpi) {
    if (!machine_.display().SetDpi(index, dpi)) {
        return false;
    }
    machine_.windows().DisplayChanged();
    Settle();
    return true;
}

bool Desktop::MoveWindow(HWND hwnd, POINT corner) {
    const Window* window = machine_.windows().Find(hwnd);
    if (!window || !window->TopLevel() || !window->Visible()) {
        return false;
    }
    machine_.windows().SetPosition(hwnd, nullptr, corner.x, corner.y, 0, 0,
                                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Settle();
    return true;
}

bool Desktop::EnableWindow(HWND hwnd, bool enable) {
    if (!machine_.windows().Find(hwnd)) {
        return false;
    }
    machine_.windows().Enable(hwnd, enable);
    Settle();
    return true;
}

bool Desktop::PressKey(HWND top_level, UINT virtual_key) {
    return PressKeyWith(top_level, {}, virtual_key);
}

std::vector<ControlView> Desktop::VisibleControls(HWND top_level) const {
    std::vector<ControlView> views;
    if (machine_.windows().ShownOnScreen(top_level)) {
        CollectControls(top_level, views);
    }
    return views;
}

void Desktop::CollectControls(HWND parent, std::vector<ControlView>& views) const {
    const WindowManager& windows = machine_.windows();
    for (HWND child : windows.Children(parent)) {
        const Window& window = *windows.Find(child);
        if (!window.Visible()) {
            continue;
        }
        if (IsClass(window, u"#32770")) {
            CollectControls(child, views);
            continue;
        }
        const auto kind = KindOf(window);
        if (!kind) {
            continue;
        }
        ControlView view{};
        view.hwnd = child;
        view.id = window.id;
        view.kind = *kind;
        view.text = window.title;
        view.checked = window.check == BST_CHECKED;
        view.enabled = windows.EnabledWithParents(child);
        if (*kind == "trackbar") {
            view.min = window.trackbar.min;
            view.max = window.trackbar.max;
            view.pos = window.trackbar.pos;
        }
        view.hotkey = window.hotkey;
        views.push_back(std::move(view));
    }
}

HWND Desktop::VisibleControl(HWND top_level, int id) const {
    for (const ControlView& control : VisibleControls(top_level)) {
        if (control.id == id) {
            return control.hwnd;
        }
    }
    return nullptr;
}

bool Desktop::Operable(HWND control) const {
    const WindowManager& windows = machine_.windows();
    return windows.Find(control) && windows.ShownOnScreen(control) &&
           windows.EnabledWithParents(control);
}

bool Desktop::ClickControl(HWND control) {
    if (!Operable(control)) {
        return false;
    }
    WindowManager& windows = machine_.windows();
    const LPARAM point = Middle(*windows.Find(control));
    windows.Post(control, WM_LBUTTONDOWN, MK_LBUTTON, point);
    windows.Post(control, WM_LBUTTONUP, 0, point);
    Settle();
    return true;
}

HWND Desktop::HeldButton() const {
    const Window* button = machine_.windows().Find(held_);
    return button && button->mouse_down ? held_ : nullptr;
}

bool Desktop::PressButton(HWND button) {
    if (HeldButton()) {
        return false;  // one mouse button, already down
    }
    held_ = nullptr;
    WindowManager& windows = machine_.windows();
    if (!Operable(button)) {
        return false;
    }
    const auto kind = KindOf(*windows.Find(button));
    if (!kind ||
        (*kind != "button" && *kind != "iconbutton" && *kind != "checkbox" && *kind != "radio")) {
        return false;
    }
    held_ = button;
    windows.Post(button, WM_LBUTTONDOWN, MK_LBUTTON, Middle(*windows.Find(button)));
    Settle();
    return true;
}

bool Desktop::ReleaseButton(HWND button) {
    if (!button || held_ != button) {
        return false;
    }
    const bool pressed = HeldButton() != nullptr;
    held_ = nullptr;
    if (!pressed) {
        return false;
    }
    // The button holds the mouse's capture: the release reaches it wherever the mouse is.
    WindowManager& windows = machine_.windows();
    windows.Post(button, WM_LBUTTONUP, 0, Middle(*windows.Find(button)));
    Settle();
    return true;
}

bool Desktop::DragTrackbar(HWND trackbar, int position) {
    WindowManager& windows = machine_.windows();
    if (!Operable(trackbar) || !IsClass(*windows.Find(trackbar), u"msctls_trackbar32")) {
        return false;
    }
    const LPARAM point = Middle(*windows.Find(trackbar));
    windows.Find(trackbar)->trackbar.drag_to = position;
    windows.Post(trackbar, WM_LBUTTONDOWN, MK_LBUTTON, point);
    windows.Post(trackbar, WM_MOUSEMOVE, MK_LBUTTON, point);
    windows.Post(trackbar, WM_LBUTTONUP, 0, point);
    Settle();
    if (Window* after = windows.Find(trackbar)) {
        after->trackbar.drag_to.reset();  // the mouse has gone, whatever the program let through
    }
    return true;
}

bool Desktop::PressKeyOn(HWND control, UINT virtual_key) {
    if (!Operable(control)) {
        return false;
    }
    WindowManager& windows = machine_.windows();
    windows.SetFocus(control);
    windows.Post(control, WM_KEYDOWN, virtual_key, 1);
    windows.Post(control, WM_KEYUP, virtual_key, static_cast<LPARAM>(0xC0000001u));
    Settle();
    return true;
}

bool Desktop::SelectTab(HWND tab, int index) {
    WindowManager& windows = machine_.windows();
    if (!Operable(tab)) {
        return false;
    }
    const Window& window = *windows.Find(tab);
    if (!IsClass(window, u"SysTabControl32") || index < 0 ||
        index >= static_cast<int>(window.tab.items.size())) {
        return false;
    }
    const POINT point = Controls::TabPoint(index);
    windows.Post(tab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    windows.Post(tab, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    Settle();
    return true;
}

bool Desktop::Repaint(HWND top_level) {
    WindowManager& windows = machine_.windows();
    if (!windows.ShownOnScreen(top_level)) {
        return false;
    }
    windows.Invalidate(top_level, true, WindowManager::Reach::kAllChildren);
    Settle();
    return true;
}

bool Desktop::AnswerFileDialog(std::optional<std::string> path) {
    if (!path) {
        return machine_.file_dialogs().Answer(std::nullopt);
    }
    return machine_.file_dialogs().Answer(Utf8ToUtf16(*path));
}

bool Desktop::TrayEvent(HWND hwnd, UINT id, UINT mouse_message) {
    return machine_.tray().MouseEvent(hwnd, id, mouse_message);
}

int Desktop::AddDevice(const std::vector<std::string>& hardware_ids, bool present) {
    DeviceTree& devices = machine_.devices();
    const int number = devices.Add(hardware_ids, present);
    if (present) {
        machine_.system_events().DeviceNodesChanged();
        if (InterfaceUp(number)) {
            machine_.system_events().InterfaceArrived(KSCATEGORY_VIDEO,
                                                      devices.CameraInterfacePath(number));
        }
    }
    return number;
}

bool Desktop::RemoveDevice(int number) {
    DeviceTree& devices = machine_.devices();
    const DeviceNode* node = devices.Node(number);
    if (!node) {
        return false;
    }
    const bool present = node->present;
    const bool interface_up = InterfaceUp(number);
    const std::string path = devices.CameraInterfacePath(number);
    devices.Remove(number);
    if (interface_up) {
        machine_.system_events().InterfaceRemoved(KSCATEGORY_VIDEO, path);
    }
    if (present) {
        machine_.system_events().DeviceNodesChanged();
    }
    return true;
}

bool Desktop::PlugDevice(int number) {
    DeviceTree& devices = machine_.devices();
    const DeviceNode* node = devices.Node(number);
    if (!node) {
        return false;
    }
    if (node->present) {
        return true;
    }
    devices.Plug(number);
    machine_.system_events().DeviceNodesChanged();
    if (InterfaceUp(number)) {
        machine_.system_events().InterfaceArrived(KSCATEGORY_VIDEO,
                                                  devices.CameraInterfacePath(number));
    }
    return true;
}

bool Desktop::SetDeviceDisabled(int number, bool disabled) {
    DeviceTree& devices = machine_.devices();
    DeviceNode* node = devices.Node(number);
    if (!node) {
        return false;
    }
    const bool interface_was_up = InterfaceUp(number);
    node->disabled_globally = disabled;
    if (disabled) {
        node->started = node->started && node->refuses_to_stop;
    } else {
        node->disabled_in_profile = false;
        node->started = true;
    }
    const bool interface_up = InterfaceUp(number);
    if (interface_was_up && !interface_up) {
        machine_.system_events().InterfaceRemoved(KSCATEGORY_VIDEO,
                                                  devices.CameraInterfacePath(number));
    }
    if (node->present) {
        machine_.system_events().DeviceNodesChanged();
    }
    if (interface_up && !interface_was_up) {
        machine_.system_events().InterfaceArrived(KSCATEGORY_VIDEO,
                                                  devices.CameraInterfacePath(number));
    }
    return true;
}

bool Desktop::UnplugDevice(int number) {
    DeviceTree& devices = machine_.devices();
    const DeviceNode* node = devices.Node(number);
    if (!node) {
        return false;
    }
    if (!node->present) {
        return true;
    }
    const bool interface_up = InterfaceUp(number);
    devices.Unplug(number);
    if (interface_up) {
        machine_.system_events().InterfaceRemoved(KSCATEGORY_VIDEO,
                                                  devices.CameraInterfacePath(number));
    }
    machine_.system_events().DeviceNodesChanged();
    return true;
}

}  // namespace sim
