// String-table blocks (RT_STRING): block n holds strings 16 * (n - 1) to 16 * n - 1, each a
// length-prefixed UTF-16 text.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "platform/sim/api/win32_types.h"

namespace sim::res {

inline constexpr WORD StringBlockId(UINT id) {
    return static_cast<WORD>(id / 16 + 1);
}

// String `id` of its block; nullopt when the block is malformed or the entry is empty, which
// LoadString reports alike.
std::optional<std::u16string> StringFromBlock(std::span<const BYTE> block, UINT id);

}  // namespace sim::res
