#include "platform/sim/res/string_table.h"

#include <algorithm>

#include "platform/sim/res/byte_reader.h"

namespace sim::res {

std::optional<std::u16string> StringFromBlock(std::span<const BYTE> block, UINT id) {
    ByteReader reader(block);
    for (UINT index = 0; index < id % 16; ++index) {
        reader.Skip(std::size_t{reader.Word()} * 2);
    }
    const WORD length = reader.Word();
    std::u16string text;
    text.reserve(std::min<std::size_t>(length, reader.remaining() / 2));
    for (WORD i = 0; i < length && reader.ok(); ++i) {
        text.push_back(reader.Word());
    }
    if (!reader.ok() || text.empty()) {
        return std::nullopt;
    }
    return text;
}

}  // namespace sim::res
