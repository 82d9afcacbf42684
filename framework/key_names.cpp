#include "framework/key_names.h"

#include <array>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace framework {

namespace {

// Pieces put together one after another: GCC 12 warns wrongly (-Wrestrict) about a literal added
// to a std::string.
std::string Joined(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (const std::string_view piece : pieces) {
        text.append(piece);
    }
    return text;
}

struct NamedKey {
    std::string_view name;
    unsigned code;
};

// Keys named by a word; letters, digits and F1-F24 follow from their codes.
constexpr std::array kNamedKeys = {
    NamedKey{"Backspace", 0x08},  NamedKey{"Tab", 0x09},      NamedKey{"Enter", 0x0D},
    NamedKey{"Pause", 0x13},      NamedKey{"Esc", 0x1B},      NamedKey{"Space", 0x20},
    NamedKey{"PageUp", 0x21},     NamedKey{"PageDown", 0x22}, NamedKey{"End", 0x23},
    NamedKey{"Home", 0x24},       NamedKey{"Left", 0x25},     NamedKey{"Up", 0x26},
    NamedKey{"Right", 0x27},      NamedKey{"Down", 0x28},     NamedKey{"PrintScreen", 0x2C},
    NamedKey{"Insert", 0x2D},     NamedKey{"Delete", 0x2E},   NamedKey{"NumLock", 0x90},
    NamedKey{"ScrollLock", 0x91},
};

constexpr unsigned kF1 = 0x70;
constexpr unsigned kF24 = 0x87;

struct Modifier {
    std::string_view name;
    unsigned flag;
};

// In the order names are written.
constexpr std::array kModifiers = {
    Modifier{"Win", kModWin},
    Modifier{"Ctrl", kModControl},
    Modifier{"Alt", kModAlt},
    Modifier{"Shift", kModShift},
};

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::optional<unsigned> ModifierFlag(std::string_view word) {
    for (const Modifier& modifier : kModifiers) {
        if (SameIgnoringCase(word, modifier.name)) {
            return modifier.flag;
        }
    }
    if (SameIgnoringCase(word, "Control")) {
        return kModControl;
    }
    return std::nullopt;
}

std::optional<unsigned> KeyCode(std::string_view word) {
    if (word.size() == 1) {
        const char c = Lower(word[0]);
        if (c >= 'a' && c <= 'z') {
            return static_cast<unsigned>(c - 'a' + 'A');
        }
        if (c >= '0' && c <= '9') {
            return static_cast<unsigned>(c);
        }
        return std::nullopt;
    }
    if (Lower(word[0]) == 'f' && word.size() <= 3) {
        unsigned number = 0;
        for (char c : word.substr(1)) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            number = number * 10 + static_cast<unsigned>(c - '0');
        }
        if (word[1] != '0' && number >= 1 && number <= kF24 - kF1 + 1) {
            return kF1 + number - 1;
        }
        return std::nullopt;
    }
    for (const NamedKey& key : kNamedKeys) {
        if (SameIgnoringCase(word, key.name)) {
            return key.code;
        }
    }
    if (SameIgnoringCase(word, "Escape")) {
        return 0x1Bu;
    }
    return std::nullopt;
}

std::optional<KeyCombination> Refuse(std::string* why, const std::string& sentence) {
    if (why) {
        *why = sentence;
    }
    return std::nullopt;
}

}  // namespace

std::optional<KeyCombination> ParseKeyCombination(std::string_view text, std::string* why) {
    const std::string accepted =
        Joined({"keys are ", AcceptedKeyNames(), ", joined with + (e.g. Win+Shift+O)"});
    std::vector<std::string_view> words;
    for (std::size_t start = 0;;) {
        const std::size_t plus = text.find('+', start);
        words.push_back(text.substr(start, plus == std::string_view::npos ? plus : plus - start));
        if (plus == std::string_view::npos) {
            break;
        }
        start = plus + 1;
    }
    KeyCombination keys;
    for (std::string_view word : words) {
        if (word.empty()) {
            return Refuse(why, Joined({"\"", text, "\" is not a key: ", accepted}));
        }
        if (const auto flag = ModifierFlag(word)) {
            if (keys.modifiers & *flag) {
                return Refuse(why, Joined({"\"", text, "\" names ", word, " twice: ", accepted}));
            }
            keys.modifiers |= *flag;
            continue;
        }
        const auto code = KeyCode(word);
        if (!code) {
            return Refuse(why, Joined({"no key named \"", word, "\": ", accepted}));
        }
        if (keys.virtual_key != 0) {
            return Refuse(why, Joined({"\"", text, "\" names two keys: ", accepted}));
        }
        keys.virtual_key = *code;
    }
    if (keys.virtual_key == 0) {
        return Refuse(why, Joined({"\"", text,
                                   "\" has no key besides Ctrl, Alt, Shift and Win: ", accepted}));
    }
    return keys;
}

std::optional<std::string_view> KeyName(unsigned virtual_key) {
    static const std::array<std::string, 24> function_keys = [] {
        std::array<std::string, 24> names;
        for (std::size_t i = 0; i < names.size(); ++i) {
            names[i] = Joined({"F", std::to_string(i + 1)});
        }
        return names;
    }();
    static const std::array<std::string, 36> characters = [] {
        std::array<std::string, 36> names;
        for (std::size_t i = 0; i < 26; ++i) {
            names[i] = std::string(1, static_cast<char>('A' + i));
        }
        for (std::size_t i = 0; i < 10; ++i) {
            names[26 + i] = std::string(1, static_cast<char>('0' + i));
        }
        return names;
    }();
    if (virtual_key >= 'A' && virtual_key <= 'Z') {
        return characters[virtual_key - 'A'];
    }
    if (virtual_key >= '0' && virtual_key <= '9') {
        return characters[26 + virtual_key - '0'];
    }
    if (virtual_key >= kF1 && virtual_key <= kF24) {
        return function_keys[virtual_key - kF1];
    }
    for (const NamedKey& key : kNamedKeys) {
        if (key.code == virtual_key) {
            return key.name;
        }
    }
    return std::nullopt;
}

std::string KeyCombinationName(KeyCombination keys) {
    std::string name;
    for (const Modifier& modifier : kModifiers) {
        if (keys.modifiers & modifier.flag) {
            name += std::string(modifier.name) + "+";
        }
    }
    if (const auto key = KeyName(keys.virtual_key)) {
        return name + std::string(*key);
    }
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X", keys.virtual_key & 0xFFu);
    return name + code;
}

std::string_view AcceptedKeyNames() {
    return "Ctrl, Alt, Shift, Win, A-Z, 0-9, F1-F24, Pause, ScrollLock, Insert, Delete, Home, End, "
           "PageUp, PageDown, Space, Tab, Enter, Esc, Left, Right, Up, Down, Backspace, "
           "PrintScreen, NumLock";
}

unsigned ModifiersFromHotkeyFlags(unsigned hotkey_flags) {
    return ((hotkey_flags & 0x1u) ? kModShift : 0u) | ((hotkey_flags & 0x2u) ? kModControl : 0u) |
           ((hotkey_flags & 0x4u) ? kModAlt : 0u);
}

unsigned HotkeyFlagsFromModifiers(unsigned modifiers) {
    return ((modifiers & kModShift) ? 0x1u : 0u) | ((modifiers & kModControl) ? 0x2u : 0u) |
           ((modifiers & kModAlt) ? 0x4u : 0u);
}

}  // namespace framework
