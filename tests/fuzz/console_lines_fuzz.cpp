// Random sequences of console lines, one a line of the input, on a fresh simulated machine with
// Lumiset started as lumiset-sim starts it: whatever the console lets a script do must neither
// crash the console nor the program, and the console's end must end Lumiset. Each input is
// bounded (lines, and virtual time waited) so that a run stays fast.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "framework/win_app.h"
#include "tools/lumiset-sim/boot.h"
#include "tools/lumiset-sim/command_line.h"
#include "tools/lumiset-sim/console.h"

namespace {

constexpr int kMostLines = 24;
// Ten minutes of ticks; an effect cycle (27 steps of 5 s) fits.
constexpr std::int64_t kMostWaited = 600000;

void RunLumiset(const std::string& command_line) {
    std::string line = command_line;  // the entry takes a writable command line
    AfxWinMain(GetModuleHandleA(nullptr), nullptr, line.data(), SW_SHOWDEFAULT);
}

// A `wait` beyond what is left of the budget is skipped (other lines run as typed).
bool WaitsTooLong(std::string_view line, std::int64_t left) {
    const auto words = console::SplitWords(line);
    if (!words || words->size() != 2 || (*words)[0] != "wait") {
        return false;
    }
    const auto ms = console::ParseNumber((*words)[1]);
    return ms && *ms > left;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    sim::Machine machine;
    if (!console::BootMachine(machine, {})) {
        std::abort();
    }
    std::ostringstream out;
    console::Console console(machine, RunLumiset, out);
    console.StartLumiset();
    int lines = 0;
    for (std::size_t start = 0; start < input.size() && lines < kMostLines;) {
        std::size_t end = input.find('\n', start);
        if (end == std::string_view::npos) {
            end = input.size();
        }
        const std::string_view line = input.substr(start, end - start);
        start = end + 1;
        const auto waited = static_cast<std::int64_t>(machine.kernel().Now());
        if (waited > kMostWaited) {
            break;
        }
        if (WaitsTooLong(line, kMostWaited - waited)) {
            continue;
        }
        ++lines;
        console.Execute(line);
        out.str("");
        if (console.quit_requested()) {
            break;
        }
    }
    console.EndLumiset();
    if (console.AnyLumisetRunning()) {
        std::fputs("console_lines: Lumiset still runs after the console's end\n", stderr);
        std::abort();
    }
    return 0;
}
