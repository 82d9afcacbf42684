// Little-endian reads from untrusted bytes. A read past the end yields zero, moves nowhere and
// marks the reader failed, so a parser checks ok() once at the end instead of after every field.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "platform/sim/api/win32_types.h"
#include "platform/sim/res/resource_name.h"

namespace sim::res {

class ByteReader {
public:
    explicit ByteReader(std::span<const BYTE> bytes, std::size_t offset = 0);

    BYTE Byte();
    WORD Word();
    DWORD Dword();
    short Short();
    // UTF-16 text up to its terminating zero, which is consumed but not returned.
    std::u16string String();
    // A name-or-ordinal field: 0xFFFF followed by a number, or a zero-terminated string.
    ResourceName NameOrOrdinal();
    std::span<const BYTE> Bytes(std::size_t count);
    void Skip(std::size_t count);
    // Moves to the next multiple of four from the start of the bytes.
    void AlignDword();

    bool ok() const { return ok_; }
    std::size_t offset() const { return offset_; }
    std::size_t remaining() const { return bytes_.size() - offset_; }

private:
    bool Take(std::size_t count);

    std::span<const BYTE> bytes_;
    std::size_t offset_;
    bool ok_ = true;
};

}  // namespace sim::res
