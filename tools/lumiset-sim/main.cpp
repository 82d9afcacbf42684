// lumiset-sim: Lumiset on a simulated Windows desktop, driven by commands from the terminal or
// from a script. See README.md for the command language.
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "framework/win_app.h"
#include "platform/sim/codepage.h"
#include "tools/lumiset-sim/boot.h"
#include "tools/lumiset-sim/clock_follower.h"
#include "tools/lumiset-sim/command_line.h"
#include "tools/lumiset-sim/console.h"
#include "tools/lumiset-sim/terminal_session.h"

namespace {

struct Options {
    console::BootOptions boot;
    std::optional<std::string> script;
    bool realtime = false;
    bool still = false;  // --virtual
};

int Usage(const std::string& why) {
    std::cerr << "lumiset-sim: " << why << "\n"
              << "usage: lumiset-sim [--script FILE] [--realtime|--virtual] "
                 "[--lang 1033|2052|1028] [--acp 1252|936|950]\n";
    return 2;
}

std::optional<Options> ParseOptions(int argc, char** argv, std::string& why) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--script" && has_value) {
            options.script = argv[++i];
        } else if (arg == "--realtime") {
            options.realtime = true;
        } else if (arg == "--virtual") {
            options.still = true;
        } else if (arg == "--lang" && has_value) {
            const auto lang = console::ParseNumber(argv[++i]);
            if (!lang || (*lang != 1033 && *lang != 2052 && *lang != 1028)) {
                why = "--lang takes 1033, 2052 or 1028";
                return std::nullopt;
            }
            options.boot.ui_language = static_cast<unsigned short>(*lang);
        } else if (arg == "--acp" && has_value) {
            // A code page is a 16-bit number; a larger one must not wrap onto a known one.
            const auto acp = console::ParseNumberIn(argv[++i], 0, 0xFFFF);
            if (!acp || !sim::IsSupportedCodePage(static_cast<unsigned>(*acp))) {
                why = "--acp takes 1252, 936 or 950";
                return std::nullopt;
            }
            options.boot.ansi_code_page = static_cast<unsigned>(*acp);
        } else {
            why = "unknown or incomplete option " + arg;
            return std::nullopt;
        }
    }
    if (options.realtime && options.still) {
        why = "--realtime and --virtual exclude each other";
        return std::nullopt;
    }
    return options;
}

void RunLumiset(const std::string& command_line) {
    std::string line = command_line;  // the entry takes a writable command line, as WinMain's
    AfxWinMain(GetModuleHandleA(nullptr), nullptr, line.data(), SW_SHOWDEFAULT);
}

// Waits until standard input has a line, the clock following the wall clock meanwhile.
void WaitForInput(console::ClockFollower& clock) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    while (poll(&input, 1, clock.IdleTimeout().value_or(-1)) == 0) {
        clock.CatchUp();
    }
    clock.CatchUp();
}

bool IsBlankOrComment(const std::string& line) {
    const auto words = console::SplitWords(line);
    return words && words->empty();
}

}  // namespace

// Calls on COM objects whose apartment had ended are the program's fault even when nothing
// visible went wrong: each distinct one on standard error, and the exit status says so.
bool ReportComCallsAfterUninitialize(sim::Machine& machine) {
    const auto& calls = machine.apartments().CallsAfterUninitialize();
    for (const std::string& call : calls) {
        std::cerr << "sim: COM call after CoUninitialize: " << call << "\n";
    }
    return !calls.empty();
}

int main(int argc, char** argv) {
    std::string why;
    const auto options = ParseOptions(argc, argv, why);
    if (!options) {
        return Usage(why);
    }
    std::ifstream script_file;
    if (options->script) {
        script_file.open(*options->script);
        if (!script_file) {
            return Usage("cannot read " + *options->script + ": " + std::strerror(errno));
        }
    }
    std::istream& input = options->script ? static_cast<std::istream&>(script_file) : std::cin;

    const bool at_terminal = !options->script && isatty(STDIN_FILENO);
    std::optional<console::InterruptReader> interrupt;
    if (at_terminal) {
        interrupt.emplace();
    }
    sim::Machine machine;
    if (!console::BootMachine(machine, options->boot)) {
        std::cerr << "lumiset-sim: the program's resources could not be loaded\n";
        return 1;
    }
    console::Console console(machine, RunLumiset, std::cout);
    console::ClockFollower clock(machine.kernel(), [] { return std::chrono::steady_clock::now(); });
    console.StartLumiset();
    if (at_terminal) {
        console::RunAtTerminal(machine, console, !options->still, *interrupt);
        console.EndLumiset();
        return ReportComCallsAfterUninitialize(machine) ? 1 : 0;
    }

    bool any_failed = false;
    std::string line;
    while (true) {
        if (options->realtime && !options->script) {
            WaitForInput(clock);
        }
        if (!std::getline(input, line)) {
            break;
        }
        if (options->realtime) {
            clock.CatchUp();
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (IsBlankOrComment(line)) {
            continue;
        }
        if (options->script) {
            std::cout << "> " << line << "\n";
        }
        if (!console.Execute(line)) {
            any_failed = true;
        }
        std::cout.flush();
        if (console.quit_requested()) {
            break;
        }
    }
    console.EndLumiset();
    std::cout.flush();
    const bool com_fault = ReportComCallsAfterUninitialize(machine);
    return (options->script && any_failed) || com_fault ? 1 : 0;
}
