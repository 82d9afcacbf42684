// Keys by name, both ways: "Win+Shift+O", "Ctrl+Alt+F10", "none". The one place of the names, so
// that every reader of a typed key takes the same ones.
#pragma once

#include <string>
#include <string_view>

#include "device/camera_key.h"

// Win, Ctrl, Alt, Shift in that order, then the key; "none" for no key. A code without a name
// of its own (a punctuation key chosen in the settings window) shows as 0xNN.
std::string KeyName(CameraKey key);

// What a typed name means. The modifiers in any order, the names in any case, blanks around a
// + alike; exactly one key that is not a modifier, or "none" alone.
struct KeyNameReading {
    enum class Problem { None, Empty, EmptyPart, Unknown, TwoKeys, NoKey, Twice };
    CameraKey key;
    Problem problem = Problem::None;
    std::string part;  // Unknown, Twice: the name as typed; TwoKeys: the second key
};
KeyNameReading ReadKeyName(std::string_view text);

// What ReadKeyName takes, for an error message.
std::string AcceptedKeyNames();
