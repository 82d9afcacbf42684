// Any line typed at the console: splitting and reading numbers never fails unsafely.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tools/lumiset-sim/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    if (const auto words = console::SplitWords(line)) {
        for (const auto& word : *words) {
            console::ParseNumber(word);
        }
        for (std::size_t skip = 0; skip <= words->size(); ++skip) {
            console::RestOfLine(line, skip);
        }
    }
    return 0;
}
