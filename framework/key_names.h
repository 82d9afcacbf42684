// Key combinations by name ("Win+Shift+O", "Ctrl+Alt+F9") and as RegisterHotKey takes them (MOD_
// flags and a virtual-key code). Plain C++ with no Windows names, so that the program, lumisetctl
// and the simulated desktop's console read and write keys alike.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace framework {

// RegisterHotKey's modifier flags (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN).
inline constexpr unsigned kModAlt = 0x1;
inline constexpr unsigned kModControl = 0x2;
inline constexpr unsigned kModShift = 0x4;
inline constexpr unsigned kModWin = 0x8;
inline constexpr unsigned kModifierMask = kModAlt | kModControl | kModShift | kModWin;

struct KeyCombination {
    unsigned modifiers = 0;    // kMod* flags
    unsigned virtual_key = 0;  // VK_ code, 1 to 254

    bool operator==(const KeyCombination&) const = default;
};

// "win+shift+o", in any case, the parts joined with '+': any of Ctrl, Alt, Shift and Win once
// each, and one key of AcceptedKeyNames(). nullopt for anything else, with `why` (when given) set
// to a sentence that names what is accepted.
std::optional<KeyCombination> ParseKeyCombination(std::string_view text,
                                                  std::string* why = nullptr);

// The combination's name as a person reads it, modifiers first in the order Win, Ctrl, Alt,
// Shift: "Win+Shift+O". A key without a name of its own shows its code: "Ctrl+0xBA".
std::string KeyCombinationName(KeyCombination keys);

// The name of one key without modifiers ("F9", "PageUp"); nullopt for a code without a name.
std::optional<std::string_view> KeyName(unsigned virtual_key);

// The names ParseKeyCombination takes, for a message: "Ctrl, Alt, Shift, Win, A-Z, 0-9, ...".
std::string_view AcceptedKeyNames();

// The hotkey control's modifier flags (HKM_GETHOTKEY's high byte: HOTKEYF_SHIFT 1,
// HOTKEYF_CONTROL 2, HOTKEYF_ALT 4) to RegisterHotKey's, and back; other bits are dropped.
unsigned ModifiersFromHotkeyFlags(unsigned hotkey_flags);
unsigned HotkeyFlagsFromModifiers(unsigned modifiers);

}  // namespace framework
