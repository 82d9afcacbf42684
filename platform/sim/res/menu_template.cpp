#include "platform/sim/res/menu_template.h"

#include "platform/sim/res/byte_reader.h"

namespace sim::res {

namespace {

constexpr WORD kClassicEnd = 0x0080;  // MF_END: the last item of its menu
constexpr WORD kExtendedPopup = 0x01;
constexpr WORD kExtendedEnd = 0x80;
constexpr int kMaxDepth = 32;

bool ReadClassicItems(ByteReader& reader, int depth, std::vector<MenuItem>& items) {
    if (depth > kMaxDepth) {
        return false;
    }
    for (;;) {
        const WORD option = reader.Word();
        MenuItem item;
        item.flags = option & ~kClassicEnd;
        if (!item.IsPopup()) {
            item.id = reader.Word();
        }
        item.text = reader.String();
        if (!reader.ok()) {
            return false;
        }
        if (item.IsPopup()) {
            if (!ReadClassicItems(reader, depth + 1, item.children)) {
                return false;
            }
        } else if (item.text.empty()) {
            item.flags |= kMenuSeparator;
        }
        items.push_back(std::move(item));
        if (option & kClassicEnd) {
            return true;
        }
    }
}

bool ReadExtendedItems(ByteReader& reader, int depth, std::vector<MenuItem>& items) {
    if (depth > kMaxDepth) {
        return false;
    }
    for (;;) {
        reader.AlignDword();
        const DWORD type = reader.Dword();
        const DWORD state = reader.Dword();
        MenuItem item;
        item.id = reader.Dword();
        const WORD resource_info = reader.Word();
        item.text = reader.String();
        item.flags = type | state;
        if (resource_info & kExtendedPopup) {
            item.flags |= kMenuPopup;
            reader.AlignDword();
            reader.Dword();  // the popup's help id
            if (!reader.ok() || !ReadExtendedItems(reader, depth + 1, item.children)) {
                return false;
            }
        }
        if (!reader.ok()) {
            return false;
        }
        items.push_back(std::move(item));
        if (resource_info & kExtendedEnd) {
            return true;
        }
    }
}

}  // namespace

std::optional<MenuTemplate> ParseMenuTemplate(std::span<const BYTE> bytes) {
    ByteReader reader(bytes);
    const WORD version = reader.Word();
    const WORD header_size = reader.Word();
    MenuTemplate menu;
    bool ok = false;
    if (version == 0) {
        reader.Skip(header_size);
        ok = reader.ok() && ReadClassicItems(reader, 0, menu.items);
    } else if (version == 1) {
        reader.Skip(header_size);  // counted from the end of these two words; holds the help id
        ok = reader.ok() && ReadExtendedItems(reader, 0, menu.items);
    }
    if (!ok) {
        return std::nullopt;
    }
    return menu;
}

}  // namespace sim::res
