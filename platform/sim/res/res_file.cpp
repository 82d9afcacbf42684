#include "platform/sim/res/res_file.h"

#include <array>

#include "platform/sim/res/byte_reader.h"
#include "platform/sim/res/string_table.h"

namespace sim::res {

namespace {

// DataSize, HeaderSize, the shortest TYPE and NAME (ordinals), then DataVersion, MemoryFlags,
// LanguageId, Version and Characteristics.
constexpr std::size_t kMinHeaderSize = 8 + 4 + 4 + 16;

std::optional<ResFile::Entry> ReadEntry(std::span<const BYTE> bytes, std::size_t start,
                                        std::size_t* next) {
    ByteReader reader(bytes, start);
    ResFile::Entry entry;
    const DWORD data_size = reader.Dword();
    const DWORD header_size = reader.Dword();
    if (!reader.ok() || header_size < kMinHeaderSize || header_size % 4 != 0 ||
        header_size > bytes.size() - start || data_size > bytes.size() - start - header_size) {
        return std::nullopt;
    }
    // The header's fields are read from the header alone, whatever follows it.
    ByteReader header(bytes.subspan(start, header_size), 8);
    entry.type = header.NameOrOrdinal();
    header.AlignDword();
    entry.name = header.NameOrOrdinal();
    header.AlignDword();
    entry.data_version = header.Dword();
    entry.memory_flags = header.Word();
    entry.language = header.Word();
    entry.version = header.Dword();
    entry.characteristics = header.Dword();
    if (!header.ok()) {
        return std::nullopt;
    }
    entry.data_offset = start + header_size;
    entry.data_size = data_size;
    *next = (entry.data_offset + data_size + 3) & ~static_cast<std::size_t>(3);
    return entry;
}

bool IsOpeningRecord(const ResFile::Entry& entry) {
    return entry.type == ResourceName::Id(0) && entry.name == ResourceName::Id(0) &&
           entry.data_size == 0;
}

}  // namespace

std::optional<ResFile> ResFile::Parse(std::span<const BYTE> bytes) {
    ResFile file;
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        std::size_t next = 0;
        auto entry = ReadEntry(bytes, offset, &next);
        if (!entry) {
            return std::nullopt;
        }
        if (offset == 0) {
            // The 32-bit format opens with an empty record, which tells it from the 16-bit one.
            if (!IsOpeningRecord(*entry) || next != kMinHeaderSize) {
                return std::nullopt;
            }
        } else {
            file.entries_.push_back(std::move(*entry));
        }
        offset = next;
    }
    if (offset == 0) {
        return std::nullopt;
    }
    file.bytes_ = std::make_shared<const std::vector<BYTE>>(bytes.begin(), bytes.end());
    return file;
}

std::span<const BYTE> ResFile::Data(const Entry& entry) const {
    if (!bytes_ || entry.data_offset > bytes_->size() ||
        entry.data_size > bytes_->size() - entry.data_offset) {
        return {};  // not an entry of this file
    }
    return std::span<const BYTE>(*bytes_).subspan(entry.data_offset, entry.data_size);
}

const ResFile::Entry* ResFile::Choose(const ResourceName& type, const ResourceName& name,
                                      WORD lang) const {
    const Entry* first = nullptr;
    const std::array<WORD, 4> preferred = {lang, PrimaryLanguage(lang), kLangNeutral,
                                           kLangEnglishUs};
    const Entry* found[4] = {};
    for (const auto& entry : entries_) {
        if (!(entry.type == type) || !(entry.name == name)) {
            continue;
        }
        if (first == nullptr) {
            first = &entry;
        }
        for (std::size_t rank = 0; rank < preferred.size(); ++rank) {
            if (entry.language == preferred[rank] && found[rank] == nullptr) {
                found[rank] = &entry;
            }
        }
    }
    for (const Entry* entry : found) {
        if (entry != nullptr) {
            return entry;
        }
    }
    return first;
}

std::optional<std::span<const BYTE>> ResFile::Find(const ResourceName& type,
                                                   const ResourceName& name, WORD lang) const {
    const Entry* entry = Choose(type, name, lang);
    if (entry == nullptr) {
        return std::nullopt;
    }
    return Data(*entry);
}

std::optional<DialogTemplate> ResFile::Dialog(WORD id, WORD lang) const {
    const auto data = Find(ResourceName::Id(kTypeDialog), ResourceName::Id(id), lang);
    return data ? ParseDialogTemplate(*data) : std::nullopt;
}

std::optional<MenuTemplate> ResFile::Menu(WORD id, WORD lang) const {
    const auto data = Find(ResourceName::Id(kTypeMenu), ResourceName::Id(id), lang);
    return data ? ParseMenuTemplate(*data) : std::nullopt;
}

std::optional<std::u16string> ResFile::String(UINT id, WORD lang) const {
    if (id > 0xFFFF) {
        return std::nullopt;
    }
    const auto data =
        Find(ResourceName::Id(kTypeString), ResourceName::Id(StringBlockId(id)), lang);
    return data ? StringFromBlock(*data, id) : std::nullopt;
}

std::optional<IconImage> ResFile::Icon(WORD group_id, int cx, int cy, WORD lang) const {
    const IconRequest request{group_id, cx, cy, lang};
    if (const auto known = icons_.find(request); known != icons_.end()) {
        return known->second;
    }
    std::optional<IconImage> icon;
    if (const auto group =
            Find(ResourceName::Id(kTypeGroupIcon), ResourceName::Id(group_id), lang)) {
        if (const auto directory = ParseIconDirectory(*group)) {
            if (const auto choice = ChooseIcon(*directory, cx, cy)) {
                const auto image =
                    Find(ResourceName::Id(kTypeIcon), ResourceName::Id(choice->icon_id), lang);
                icon = image ? ParseIconImage(*image) : std::nullopt;
            }
        }
    }
    return icons_.emplace(request, std::move(icon)).first->second;
}

std::optional<BitmapInfo> ResFile::Bitmap(WORD id, WORD lang) const {
    const auto data = Find(ResourceName::Id(kTypeBitmap), ResourceName::Id(id), lang);
    return data ? ParseBitmap(*data) : std::nullopt;
}

std::vector<WORD> ResFile::Languages(const ResourceName& type, const ResourceName& name) const {
    std::vector<WORD> languages;
    for (const auto& entry : entries_) {
        if (entry.type == type && entry.name == name) {
            languages.push_back(entry.language);
        }
    }
    return languages;
}

}  // namespace sim::res
