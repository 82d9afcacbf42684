// A compiled resource file (.res, the 32-bit format windres and rc write) and the lookups the
// simulated machine's resource functions make in it.
//
// Language choice, as Windows' loader does it for the user's UI language `lang`, taking the
// first of these that the resource exists in:
//   1. `lang` itself;
//   2. `lang`'s primary language with the neutral sublanguage;
//   3. the neutral language (0);
//   4. English (United States), 1033;
//   5. the copy that comes first in the file.
// So a resource present in one language only serves every language.
#pragma once

#include <compare>
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/sim/api/win32_types.h"
#include "platform/sim/res/dialog_template.h"
#include "platform/sim/res/images.h"
#include "platform/sim/res/menu_template.h"
#include "platform/sim/res/resource_name.h"

namespace sim::res {

class ResFile {
public:
    struct Entry {
        ResourceName type;
        ResourceName name;
        WORD language = 0;
        WORD memory_flags = 0;
        DWORD data_version = 0;
        DWORD version = 0;
        DWORD characteristics = 0;
        std::size_t data_offset = 0;
        std::size_t data_size = 0;
    };

    // nullopt for anything but a whole, well-formed file; never reads outside `bytes`, which are
    // copied.
    static std::optional<ResFile> Parse(std::span<const BYTE> bytes);

    // Every resource in file order, without the empty record that opens the file.
    const std::vector<Entry>& entries() const { return entries_; }
    std::span<const BYTE> Data(const Entry& entry) const;

    std::optional<std::span<const BYTE>> Find(const ResourceName& type, const ResourceName& name,
                                              WORD lang) const;
    std::optional<DialogTemplate> Dialog(WORD id, WORD lang) const;
    std::optional<MenuTemplate> Menu(WORD id, WORD lang) const;
    // From string-table block id / 16 + 1; nullopt for a missing or empty string.
    std::optional<std::u16string> String(UINT id, WORD lang) const;
    // The image of icon group `group_id` best suited to cx x cy; see ChooseIcon.
    std::optional<IconImage> Icon(WORD group_id, int cx, int cy, WORD lang) const;
    std::optional<BitmapInfo> Bitmap(WORD id, WORD lang) const;
    // The languages the resource exists in, in file order.
    std::vector<WORD> Languages(const ResourceName& type, const ResourceName& name) const;

private:
    const Entry* Choose(const ResourceName& type, const ResourceName& name, WORD lang) const;

    std::shared_ptr<const std::vector<BYTE>> bytes_;
    std::vector<Entry> entries_;
    // Icons already chosen and parsed: a program loads its tray icon at every tick.
    struct IconRequest {
        WORD group_id;
        int cx;
        int cy;
        WORD lang;
        auto operator<=>(const IconRequest&) const = default;
    };
    mutable std::map<IconRequest, std::optional<IconImage>> icons_;
};

}  // namespace sim::res
