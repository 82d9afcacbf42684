#include "platform/sim/res/byte_reader.h"

namespace sim::res {

ByteReader::ByteReader(std::span<const BYTE> bytes, std::size_t offset)
    : bytes_(bytes),
      offset_(offset <= bytes.size() ? offset : bytes.size()),
      ok_(offset <= bytes.size()) {}

bool ByteReader::Take(std::size_t count) {
    if (!ok_ || count > remaining()) {
        ok_ = false;
        return false;
    }
    return true;
}

BYTE ByteReader::Byte() {
    if (!Take(1)) {
        return 0;
    }
    return bytes_[offset_++];
}

WORD ByteReader::Word() {
    if (!Take(2)) {
        return 0;
    }
    const WORD value = static_cast<WORD>(bytes_[offset_] | (bytes_[offset_ + 1] << 8));
    offset_ += 2;
    return value;
}

DWORD ByteReader::Dword() {
    const DWORD low = Word();
    const DWORD high = Word();
    return low | (high << 16);
}

short ByteReader::Short() {
    return static_cast<short>(Word());
}

std::u16string ByteReader::String() {
    std::u16string text;
    while (ok_) {
        const char16_t unit = Word();
        if (unit == 0) {
            break;
        }
        text.push_back(unit);
    }
    return ok_ ? text : std::u16string();
}

ResourceName ByteReader::NameOrOrdinal() {
    if (remaining() >= 2 && bytes_[offset_] == 0xFF && bytes_[offset_ + 1] == 0xFF) {
        Skip(2);
        return ResourceName::Id(Word());
    }
    return ResourceName::Named(String());
}

std::span<const BYTE> ByteReader::Bytes(std::size_t count) {
    if (!Take(count)) {
        return {};
    }
    const auto part = bytes_.subspan(offset_, count);
    offset_ += count;
    return part;
}

void ByteReader::Skip(std::size_t count) {
    if (Take(count)) {
        offset_ += count;
    }
}

void ByteReader::AlignDword() {
    // The end of the bytes counts as aligned: a record may end without padding.
    const std::size_t aligned = (offset_ + 3) & ~static_cast<std::size_t>(3);
    offset_ = aligned <= bytes_.size() ? aligned : bytes_.size();
}

}  // namespace sim::res
