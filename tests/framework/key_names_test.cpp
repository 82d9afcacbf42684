// Key names read and written alike: every name a key has comes back as that key, in any case and
// with the modifiers in any order; what is not a key is refused with the names it takes.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "framework/key_names.h"
#include "platform/win32.h"

namespace {

using framework::KeyCombination;
using framework::ParseKeyCombination;

TEST(KeyNames, ReadAndWrittenAlikeAndRefusedWithWhatIsTaken) {
    static_assert(framework::kModAlt == MOD_ALT && framework::kModControl == MOD_CONTROL &&
                  framework::kModShift == MOD_SHIFT && framework::kModWin == MOD_WIN);
    EXPECT_EQ(ParseKeyCombination("win+shift+o"), (KeyCombination{MOD_WIN | MOD_SHIFT, 'O'}));
    EXPECT_EQ(ParseKeyCombination("SHIFT+Win+O"), (KeyCombination{MOD_WIN | MOD_SHIFT, 'O'}));
    EXPECT_EQ(ParseKeyCombination("Ctrl+Alt+F9"), (KeyCombination{MOD_CONTROL | MOD_ALT, VK_F9}));
    EXPECT_EQ(ParseKeyCombination("f24"), (KeyCombination{0, VK_F24}));
    EXPECT_EQ(ParseKeyCombination("control+escape"), (KeyCombination{MOD_CONTROL, VK_ESCAPE}));
    EXPECT_EQ(framework::KeyCombinationName({MOD_SHIFT | MOD_ALT | MOD_CONTROL | MOD_WIN, 'A'}),
              "Win+Ctrl+Alt+Shift+A");
    EXPECT_EQ(framework::KeyCombinationName({MOD_CONTROL, 0xBA}), "Ctrl+0xBA");

    // Every code with a name: the name, in lower case, reads back as the same key.
    int named = 0;
    for (unsigned code = 1; code < 255; ++code) {
        const auto name = framework::KeyName(code);
        if (!name) {
            continue;
        }
        ++named;
        std::string lower(*name);
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        EXPECT_EQ(ParseKeyCombination("ctrl+" + lower), (KeyCombination{MOD_CONTROL, code}))
            << *name;
    }
    EXPECT_EQ(named, 26 + 10 + 24 + 19);

    for (const char* bad : {"", "win+", "+o", "ctrl+alt", "a+b", "ctrl+ctrl+a", "f0", "f25", "f01",
                            "nosuch", "win+shift+o+"}) {
        std::string why;
        EXPECT_FALSE(ParseKeyCombination(bad, &why)) << bad;
        EXPECT_NE(why.find(framework::AcceptedKeyNames()), std::string::npos) << why;
    }

    // The hotkey control's flags are another order of the same three modifiers.
    EXPECT_EQ(framework::ModifiersFromHotkeyFlags(HOTKEYF_SHIFT | HOTKEYF_ALT | HOTKEYF_EXT),
              unsigned{MOD_SHIFT | MOD_ALT});
    EXPECT_EQ(framework::HotkeyFlagsFromModifiers(MOD_CONTROL | MOD_WIN),
              unsigned{HOTKEYF_CONTROL});
}

}  // namespace
