#include "device/key_names.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

struct NamedKey {
    std::string_view name;
    UINT vk;
};

constexpr std::array<NamedKey, 19> kNamedKeys{{
    {"Pause", VK_PAUSE},     {"ScrollLock", VK_SCROLL}, {"Insert", VK_INSERT},
    {"Delete", VK_DELETE},   {"Home", VK_HOME},         {"End", VK_END},
    {"PageUp", VK_PRIOR},    {"PageDown", VK_NEXT},     {"Space", VK_SPACE},
    {"Tab", VK_TAB},         {"Enter", VK_RETURN},      {"Esc", VK_ESCAPE},
    {"Left", VK_LEFT},       {"Right", VK_RIGHT},       {"Up", VK_UP},
    {"Down", VK_DOWN},       {"Backspace", VK_BACK},    {"PrintScreen", VK_SNAPSHOT},
    {"NumLock", VK_NUMLOCK},
}};

// In the order they are printed: Win first, as Windows names its own keys ("Win+Shift+S").
constexpr std::array<NamedKey, 4> kModifiers{{
    {"Win", MOD_WIN},
    {"Ctrl", MOD_CONTROL},
    {"Alt", MOD_ALT},
    {"Shift", MOD_SHIFT},
}};

constexpr UINT kFunctionKeys = 24;
static_assert(VK_F1 + kFunctionKeys - 1 == VK_F24);

bool SameName(std::string_view typed, std::string_view name) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return typed.size() == name.size() &&
           std::equal(typed.begin(), typed.end(), name.begin(),
                      [&lower](char a, char b) { return lower(a) == lower(b); });
}

std::optional<UINT> KeyCode(std::string_view name) {
    if (name.size() == 1) {
        const char c = name[0];
        if (c >= '0' && c <= '9') {
            return static_cast<UINT>(c);
        }
        if (c >= 'A' && c <= 'Z') {
            return static_cast<UINT>(c);
        }
        if (c >= 'a' && c <= 'z') {
            return static_cast<UINT>(c - 'a' + 'A');
        }
    }
    // F1 to F24, without leading zeros.
    if (name.size() >= 2 && name.size() <= 3 && (name[0] == 'F' || name[0] == 'f') &&
        name[1] >= '1' && name[1] <= '9' &&
        std::all_of(name.begin() + 1, name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const UINT number = static_cast<UINT>(std::stoul(std::string(name.substr(1))));
        if (number <= kFunctionKeys) {
            return VK_F1 + number - 1;
        }
    }
    for (const NamedKey& key : kNamedKeys) {
        if (SameName(name, key.name)) {
            return key.vk;
        }
    }
    return std::nullopt;
}

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::string KeyName(CameraKey key) {
    if (key.None()) {
        return "none";
    }
    std::string name;
    for (const NamedKey& modifier : kModifiers) {
        if ((key.modifiers & modifier.vk) != 0) {
            name += std::string(modifier.name) + "+";
        }
    }
    const UINT vk = key.vk & 0xFF;
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) {
        return name + static_cast<char>(vk);
    }
    if (vk >= VK_F1 && vk <= VK_F24) {
        return name + "F" + std::to_string(vk - VK_F1 + 1);
    }
    for (const NamedKey& named : kNamedKeys) {
        if (named.vk == vk) {
            return name + std::string(named.name);
        }
    }
    constexpr char kHex[] = "0123456789ABCDEF";
    return name + "0x" + kHex[vk >> 4] + kHex[vk & 0xF];
}

KeyNameReading ReadKeyName(std::string_view text) {
    using Problem = KeyNameReading::Problem;
    text = Trimmed(text);
    if (text.empty()) {
        return {{}, Problem::Empty, {}};
    }
    if (SameName(text, "none")) {
        return {};
    }
    CameraKey key;
    std::size_t start = 0;
    while (true) {
        const std::size_t plus = text.find('+', start);
        const std::string_view part =
            Trimmed(text.substr(start, plus == std::string_view::npos ? plus : plus - start));
        if (part.empty()) {
            return {{}, Problem::EmptyPart, {}};
        }
        const auto modifier =
            std::find_if(kModifiers.begin(), kModifiers.end(),
                         [part](const NamedKey& m) { return SameName(part, m.name); });
        if (modifier != kModifiers.end()) {
            if ((key.modifiers & modifier->vk) != 0) {
                return {{}, Problem::Twice, std::string(modifier->name)};
            }
            key.modifiers |= modifier->vk;
        } else if (const std::optional<UINT> vk = KeyCode(part)) {
            if (!key.None()) {
                return {{}, Problem::TwoKeys, std::string(part)};
            }
            key.vk = *vk;
        } else {
            return {{}, Problem::Unknown, std::string(part)};
        }
        if (plus == std::string_view::npos) {
            break;
        }
        start = plus + 1;
    }
    if (key.None()) {
        return {{}, Problem::NoKey, {}};
    }
    return {key, Problem::None, {}};
}

std::string AcceptedKeyNames() {
    std::string names = "Win, Ctrl, Alt or Shift joined with + to one key: A-Z, 0-9, F1-F24";
    for (const NamedKey& key : kNamedKeys) {
        names += ", " + std::string(key.name);
    }
    return names + "; or none";
}
