// The console's command language: one command a line, acting on a simulated desktop on which
// Lumiset runs. Each command prints only what it is documented to print.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/desktop.h"

namespace console {

class Console {
public:
    // `start_lumiset` runs Lumiset's entry, with the command line given, on the calling program
    // thread.
    using StartFunction = std::function<void(const std::string& command_line)>;
    Console(sim::Machine& machine, StartFunction start_lumiset, std::ostream& out);
    // For a start function that takes no command line.
    Console(sim::Machine& machine, std::function<void()> start_lumiset, std::ostream& out);

    // Starts a copy of Lumiset, as at logon when the command line is empty.
    void StartLumiset(const std::string& command_line = "");
    // Runs one line; false when it was a command the console could not take (it printed why).
    bool Execute(std::string_view line);
    bool quit_requested() const { return quit_requested_; }
    // For a person at a terminal: errors suggest what was meant (a script's errors stay as they
    // always were).
    void set_for_person(bool for_person) { for_person_ = for_person; }
    // The names of every command Execute takes.
    static std::vector<std::string_view> CommandNames();
    // The copies of Lumiset started so far, running or not.
    const std::vector<sim::ProcessId>& lumiset_processes() const { return lumiset_processes_; }
    // Ends a Lumiset still running as its user would (an open menu dismissed, an open file dialog
    // cancelled, Exit, then the close box of each window still open; the clock moves on through
    // the program's pauses), so that it lets go of what it holds before the machine goes. Prints
    // nothing.
    void EndLumiset();
    // Whether any copy started so far still runs.
    bool AnyLumisetRunning() const;

private:
    using Words = std::vector<std::string>;
    struct Verb {
        std::string_view name;
        bool (*run)(Console& console, const Words& words, std::string_view line);
    };
    static std::span<const Verb> Verbs();

    bool Error(const std::string& why);
    // A command word the console does not take, or a known one with words it never takes.
    bool Unknown(const std::string& verb);
    bool Help(const Words& words);
    bool Wait(const Words& words);
    bool Tray(const Words& words);
    // camera-on or camera-off for the picture Lumiset's icon shows, as the last tick sent it.
    void TrayPicture();
    bool Command(const Words& words);
    bool SendOrPost(const Words& words);
    bool Page(const Words& words);
    bool Lumisetctl(const Words& words);
    bool Windows();
    bool Window(const Words& words, std::string_view line);
    bool Registry(const Words& words, std::string_view line);
    void PrintValue(HKEY root, const char* key, const char* name);
    bool Driver(const Words& words, std::string_view line);
    bool Close();
    bool Show(bool with_labels);
    // One control as `show` and `focus` print it, with its label after it when there is one.
    void PrintControl(const sim::ControlView& control,
                      const std::optional<std::u16string>& label = std::nullopt);
    bool Focus();
    bool Click(const Words& words);
    bool Press(const Words& words);
    bool Release(const Words& words);
    bool Profile(const Words& words, std::string_view line);
    bool Drag(const Words& words);
    bool Key(const Words& words);
    // The visible hotkey control `id` names in the active window, quietly nullopt for none.
    std::optional<sim::ControlView> HotkeyControl(const std::string& id) const;
    // `key ID KEYS` on a hotkey control: a person types the combination into it.
    bool TypeIntoHotkeyControl(const sim::ControlView& control, const std::string& id,
                               const std::string& keys_word);
    bool Repaint();
    bool Display(const Words& words);
    bool Keyboard(const Words& words);
    bool Hotkey(const Words& words);
    // The visible control of the active window that `id` names; nullopt once it has printed why
    // there is none.
    std::optional<sim::ControlView> ActiveControl(const std::string& id, const std::string& usage);
    // The same, for a trackbar.
    std::optional<sim::ControlView> ActiveTrackbar(const std::string& id, const std::string& usage);
    bool Device(const Words& words);
    bool Power(const Words& words);
    bool Rights(const Words& words);
    bool Fail(const Words& words);
    bool Menu(const Words& words, std::string_view line);
    // `choose` for a text that differs from an item's only in case or in its mnemonic's &.
    bool ChooseLikeItem(const std::string& typed);
    bool Camera(const Words& words, std::string_view line);
    bool FileDialog(const Words& words, std::string_view line);
    HWND HostWindow() const;
    // Moves the clock on through the program's pauses (waits that answer no message).
    void FinishPauses();

    sim::Machine& machine_;
    sim::Desktop desktop_;
    StartFunction start_lumiset_;
    std::ostream& out_;
    std::vector<sim::ProcessId> lumiset_processes_;
    bool quit_requested_ = false;
    bool for_person_ = false;
};

}  // namespace console
