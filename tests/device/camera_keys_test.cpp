// The user's keys that switch the camera: their stored form, read fresh each time, never
// rewritten when odd; their names both ways; and the hidden window's word on each.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "device/camera_key_setting.h"
#include "device/camera_key_state.h"
#include "device/key_names.h"
#include "platform/sim/desktop.h"
#include "platform/sim/machine.h"

// Keys by name in a failure's message.
void PrintTo(const CameraKey& key, std::ostream* out) {
    *out << KeyName(key);
}

namespace {

using Problem = KeyNameReading::Problem;

class CameraKeysTest : public ::testing::Test {
protected:
    sim::Machine machine;
    sim::Registry& registry = machine.registry();

    void Store(const char* name, DWORD type, std::vector<BYTE> data) {
        registry.SetValue(HKEY_CURRENT_USER, kCameraKeysPath, name, type, std::move(data));
    }
    std::optional<sim::RegistryValue> Stored(CameraKeySlot slot) {
        return registry.GetValue(HKEY_CURRENT_USER, kCameraKeysPath, CameraKeyValueName(slot));
    }
    int OpenKeys() { return machine.resources().Open(sim::kinds::kRegistryKey); }
};

constexpr CameraKey kWinShiftO{MOD_WIN | MOD_SHIFT, 'O'};

TEST_F(CameraKeysTest, AbsentIsTheDefaultOddValuesAreNoKeyAndStayAsTheyAre) {
    // Nothing stored, not even the key: the toggle is Win+Shift+O, and reading writes nothing.
    EXPECT_EQ(ReadCameraKeys(), (CameraKeys{CameraKey{}, CameraKey{}, kWinShiftO}));
    EXPECT_FALSE(registry.KeyExists(HKEY_CURRENT_USER, kCameraKeysPath));
    EXPECT_EQ(kWinShiftO.Value(), 0x000C004Fu);

    // The key with the remembered frequency only: still the defaults.
    registry.SetDword(HKEY_CURRENT_USER, kCameraKeysPath, "PowerLineFrequency", 1);
    EXPECT_EQ(ReadCameraKeys(), (CameraKeys{CameraKey{}, CameraKey{}, kWinShiftO}));

    // Values of another type or size, or with bits we never write, are no key, and untouched.
    const std::vector<std::pair<DWORD, std::vector<BYTE>>> odd = {
        {REG_SZ, {'O', 0}},
        {REG_BINARY, {0x4F, 0, 0x0C, 0}},
        {REG_DWORD, {0x4F, 0}},
        {REG_DWORD, {0x4F, 0, 0x0C, 0, 0, 0, 0, 0}},
        {REG_DWORD, {0x4F, 0, 0x1C, 0}},     // bit 20
        {REG_DWORD, {0x4F, 0x01, 0x0C, 0}},  // bit 8
        {REG_DWORD, {0x4F, 0, 0x0C, 0x80}},  // bit 31
        {REG_DWORD, {0, 0, 0x0C, 0}},        // modifiers without a key
    };
    for (const auto& [type, data] : odd) {
        for (const CameraKeySlot slot : kCameraKeySlots) {
            Store(CameraKeyValueName(slot), type, data);
        }
        EXPECT_EQ(ReadCameraKeys(), CameraKeys{}) << "type " << type << ", " << data.size();
        for (const CameraKeySlot slot : kCameraKeySlots) {
            ASSERT_TRUE(Stored(slot));
            EXPECT_EQ(Stored(slot)->type, type);
            EXPECT_EQ(Stored(slot)->data, data);
        }
    }
    EXPECT_EQ(OpenKeys(), 0);

    // Each value is read once per read, and a change between reads is seen by the next.
    registry.SetDword(HKEY_CURRENT_USER, kCameraKeysPath, "HotkeyOn", 0x0003'0079);
    registry.DeleteValue(HKEY_CURRENT_USER, kCameraKeysPath, "HotkeyToggle");
    const int queries = machine.faults().Calls("RegQueryValueExA");
    EXPECT_EQ(ReadCameraKeys(),
              (CameraKeys{CameraKey{}, CameraKey{MOD_ALT | MOD_CONTROL, VK_F1 + 9}, kWinShiftO}));
    EXPECT_EQ(machine.faults().Calls("RegQueryValueExA"), queries + 3);
    registry.SetDword(HKEY_CURRENT_USER, kCameraKeysPath, "HotkeyToggle", 0);
    EXPECT_TRUE(KeyOf(ReadCameraKeys(), CameraKeySlot::Toggle).None());

    // A value that cannot be read may be the user's "none": no key, not the default.
    registry.DeleteValue(HKEY_CURRENT_USER, kCameraKeysPath, "HotkeyToggle");
    machine.faults().Fail("RegQueryValueExA", 1, ERROR_ACCESS_DENIED, 2);
    EXPECT_TRUE(KeyOf(ReadCameraKeys(), CameraKeySlot::Toggle).None());
    machine.faults().Fail("RegOpenKeyExA", 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ(ReadCameraKeys(), CameraKeys{});
    EXPECT_EQ(KeyOf(ReadCameraKeys(), CameraKeySlot::Toggle), kWinShiftO);

    // Stored: "none" is a 0, which is not the default; the others read back as written.
    EXPECT_EQ(StoreCameraKey(CameraKeySlot::Toggle, {}), ERROR_SUCCESS);
    EXPECT_EQ(Stored(CameraKeySlot::Toggle)->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(Stored(CameraKeySlot::Toggle)->AsDword(), 0u);
    const CameraKey ctrl_alt_f9{MOD_CONTROL | MOD_ALT, VK_F1 + 8};
    EXPECT_EQ(StoreCameraKey(CameraKeySlot::Off, ctrl_alt_f9), ERROR_SUCCESS);
    EXPECT_EQ(Stored(CameraKeySlot::Off)->AsDword(), 0x0003'0078u);
    EXPECT_EQ(ReadCameraKeys(),
              (CameraKeys{ctrl_alt_f9, CameraKey{MOD_ALT | MOD_CONTROL, VK_F1 + 9}, CameraKey{}}));
    machine.faults().Fail("RegSetValueExA", 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ(StoreCameraKey(CameraKeySlot::Off, kWinShiftO), ERROR_ACCESS_DENIED);
    EXPECT_EQ(OpenKeys(), 0);

    // Two of our keys cannot be one; "none" is no key to share.
    const CameraKeys keys{ctrl_alt_f9, CameraKey{}, kWinShiftO};
    EXPECT_EQ(SlotSharingKey(keys, CameraKeySlot::On, kWinShiftO), CameraKeySlot::Toggle);
    EXPECT_EQ(SlotSharingKey(keys, CameraKeySlot::Toggle, kWinShiftO), std::nullopt);
    EXPECT_EQ(SlotSharingKey(keys, CameraKeySlot::On, ctrl_alt_f9), CameraKeySlot::Off);
    EXPECT_EQ(SlotSharingKey(keys, CameraKeySlot::Off, CameraKey{}), std::nullopt);
    EXPECT_EQ(SlotSharingKey(keys, CameraKeySlot::On, CameraKey{MOD_CONTROL, VK_F1 + 8}),
              std::nullopt);
}

TEST_F(CameraKeysTest, EveryNameBothWaysAndWhatIsRefused) {
    std::vector<std::pair<std::string, UINT>> keys;
    for (char c = 'A'; c <= 'Z'; ++c) {
        keys.emplace_back(std::string(1, c), static_cast<UINT>(c));
    }
    for (char c = '0'; c <= '9'; ++c) {
        keys.emplace_back(std::string(1, c), static_cast<UINT>(c));
    }
    for (UINT f = 1; f <= 24; ++f) {
        keys.emplace_back("F" + std::to_string(f), VK_F1 + f - 1);
    }
    const std::vector<std::pair<std::string, UINT>> named = {
        {"Pause", 0x13},     {"ScrollLock", 0x91},  {"Insert", 0x2D},  {"Delete", 0x2E},
        {"Home", 0x24},      {"End", 0x23},         {"PageUp", 0x21},  {"PageDown", 0x22},
        {"Space", 0x20},     {"Tab", 0x09},         {"Enter", 0x0D},   {"Esc", 0x1B},
        {"Left", 0x25},      {"Right", 0x27},       {"Up", 0x26},      {"Down", 0x28},
        {"Backspace", 0x08}, {"PrintScreen", 0x2C}, {"NumLock", 0x90},
    };
    keys.insert(keys.end(), named.begin(), named.end());
    ASSERT_EQ(VK_F1 + 23, 0x87);
    for (const auto& [name, vk] : keys) {
        // Every modifier set, printed in the order Win, Ctrl, Alt, Shift.
        for (UINT modifiers = 0; modifiers <= kCameraKeyModifiers; ++modifiers) {
            const CameraKey key{modifiers, vk};
            std::string printed;
            printed += (modifiers & MOD_WIN) ? "Win+" : "";
            printed += (modifiers & MOD_CONTROL) ? "Ctrl+" : "";
            printed += (modifiers & MOD_ALT) ? "Alt+" : "";
            printed += (modifiers & MOD_SHIFT) ? "Shift+" : "";
            printed += name;
            EXPECT_EQ(KeyName(key), printed);
            const KeyNameReading read = ReadKeyName(printed);
            EXPECT_EQ(read.problem, Problem::None) << printed;
            EXPECT_EQ(read.key, key) << printed;
            EXPECT_EQ(CameraKey::FromValue(key.Value()), key) << printed;
        }
        // Any case, blanks around +, the modifiers in any order.
        std::string lower;
        for (const char c : name) {
            lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
        EXPECT_EQ(ReadKeyName(" WIN + shift+ " + lower).key, (CameraKey{MOD_WIN | MOD_SHIFT, vk}));
    }
    // Through the registry and back, for each class of name.
    for (const char* name : {"Win+Shift+O", "Ctrl+Alt+F10", "Ctrl+7", "Alt+Shift+PrintScreen"}) {
        const CameraKey key = ReadKeyName(name).key;
        ASSERT_EQ(StoreCameraKey(CameraKeySlot::On, key), ERROR_SUCCESS);
        EXPECT_EQ(KeyName(KeyOf(ReadCameraKeys(), CameraKeySlot::On)), name);
    }
    EXPECT_EQ(KeyName({}), "none");
    EXPECT_EQ(ReadKeyName("NONE").problem, Problem::None);
    EXPECT_TRUE(ReadKeyName(" none ").key.None());
    // A code without a name of its own, as the settings window's key control may store.
    EXPECT_EQ(KeyName(CameraKey::FromValue(0x0002'00BA)), "Ctrl+0xBA");

    const std::vector<std::tuple<std::string, Problem, std::string>> refused = {
        {"", Problem::Empty, ""},
        {"  ", Problem::Empty, ""},
        {"Ctrl+", Problem::EmptyPart, ""},
        {"Ctrl++A", Problem::EmptyPart, ""},
        {"+A", Problem::EmptyPart, ""},
        {"Win+Shift+Foo", Problem::Unknown, "Foo"},
        {"F0", Problem::Unknown, "F0"},
        {"F25", Problem::Unknown, "F25"},
        {"F01", Problem::Unknown, "F01"},
        {"Control+A", Problem::Unknown, "Control"},
        {"Ctrl+none", Problem::Unknown, "none"},
        {"A+B", Problem::TwoKeys, "B"},
        {"Ctrl+F1+Esc", Problem::TwoKeys, "Esc"},
        {"Ctrl+Alt", Problem::NoKey, ""},
        {"win", Problem::NoKey, ""},
        {"Ctrl+ctrl+A", Problem::Twice, "Ctrl"},
    };
    for (const auto& [typed, problem, part] : refused) {
        const KeyNameReading read = ReadKeyName(typed);
        EXPECT_EQ(read.problem, problem) << typed;
        EXPECT_EQ(read.part, part) << typed;
        EXPECT_TRUE(read.key.None()) << typed;
    }
    const std::string accepted = AcceptedKeyNames();
    for (const auto& [name, vk] : named) {
        EXPECT_NE(accepted.find(name), std::string::npos) << name;
    }
    EXPECT_NE(accepted.find("F1-F24"), std::string::npos);
}

// What the hidden window says of each key, as lumisetctl reads it from another process.
TEST_F(CameraKeysTest, TheWindowsWordOnEachKey) {
    sim::Desktop desktop(machine);
    std::vector<CameraKeyState> states;
    desktop.Start([&states, this] {
        const HWND window = machine.windows().Create(u"TestHost", u"Property", WS_POPUP, 0, nullptr,
                                                     0, RECT{0, 0, 10, 10}, DefWindowProcA);
        const CameraKey f10{MOD_CONTROL | MOD_ALT, VK_F1 + 9};
        auto read = [&](CameraKeySlot slot, CameraKey stored) {
            states.push_back(ReadCameraKeyState(window, slot, stored));
        };
        read(CameraKeySlot::Toggle, kWinShiftO);
        EXPECT_TRUE(PublishCameraKeyState(window, CameraKeySlot::Toggle, kWinShiftO, true));
        EXPECT_TRUE(PublishCameraKeyState(window, CameraKeySlot::On, f10, false));
        read(CameraKeySlot::Toggle, kWinShiftO);
        read(CameraKeySlot::On, f10);
        read(CameraKeySlot::Off, f10);
        // Stored anew, not yet taken.
        read(CameraKeySlot::Toggle, f10);
        EXPECT_TRUE(PublishCameraKeyState(window, CameraKeySlot::Toggle, {}, true));
        read(CameraKeySlot::Toggle, kWinShiftO);
        RemoveCameraKeyStates(window);
        read(CameraKeySlot::On, f10);
        EXPECT_EQ(GetPropA(window, "LumisetKeyOn"), nullptr);
        DestroyWindow(window);
    });
    using State = CameraKeyState;
    EXPECT_EQ(states, (std::vector<State>{State::Unpublished, State::Held, State::Refused,
                                          State::Unpublished, State::Stale, State::Unpublished,
                                          State::Unpublished}));
}

}  // namespace
