// Icon and bitmap resources: the icon directory of an RT_GROUP_ICON, the images of RT_ICON and
// the device-independent bitmaps of RT_BITMAP.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "platform/sim/api/win32_types.h"

namespace sim::res {

struct IconImage {
    int width = 0;
    int height = 0;  // of the picture, not the doubled height a DIB icon header records
    int bit_count = 0;
    std::vector<BYTE> data;  // the RT_ICON bytes: a DIB with colour and mask, or a PNG
};

struct BitmapInfo {
    int width = 0;
    int height = 0;  // always positive; top-down bitmaps are not told apart here
    int bit_count = 0;
    std::vector<BYTE> dib;  // header, colour table and pixels as RT_BITMAP stores them
};

struct IconDirectoryEntry {
    int width = 0;  // 256 where the directory stores 0
    int height = 0;
    int bit_count = 0;
    WORD icon_id = 0;  // the RT_ICON resource holding the image
};

// The entries of an RT_GROUP_ICON directory; nullopt when malformed.
std::optional<std::vector<IconDirectoryEntry>> ParseIconDirectory(std::span<const BYTE> bytes);

// The entry LookupIconIdFromDirectoryEx would take for a cx x cy icon: the closest size, then
// the deepest colour. A size of 0 stands for the system icon size, 32.
std::optional<IconDirectoryEntry> ChooseIcon(const std::vector<IconDirectoryEntry>& entries, int cx,
                                             int cy);

// An RT_ICON image, checked to hold the whole picture its header describes.
std::optional<IconImage> ParseIconImage(std::span<const BYTE> bytes);

// An RT_BITMAP, checked to hold the colour table and pixels its header describes.
std::optional<BitmapInfo> ParseBitmap(std::span<const BYTE> bytes);

}  // namespace sim::res
