#include "tools/lumiset-sim/terminal_session.h"

#include <editline/readline.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/lumiset-sim/camera_watch.h"
#include "tools/lumiset-sim/clock_follower.h"
#include "tools/lumiset-sim/clock_notes.h"
#include "tools/lumiset-sim/command_help.h"
#include "tools/lumiset-sim/desktop_watch.h"

namespace console {

namespace {

constexpr const char* kPrompt = "lumiset> ";

// Tab completes a command's name in the first word; elsewhere it offers nothing (not the
// editor's file names). The answer is in the editor's format: what replaces the word, then each
// candidate, then null, all malloc'd.
char** CompleteCommand(const char* text, int start, int /*end*/) {
    rl_attempted_completion_over = 1;
    if (start != 0) {
        return nullptr;
    }
    const std::string_view prefix = text;
    std::vector<std::string_view> names;
    for (const CommandHelp& help : CommandHelps()) {
        if (help.name.starts_with(prefix)) {
            names.push_back(help.name);
        }
    }
    if (names.empty()) {
        return nullptr;
    }
    size_t common = names.front().size();
    for (std::string_view name : names) {
        common = std::min(
            common, static_cast<size_t>(std::mismatch(name.begin(), name.end(),
                                                      names.front().begin(), names.front().end())
                                            .first -
                                        name.begin()));
    }
    auto copy = [](std::string_view name) { return strndup(name.data(), name.size()); };
    auto** matches = static_cast<char**>(std::calloc(names.size() + 2, sizeof(char*)));
    matches[0] = copy(names.front().substr(0, common));
    if (names.size() > 1) {
        for (size_t i = 0; i < names.size(); ++i) {
            matches[i + 1] = copy(names[i]);
        }
    }
    return matches;
}

// libedit's character-at-a-time interface: the line is handed over from inside ReadAvailable,
// and text printed between keys goes above the line being edited.
class LineEditor {
public:
    explicit LineEditor(std::function<void(const char* line)> on_line)
        : on_line_(std::move(on_line)) {
        current_ = this;
        rl_attempted_completion_function = CompleteCommand;
        Prompt();
    }
    ~LineEditor() {
        rl_callback_handler_remove();
        current_ = nullptr;
    }
    LineEditor(const LineEditor&) = delete;
    LineEditor& operator=(const LineEditor&) = delete;

    // Reads what the terminal has; a whole line goes to `on_line`, with the terminal as it is
    // outside the editor, and then the prompt comes anew.
    void ReadAvailable() {
        line_taken_ = false;
        rl_callback_read_char();
        if (line_taken_) {
            Prompt();
        }
    }

    // Clears the prompt's line, prints the lines, and draws the prompt and the line so far anew.
    static void PrintAbove(const std::vector<std::string>& lines) {
        std::fputs("\r\033[K", stdout);
        for (const auto& line : lines) {
            std::fputs((line + "\n").c_str(), stdout);
        }
        std::fflush(stdout);
        rl_forced_update_display();
    }

private:
    // This libedit leaves the terminal as it was outside the editor once it hands a line over;
    // installing the handler again takes the terminal back and draws the prompt.
    static void Prompt() { rl_callback_handler_install(kPrompt, &LineEditor::OnLine); }

    static void OnLine(char* line) {
        current_->line_taken_ = true;
        current_->on_line_(line);
        std::free(line);
    }

    // The editor's callback carries no context of its own; there is one editor at a time.
    static inline LineEditor* current_ = nullptr;
    std::function<void(const char* line)> on_line_;
    bool line_taken_ = false;
};

bool IsBlank(const std::string& line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

class Session {
public:
    Session(sim::Machine& machine, Console& console, bool clock_follows_wall,
            const InterruptReader& interrupt)
        : machine_(machine),
          console_(console),
          clock_follows_wall_(clock_follows_wall),
          follower_(machine.kernel(), [] { return std::chrono::steady_clock::now(); }),
          watch_(machine, LumisetRunning()),
          camera_watch_(machine),
          interrupt_(interrupt) {}

    void Run() {
        std::cout << "Lumiset is running on a simulated Windows desktop with a camera"
                  << (clock_follows_wall_ ? "" : " (the clock is still: \"wait MS\" moves it)")
                  << "; \"help\" lists the commands, \"quit\" ends.\n";
        if (auto note = ClockNote({{},
                                   machine_.kernel().ClockWaits(),
                                   machine_.kernel().Now(),
                                   clock_follows_wall_,
                                   false})) {
            std::cout << *note << "\n";
        }
        std::cout.flush();
        LineEditor editor([this](const char* line) { OnLine(line); });
        while (!done_) {
            const std::optional<int> timeout =
                clock_follows_wall_ ? follower_.IdleTimeout() : std::nullopt;
            pollfd fds[] = {{STDIN_FILENO, POLLIN, 0}, {interrupt_.fd(), POLLIN, 0}};
            const pollfd& input = fds[0];
            const int ready = poll(fds, interrupt_.fd() >= 0 ? 2 : 1, timeout.value_or(-1));
            if (ready < 0 && errno != EINTR) {
                break;
            }
            if (interrupt_.Take()) {
                break;  // Ctrl-C: ends the console as "quit" does
            }
            if (clock_follows_wall_) {
                follower_.CatchUp();
            }
            if (const auto changes = News(); !changes.empty()) {
                LineEditor::PrintAbove(changes);
            }
            if (ready > 0 && (input.revents & POLLIN)) {
                editor.ReadAvailable();
            } else if (ready > 0 && input.revents) {
                break;  // the terminal went away
            }
        }
        // The editor draws its prompt again after each line; the last one is not wanted.
        std::fputs("\r\033[K", stdout);
        std::fflush(stdout);
    }

private:
    bool LumisetRunning() const {
        const auto& processes = console_.lumiset_processes();
        return std::any_of(processes.begin(), processes.end(), [this](sim::ProcessId process) {
            return machine_.kernel().ProcessRunning(process);
        });
    }

    void OnLine(const char* text) {
        if (!text) {  // end of input
            std::cout << "\n";
            done_ = true;
            return;
        }
        const std::string line = text;
        if (IsBlank(line)) {
            return;
        }
        add_history(text);
        if (clock_follows_wall_) {
            follower_.CatchUp();
        }
        Print(News());
        const auto before = machine_.kernel().ClockWaits();
        console_.Execute(line);
        Print(News());
        const auto words = SplitFirstWord(line);
        if (auto note = ClockNote({before, machine_.kernel().ClockWaits(), machine_.kernel().Now(),
                                   clock_follows_wall_, words == "wait"})) {
            std::cout << *note << "\n";
        }
        std::cout.flush();
        done_ = console_.quit_requested();
    }

    // What changed on the desktop and in the camera since the last look.
    std::vector<std::string> News() {
        auto changes = watch_.Changes(LumisetRunning());
        for (auto& change : camera_watch_.Changes()) {
            changes.push_back(std::move(change));
        }
        return changes;
    }

    static std::string SplitFirstWord(const std::string& line) {
        const size_t start = line.find_first_not_of(" \t");
        const size_t end = line.find_first_of(" \t", start);
        return start == std::string::npos ? "" : line.substr(start, end - start);
    }

    static void Print(const std::vector<std::string>& lines) {
        for (const auto& line : lines) {
            std::cout << line << "\n";
        }
    }

    sim::Machine& machine_;
    Console& console_;
    bool clock_follows_wall_;
    ClockFollower follower_;
    DesktopWatch watch_;
    CameraWatch camera_watch_;
    const InterruptReader& interrupt_;
    bool done_ = false;
};

}  // namespace

void RunAtTerminal(sim::Machine& machine, Console& console, bool clock_follows_wall,
                   const InterruptReader& interrupt) {
    console.set_for_person(true);
    Session(machine, console, clock_follows_wall, interrupt).Run();
}

}  // namespace console
