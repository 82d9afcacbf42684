#include "platform/sim/desktop.h"

#include "platform/sim/codepage.h"

namespace sim {

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
                                   window->Enabled(), window->process});
    }
    return views;
}

HWND Desktop::FindTopLevel(std::u16string_view class_name, std::u16string_view title) const {
    return machine_.windows().FindTopLevel(class_name, title);
}

std::optional<LRESULT> Desktop::Send(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return machine_.windows().SendFromOutside(hwnd, message, wparam, lparam);
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

bool Desktop::PressKey(HWND top_level, UINT virtual_key) {
    WindowManager& windows = machine_.windows();
    const Window* window = windows.Find(top_level);
    if (!window) {
        return false;
    }
    HWND target = windows.Focus(window->thread);
    if (!target) {
        target = top_level;
    }
    windows.Post(target, WM_KEYDOWN, virtual_key, 1);
    windows.Post(target, WM_KEYUP, virtual_key, static_cast<LPARAM>(0xC0000001u));
    Settle();
    return true;
}

bool Desktop::ClickButton(HWND button) {
    const Window* window = machine_.windows().Find(button);
    if (!window) {
        return false;
    }
    machine_.windows().Post(button, WM_LBUTTONUP, 0, 0);
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

}  // namespace sim
