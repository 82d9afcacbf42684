#include "platform/sim/res/dialog_template.h"

#include "platform/sim/res/byte_reader.h"
#include "platform/sim/res/resource_name.h"

namespace sim::res {

namespace {

constexpr WORD kExtendedSignature = 0xFFFF;

std::u16string AsText(const ResourceName& name) {
    if (!name.is_ordinal) {
        return name.name;
    }
    std::u16string text = u"#";
    for (const char c : std::to_string(name.ordinal)) {
        text.push_back(static_cast<char16_t>(c));
    }
    return text;
}

std::u16string ClassName(const ResourceName& name) {
    if (!name.is_ordinal) {
        return name.name;
    }
    switch (name.ordinal) {
        case 0x80:
            return u"Button";
        case 0x81:
            return u"Edit";
        case 0x82:
            return u"Static";
        case 0x83:
            return u"ListBox";
        case 0x84:
            return u"ScrollBar";
        case 0x85:
            return u"ComboBox";
        default:
            return AsText(name);
    }
}

// The dialog's menu and class: a zero word (none), an ordinal, or a string.
std::u16string MenuOrClass(ByteReader& reader) {
    const ResourceName name = reader.NameOrOrdinal();
    return name.is_ordinal ? AsText(name) : name.name;
}

DialogItem ReadItem(ByteReader& reader, bool extended) {
    DialogItem item;
    reader.AlignDword();
    if (extended) {
        item.help_id = reader.Dword();
        item.ex_style = reader.Dword();
        item.style = reader.Dword();
    } else {
        item.style = reader.Dword();
        item.ex_style = reader.Dword();
    }
    item.x = reader.Short();
    item.y = reader.Short();
    item.cx = reader.Short();
    item.cy = reader.Short();
    item.id = extended ? reader.Dword() : reader.Word();
    item.class_name = ClassName(reader.NameOrOrdinal());
    const ResourceName text = reader.NameOrOrdinal();
    item.text_is_ordinal = text.is_ordinal;
    item.text_ordinal = text.ordinal;
    item.text = text.name;
    const WORD creation_size = reader.Word();
    const auto creation = reader.Bytes(creation_size);
    item.creation_data.assign(creation.begin(), creation.end());
    return item;
}

}  // namespace

bool DialogItem::IsClass(std::u16string_view name) const {
    return EqualIgnoringAsciiCase(class_name, name);
}

std::optional<DialogTemplate> ParseDialogTemplate(std::span<const BYTE> bytes) {
    ByteReader reader(bytes);
    DialogTemplate dialog;
    ByteReader probe(bytes);
    probe.Word();
    dialog.extended = probe.ok() && probe.Word() == kExtendedSignature;
    if (dialog.extended) {
        if (reader.Word() != 1) {  // the only version there is
            return std::nullopt;
        }
        reader.Word();
        dialog.help_id = reader.Dword();
        dialog.ex_style = reader.Dword();
        dialog.style = reader.Dword();
    } else {
        dialog.style = reader.Dword();
        dialog.ex_style = reader.Dword();
    }
    const WORD count = reader.Word();
    dialog.x = reader.Short();
    dialog.y = reader.Short();
    dialog.cx = reader.Short();
    dialog.cy = reader.Short();
    dialog.menu = MenuOrClass(reader);
    dialog.class_name = MenuOrClass(reader);
    dialog.title = reader.String();
    if (dialog.style & kDialogStyleSetFont) {
        dialog.point_size = reader.Word();
        if (dialog.extended) {
            dialog.weight = reader.Word();
            dialog.italic = reader.Byte();
            dialog.charset = reader.Byte();
        }
        dialog.typeface = reader.String();
    }
    if (!reader.ok()) {
        return std::nullopt;
    }
    // Each item takes at least 18 bytes; a count the bytes cannot hold is rejected before any
    // memory is reserved for it.
    if (count > reader.remaining() / 18) {
        return std::nullopt;
    }
    dialog.items.reserve(count);
    for (WORD i = 0; i < count; ++i) {
        dialog.items.push_back(ReadItem(reader, dialog.extended));
        if (!reader.ok()) {
            return std::nullopt;
        }
    }
    return dialog;
}

}  // namespace sim::res
