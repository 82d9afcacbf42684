// sim::Desktop: how a test or the console drives the machine as a person and other programs
// would. Every action returns once the machine is quiescent again: every program thread is
// blocked in a simulated wait.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/machine.h"

namespace sim {

struct WindowView {
    HWND hwnd;
    std::u16string class_name;
    std::u16string title;
    bool visible;
    bool enabled;
    ProcessId process;  // 0 for another program's window
};

class Desktop {
public:
    explicit Desktop(Machine& machine) : machine_(machine) {}

    // Starts a program as a new process whose main thread runs `entry`.
    ProcessId Start(std::function<void()> entry);
    bool Running(ProcessId process) const { return machine_.kernel().ProcessRunning(process); }
    void Wait(Millis ms) { machine_.kernel().Advance(ms); }
    void Settle() { machine_.kernel().Settle(); }

    // Windows.
    std::vector<WindowView> TopLevelWindows() const;
    HWND FindTopLevel(std::u16string_view class_name, std::u16string_view title) const;
    std::optional<LRESULT> Send(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    bool Post(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    // A top-level window of another program; class "" gives a plain window class.
    HWND OpenWindow(std::u16string class_name, std::u16string title);
    bool CloseWindow(HWND hwnd);
    // The window the user last saw open: the most recently shown top-level window that is still
    // visible, of any program; null when none is.
    HWND ActiveWindow() const { return machine_.windows().LastShownTopLevel(); }
    // The close box of the active window: WM_SYSCOMMAND SC_CLOSE to a program's window, for
    // another program's window as CloseWindow. False when no window is open or it is disabled.
    bool CloseActiveWindow();
    bool ShowWindow(HWND hwnd, int command);
    // A key press in a window: WM_KEYDOWN to its focused control, or to the window itself.
    bool PressKey(HWND top_level, UINT virtual_key);
    bool ClickButton(HWND button);

    // The notification area.
    const std::vector<TrayIcon>& TrayIcons() const { return machine_.tray().Icons(); }
    bool TrayEvent(HWND hwnd, UINT id, UINT mouse_message);
    void ShellRestart() { machine_.tray().Restart(); }

    // The open popup menu.
    bool MenuOpen() const { return machine_.menus().IsOpen(); }
    std::vector<MenuItemView> MenuItems() const { return machine_.menus().OpenItems(); }
    bool ChooseMenuItem(std::u16string_view text) { return machine_.menus().Choose(text); }
    bool DismissMenu() { return machine_.menus().Dismiss(); }

    // The open file dialog (the one shown last, should there be more).
    bool FileDialogOpen() const { return machine_.file_dialogs().IsOpen(); }
    // Picks the file at `path` (UTF-8, as the user types it), or cancels with nullopt; false when
    // no file dialog is open or the path is empty.
    bool AnswerFileDialog(std::optional<std::string> path);

private:
    Machine& machine_;
};

}  // namespace sim
