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
    bool topmost;       // WS_EX_TOPMOST
};

// A control as a person sees it in a window.
struct ControlView {
    HWND hwnd = nullptr;
    int id = 0;
    // "checkbox", "radio", "button", "iconbutton", "trackbar", "edit" or "hotkey".
    std::string kind;
    std::u16string text;
    bool checked = false;  // check boxes and radio buttons
    // The control, every window it sits in and its top-level window are enabled.
    bool enabled = false;
    int min = 0, max = 0, pos = 0;  // trackbars
    WORD hotkey = 0;                // hotkey controls: HKM_GETHOTKEY's answer
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
    // Another program's SendMessage and PostMessage as Windows carries them between programs
    // (see WindowManager::SendFromOtherProgram): `data` is what the sender's pointer parameter
    // points at, for a message whose data the system copies.
    OutsideMessageResult SendFromOtherProgram(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                              std::optional<MessageData> data = std::nullopt);
    OutsideMessageResult PostFromOtherProgram(HWND hwnd, UINT message, WPARAM wparam,
                                              LPARAM lparam);
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
    // Another program calls EnableWindow on the window (of any program). False when there is no
    // such window.
    bool EnableWindow(HWND hwnd, bool enable);
    // A key press in a window: WM_KEYDOWN to its focused control, or to the window itself.
    bool PressKey(HWND top_level, UINT virtual_key);

    // Controls. The controls a person can see in a top-level window, in creation order, with the
    // controls of a visible child dialog (a page) where the page is among its parent's children.
    // Group boxes, static texts, tab controls and hidden windows are left out.
    std::vector<ControlView> VisibleControls(HWND top_level) const;
    // The visible control with that id; pages share ids, so one on a hidden page never counts.
    HWND VisibleControl(HWND top_level, int id) const;
    // The mouse's button pressed and let go on the control, posted as the mouse posts it (on a
    // trackbar: on its thumb). False, and nothing happens, for a hidden or disabled control.
    bool ClickControl(HWND control);
    bool ClickButton(HWND button) { return ClickControl(button); }
    // The mouse's button goes down on a visible, enabled button and stays down: the button shows
    // pushed (BST_PUSHED) until it is let go. False, and nothing happens, for a hidden or disabled
    // button, for another control, or while the mouse already holds a button down.
    bool PressButton(HWND button);
    // The mouse lets go over the held button, which clicks it. False when the mouse was not
    // holding that button or the button lost its press meanwhile (disabled, say), as it does on
    // Windows; the mouse is let go either way.
    bool ReleaseButton(HWND button);
    // The button the mouse holds down with its press still on; null when none.
    HWND HeldButton() const;
    // The trackbar's thumb dragged with the mouse to `position` (clamped) and let go.
    bool DragTrackbar(HWND trackbar, int position);
    // The control takes the keyboard focus and the key goes down and up on it.
    bool PressKeyOn(HWND control, UINT virtual_key);
    // A key pressed in a window with Shift, Ctrl or Alt (VK_SHIFT, VK_CONTROL, VK_MENU) held
    // down meanwhile: as PressKey, and with Alt held a system key (WM_SYSKEYDOWN).
    bool PressKeyWith(HWND top_level, const std::vector<UINT>& held, UINT virtual_key);
    // The control with the keyboard focus in the window, as `VisibleControls` shows it (a tab
    // control as kind "tab", with its selected tab's text); nullopt when the focus is elsewhere.
    std::optional<ControlView> FocusedControl(HWND top_level) const;
    // A person types a key combination into a hotkey control (msctls_hotkey32): it takes the
    // focus, the modifiers (MOD_CONTROL, MOD_ALT, MOD_SHIFT) go down in that order, the key goes
    // down and up, and the modifiers come up again, each a posted key message. False, and
    // nothing happens, for a hidden or disabled control, another control, or MOD_WIN, which a
    // hotkey control cannot hold.
    bool TypeIntoHotkeyControl(HWND control, UINT modifiers, UINT virtual_key);
    // A click on the trackbar's track, before the thumb or after it: the thumb moves a page.
    bool ClickTrack(HWND trackbar, bool after_thumb);
    // A click on the tab `index` of a tab control, as a person makes it.
    bool SelectTab(HWND tab, int index);
    // The window is uncovered: it and every visible window in it are painted again.
    bool Repaint(HWND top_level);

    // The display. A new layout or scale tells every window whose monitor's scale changed
    // (WM_DPICHANGED); a window on a monitor that went stays where it was. False, changing
    // nothing, for a layout or scale out of the display's limits.
    const std::vector<Monitor>& Monitors() const { return machine_.display().Monitors(); }
    bool SetMonitors(const std::vector<MonitorSize>& sizes);
    bool SetMonitorDpi(std::size_t index, UINT dpi);
    // A person drags the window by its caption until its top-left corner is at `corner`. False
    // for no such window or a hidden one.
    bool MoveWindow(HWND hwnd, POINT corner);
    // The mouse pointer moves to a point of the screen, without a window hearing of it.
    void MovePointer(POINT point) { machine_.windows().SetCursor(point); }
    POINT Pointer() const { return machine_.windows().cursor(); }

    // System-wide keys. A key combination pressed anywhere on the desktop (MOD_ALT, MOD_CONTROL,
    // MOD_SHIFT, MOD_WIN held): the program that registered exactly that combination gets
    // WM_HOTKEY posted, as Windows posts it; false, and nothing happens, when no one holds it.
    bool PressKeyAnywhere(UINT modifiers, UINT virtual_key);
    // Another program registers the combination on a hidden window of its own (titled
    // kHotkeyTakerTitle, made at the first call): ERROR_SUCCESS, or RegisterHotKey's error
    // (ERROR_HOTKEY_ALREADY_REGISTERED when someone holds it).
    static constexpr std::u16string_view kHotkeyTakerTitle = u"Another program";
    DWORD TakeHotkey(UINT modifiers, UINT virtual_key);
    // The registered keys, oldest first.
    const std::vector<Hotkey>& Hotkeys() const { return machine_.hotkeys().All(); }

    // The notification area.
    const std::vector<TrayIcon>& TrayIcons() const { return machine_.tray().Icons(); }
    // The balloons shown lately (see Tray::Balloons), and how many were shown in all.
    const std::vector<ShownBalloon>& Balloons() const { return machine_.tray().Balloons(); }
    std::uint64_t BalloonCount() const { return machine_.tray().BalloonCount(); }
    bool TrayEvent(HWND hwnd, UINT id, UINT mouse_message);
    void ShellRestart() { machine_.tray().Restart(); }

    // Devices as a person installs, plugs, unplugs and uninstalls them: the tree changes and the
    // system tells the windows, as Windows does when a node comes or goes: DBT_DEVNODES_CHANGED
    // to every top-level window, and a camera's video interface (KSCATEGORY_VIDEO) arriving
    // (DBT_DEVICEARRIVAL, when its node starts) or going (DBT_DEVICEREMOVECOMPLETE) to the
    // windows registered for that class. A node installed absent, plugging a node that is in,
    // unplugging one that is out, or uninstalling an absent one tells nothing. The Plug, Unplug,
    // Add and Remove of machine.devices() change the tree silently, for setting a test up.
    int AddDevice(const std::vector<std::string>& hardware_ids, bool present = true);
    bool RemoveDevice(int number);
    bool PlugDevice(int number);
    bool UnplugDevice(int number);
    // Another program (Device Manager) disables the node for every hardware profile, or enables
    // it again; a node that refuses to stop keeps running until it is enabled. False when there
    // is no such node.
    bool SetDeviceDisabled(int number, bool disabled);

    // The machine goes to sleep / wakes (see SystemEvents); false when it sleeps already / is
    // awake.
    bool Suspend() { return machine_.system_events().Suspend(); }
    bool Resume() { return machine_.system_events().Resume(); }

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
    void CollectControls(HWND parent, std::vector<ControlView>& views) const;
    // Shown and enabled, with everything it sits in: what a person can operate.
    bool Operable(HWND control) const;
    bool InterfaceUp(int number) const { return machine_.devices().InterfaceUp(number); }

    Machine& machine_;
    HWND held_ = nullptr;  // where the mouse's button went down and stays
    HWND hotkey_taker_ = nullptr;
    int next_taken_id_ = 1;
};

}  // namespace sim
