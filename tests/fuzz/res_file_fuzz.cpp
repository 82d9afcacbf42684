// libFuzzer target for the resource-file reader: any bytes, parsed as a .res file and every
// resource in it read as each kind of resource it could be.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/sim/res/res_file.h"
#include "platform/sim/res/string_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const BYTE> bytes(data, size);
    // The raw bytes as each resource body, then as a whole file.
    (void)sim::res::ParseDialogTemplate(bytes);
    (void)sim::res::ParseMenuTemplate(bytes);
    (void)sim::res::ParseIconImage(bytes);
    (void)sim::res::ParseBitmap(bytes);
    (void)sim::res::StringFromBlock(bytes, static_cast<UINT>(size % 16));
    if (const auto directory = sim::res::ParseIconDirectory(bytes)) {
        (void)sim::res::ChooseIcon(*directory, 16, 16);
    }
    const auto file = sim::res::ResFile::Parse(bytes);
    if (!file) {
        return 0;
    }
    for (const auto& entry : file->entries()) {
        if (!entry.name.is_ordinal) {
            continue;
        }
        const WORD id = entry.name.ordinal;
        (void)file->Dialog(id, entry.language);
        (void)file->Menu(id, entry.language);
        (void)file->Icon(id, 0, 0, entry.language);
        (void)file->Bitmap(id, entry.language);
        (void)file->String(static_cast<UINT>(id - 1) * 16 + 3, entry.language);
    }
    return 0;
}
