#include "platform/sim/res/images.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "platform/sim/res/byte_reader.h"

namespace sim::res {

namespace {

constexpr int kSystemIconSize = 32;  // SM_CXICON, SM_CYICON
constexpr int kMaxDimension = 0x8000;
constexpr DWORD kCompressionRgb = 0;        // BI_RGB
constexpr DWORD kCompressionBitfields = 3;  // BI_BITFIELDS
constexpr DWORD kCoreHeaderSize = 12;       // BITMAPCOREHEADER
constexpr DWORD kInfoHeaderSize = 40;       // BITMAPINFOHEADER; V4 and V5 headers are longer

struct DibHeader {
    std::size_t header_size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    int bit_count = 0;
    DWORD compression = kCompressionRgb;
    std::size_t colour_table_size = 0;  // in bytes
};

bool ValidBitCount(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::optional<DibHeader> ReadDibHeader(std::span<const BYTE> bytes) {
    ByteReader reader(bytes);
    DibHeader dib;
    const DWORD size = reader.Dword();
    DWORD colours_used = 0;
    if (size == kCoreHeaderSize) {
        dib.width = reader.Word();
        dib.height = reader.Word();
        reader.Word();  // planes
        dib.bit_count = reader.Word();
    } else if (size >= kInfoHeaderSize) {
        dib.width = static_cast<LONG>(reader.Dword());
        dib.height = static_cast<LONG>(reader.Dword());
        reader.Word();  // planes
        dib.bit_count = reader.Word();
        dib.compression = reader.Dword();
        reader.Skip(12);  // image size, resolution
        colours_used = reader.Dword();
    } else {
        return std::nullopt;
    }
    if (!reader.ok() || size > bytes.size() || !ValidBitCount(dib.bit_count) || dib.width <= 0 ||
        dib.width > kMaxDimension || dib.height == 0 || std::abs(dib.height) > kMaxDimension) {
        return std::nullopt;
    }
    dib.header_size = size;
    const std::size_t entry_size = size == kCoreHeaderSize ? 3 : 4;
    std::size_t entries = 0;
    if (dib.bit_count <= 8) {
        const std::size_t full = std::size_t{1} << dib.bit_count;
        entries = colours_used == 0 ? full : std::min<std::size_t>(colours_used, full);
    } else {
        entries = std::min<std::size_t>(colours_used, 256);
    }
    dib.colour_table_size = entries * entry_size;
    if (dib.compression == kCompressionBitfields && size == kInfoHeaderSize) {
        dib.colour_table_size += 12;  // the three colour masks follow the short header
    }
    return dib;
}

std::size_t RowBytes(std::int64_t width, int bit_count) {
    return static_cast<std::size_t>((width * bit_count + 31) / 32 * 4);
}

}  // namespace

std::optional<std::vector<IconDirectoryEntry>> ParseIconDirectory(std::span<const BYTE> bytes) {
    ByteReader reader(bytes);
    const WORD reserved = reader.Word();
    const WORD type = reader.Word();
    const WORD count = reader.Word();
    if (!reader.ok() || reserved != 0 || type != 1 || count > reader.remaining() / 14) {
        return std::nullopt;
    }
    std::vector<IconDirectoryEntry> entries;
    for (WORD i = 0; i < count; ++i) {
        IconDirectoryEntry entry;
        const BYTE width = reader.Byte();
        const BYTE height = reader.Byte();
        const BYTE colours = reader.Byte();
        reader.Byte();
        reader.Word();  // planes
        entry.bit_count = reader.Word();
        reader.Dword();  // bytes in the image
        entry.icon_id = reader.Word();
        entry.width = width == 0 ? 256 : width;
        entry.height = height == 0 ? 256 : height;
        if (entry.bit_count == 0) {  // some writers leave it out and give the colour count
            entry.bit_count = colours == 2 ? 1 : colours == 16 ? 4 : 8;
        }
        entries.push_back(entry);
    }
    return entries;
}

std::optional<IconDirectoryEntry> ChooseIcon(const std::vector<IconDirectoryEntry>& entries, int cx,
                                             int cy) {
    cx = cx > 0 ? cx : kSystemIconSize;
    cy = cy > 0 ? cy : kSystemIconSize;
    const IconDirectoryEntry* best = nullptr;
    int best_distance = std::numeric_limits<int>::max();
    for (const auto& entry : entries) {
        const int distance = std::abs(entry.width - cx) + std::abs(entry.height - cy);
        if (best == nullptr || distance < best_distance ||
            (distance == best_distance && entry.bit_count > best->bit_count)) {
            best = &entry;
            best_distance = distance;
        }
    }
    if (best == nullptr) {
        return std::nullopt;
    }
    return *best;
}

std::optional<IconImage> ParseIconImage(std::span<const BYTE> bytes) {
    static constexpr BYTE kPngSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    IconImage image;
    if (bytes.size() >= 8 && std::equal(bytes.begin(), bytes.begin() + 8, kPngSignature)) {
        // Signature, then the IHDR chunk: length, "IHDR", big-endian width and height, depth,
        // colour type.
        if (bytes.size() < 26) {
            return std::nullopt;
        }
        auto big_endian = [&](std::size_t at) {
            return static_cast<std::int64_t>(bytes[at]) << 24 | bytes[at + 1] << 16 |
                   bytes[at + 2] << 8 | bytes[at + 3];
        };
        const std::int64_t width = big_endian(16);
        const std::int64_t height = big_endian(20);
        if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension) {
            return std::nullopt;
        }
        static constexpr int kChannels[] = {1, 0, 3, 1, 2, 0, 4};
        const BYTE colour_type = bytes[25];
        image.width = static_cast<int>(width);
        image.height = static_cast<int>(height);
        image.bit_count = bytes[24] * (colour_type < 7 ? kChannels[colour_type] : 0);
    } else {
        const auto dib = ReadDibHeader(bytes);
        // An icon's DIB is the colour picture over its monochrome mask, so it is twice as high.
        if (!dib || dib->height <= 0 || dib->height % 2 != 0 ||
            dib->compression != kCompressionRgb) {
            return std::nullopt;
        }
        const std::int64_t height = dib->height / 2;
        const std::size_t needed = dib->header_size + dib->colour_table_size +
                                   RowBytes(dib->width, dib->bit_count) * height +
                                   RowBytes(dib->width, 1) * height;
        if (needed > bytes.size()) {
            return std::nullopt;
        }
        image.width = static_cast<int>(dib->width);
        image.height = static_cast<int>(height);
        image.bit_count = dib->bit_count;
    }
    image.data.assign(bytes.begin(), bytes.end());
    return image;
}

std::optional<BitmapInfo> ParseBitmap(std::span<const BYTE> bytes) {
    const auto dib = ReadDibHeader(bytes);
    if (!dib) {
        return std::nullopt;
    }
    std::size_t needed = dib->header_size + dib->colour_table_size;
    if (dib->compression == kCompressionRgb || dib->compression == kCompressionBitfields) {
        needed +=
            RowBytes(dib->width, dib->bit_count) * static_cast<std::size_t>(std::abs(dib->height));
    }
    if (needed > bytes.size()) {
        return std::nullopt;
    }
    BitmapInfo bitmap;
    bitmap.width = static_cast<int>(dib->width);
    bitmap.height = static_cast<int>(std::abs(dib->height));
    bitmap.bit_count = dib->bit_count;
    bitmap.dib.assign(bytes.begin(), bytes.end());
    return bitmap;
}

}  // namespace sim::res
