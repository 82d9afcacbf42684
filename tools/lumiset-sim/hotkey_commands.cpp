// The console's system-wide keys: `keyboard KEYS` (a key pressed anywhere on the desktop),
// `hotkey take KEYS` (another program registers it first) and `hotkey list`.
#include <string>

#include "framework/key_names.h"
#include "platform/sim/codepage.h"
#include "tools/lumiset-sim/console.h"

namespace console {

namespace {

constexpr const char* kKeyboardUsage = "usage: keyboard KEYS (e.g. keyboard win+shift+o)";
constexpr const char* kHotkeyUsage = "usage: hotkey take KEYS | hotkey list";

std::string NameOf(const sim::Hotkey& key) {
    return framework::KeyCombinationName(
        {key.modifiers & framework::kModifierMask, key.virtual_key});
}

}  // namespace

bool Console::Keyboard(const Words& words) {
    if (words.size() != 2) {
        return Error(kKeyboardUsage);
    }
    std::string why;
    const auto keys = framework::ParseKeyCombination(words[1], &why);
    if (!keys) {
        return Error(why);
    }
    desktop_.PressKeyAnywhere(keys->modifiers, keys->virtual_key);
    return true;
}

bool Console::Hotkey(const Words& words) {
    if (words.size() == 2 && words[1] == "list") {
        if (desktop_.Hotkeys().empty()) {
            out_ << "no hotkeys\n";
        }
        for (const sim::Hotkey& key : desktop_.Hotkeys()) {
            const sim::Window* owner = machine_.windows().Find(key.window);
            out_ << NameOf(key) << " "
                 << (owner ? "\"" + sim::Utf16ToUtf8(owner->title) + "\"" : "(no window)") << "\n";
        }
        return true;
    }
    if (words.size() != 3 || words[1] != "take") {
        return Error(kHotkeyUsage);
    }
    std::string why;
    const auto keys = framework::ParseKeyCombination(words[2], &why);
    if (!keys) {
        return Error(why);
    }
    const DWORD error = desktop_.TakeHotkey(keys->modifiers, keys->virtual_key);
    if (error == ERROR_HOTKEY_ALREADY_REGISTERED) {
        for (const sim::Hotkey& key : desktop_.Hotkeys()) {
            const sim::Window* owner = machine_.windows().Find(key.window);
            if (key.virtual_key == keys->virtual_key &&
                (key.modifiers & framework::kModifierMask) == keys->modifiers) {
                return Error(NameOf(key) + " is registered already" +
                             (owner ? " by \"" + sim::Utf16ToUtf8(owner->title) + "\"" : ""));
            }
        }
    }
    if (error != ERROR_SUCCESS) {
        return Error("RegisterHotKey failed (error " + std::to_string(error) + ")");
    }
    return true;
}

}  // namespace console
