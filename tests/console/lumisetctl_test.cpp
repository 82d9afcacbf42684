// lumisetctl's words: each command's window command, the effect names in their spellings, every
// usage error, and the outcome (output, error line, exit status) of a run on a fake machine.
#include "tools/lumisetctl/lumisetctl_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/key_names.h"
#include "dialogs/effect_ids.h"
#include "platform/sim/desktop.h"
#include "res/resource_bytes.h"

namespace {

using Args = std::vector<std::string>;
using lumisetctl::Action;

unsigned Posted(const Args& args) {
    const Action action = lumisetctl::Parse(args);
    EXPECT_EQ(action.kind, Action::Kind::Post) << args[0] << ": " << action.error;
    return action.command;
}

std::string ErrorOf(const Args& args) {
    const Action action = lumisetctl::Parse(args);
    EXPECT_EQ(action.kind, Action::Kind::UsageError) << (args.empty() ? "" : args[0]);
    return action.error;
}

TEST(Lumisetctl, CommandWordsInAnyCase) {
    const std::vector<std::pair<std::string, unsigned>> commands = {
        {"50hz", 32830},      {"60Hz", 32831},     {"on", 32827},         {"OFF", 32828},
        {"exit", 32772},      {"Zoom", 32817},     {"properties", 32773}, {"snapshot", 32829},
        {"facetrack", 32821}, {"NoEffect", 32803},
    };
    for (const auto& [word, id] : commands) {
        EXPECT_EQ(Posted({word}), id) << word;
    }
    EXPECT_EQ(lumisetctl::Parse({"SETTINGS"}).kind, Action::Kind::Settings);
    EXPECT_EQ(lumisetctl::Parse({"status"}).kind, Action::Kind::Status);
    EXPECT_EQ(lumisetctl::Parse({"--help"}).kind, Action::Kind::Help);
    EXPECT_EQ(lumisetctl::Parse({"-h"}).kind, Action::Kind::Help);
}

TEST(Lumisetctl, EveryEffectByNameMatchesTheSharedEffectTable) {
    ASSERT_EQ(lumisetctl::kEffectNames.size(), static_cast<std::size_t>(kLastEffect));
    for (std::size_t i = 0; i < lumisetctl::kEffectNames.size(); ++i) {
        const EffectId effect = static_cast<EffectId>(i + 1);
        const std::string name = lumisetctl::kEffectNames[i].name;
        const unsigned command = Posted({"effect", name});
        EXPECT_EQ(command, 32776u + static_cast<unsigned>(effect)) << name;
        EXPECT_EQ(EffectOfCommand(command), effect) << name;
    }
}

TEST(Lumisetctl, EffectNameSpellings) {
    EXPECT_EQ(Posted({"effect", "tv-effect"}), 32792u);
    EXPECT_EQ(Posted({"effect", "Magic Mirror"}), 32790u);
    EXPECT_EQ(Posted({"effect", "magic", "mirror"}), 32790u);
    EXPECT_EQ(Posted({"Effect", "  FBI --  wanted "}), 32798u);
    EXPECT_EQ(Posted({"effect", "post-card"}), 32793u);
    EXPECT_EQ(Posted({"effect", "MOSAIC"}), 32791u);
    // Words run together or cut short are other names.
    for (const char* name : {"magicmirror", "tv", "Magic Mirrors"}) {
        EXPECT_EQ(lumisetctl::EffectCommand(name), 0u) << name;
    }
}

// The settings window's Effect tab spells two frames its own way; lumisetctl takes every radio
// button's text as the tab shows it, and --help gives that spelling beside its own.
TEST(Lumisetctl, TakesEveryNameTheEffectTabShows) {
    sim::Machine machine;
    ASSERT_TRUE(machine.program().LoadResources(LumisetResourceBytes()));
    std::vector<std::pair<std::string, unsigned>> radios;
    sim::Desktop(machine).Start([&machine, &radios] {
        const HWND window =
            machine.windows().Create(u"TestSettings", u"Settings", WS_POPUP, 0, nullptr, 0,
                                     RECT{0, 0, 400, 600}, DefWindowProcA);
        const HWND page = CreateDialogParamA(
            GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_EFFECT), window,
            [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
        for (const EffectEntry& entry : kEffectTable) {
            char text[64] = {};
            GetWindowTextA(GetDlgItem(page, entry.radio), text, sizeof text);
            if (entry.effect != kNoEffect) {
                radios.emplace_back(text, entry.command);
            }
        }
        DestroyWindow(window);
    });
    ASSERT_EQ(radios.size(), static_cast<std::size_t>(kLastEffect));
    for (const auto& [text, command] : radios) {
        EXPECT_EQ(lumisetctl::EffectCommand(text), command) << text;
    }
    EXPECT_EQ(Posted({"effect", "merry", "xms"}), 32801u);
    EXPECT_EQ(Posted({"effect", "MERRY-XMS"}), 32801u);
    EXPECT_EQ(Posted({"effect", "magnifie"}), 32802u);
    EXPECT_EQ(Posted({"effect", "Merry Xmas"}), 32801u);
    EXPECT_EQ(lumisetctl::EffectCommand("Magnifi"), 0u);
    const std::string help = lumisetctl::Usage();
    EXPECT_NE(help.find("Merry Xmas (tab: Merry Xms)"), std::string::npos) << help;
    EXPECT_NE(help.find("Magnifier (tab: Magnifie)"), std::string::npos) << help;
    EXPECT_EQ(help.find("Paper (tab:"), std::string::npos) << help;
}

TEST(Lumisetctl, UsageErrorsNameWhatIsWrong) {
    EXPECT_EQ(ErrorOf({}), "no COMMAND given (lumisetctl --help lists them)");
    EXPECT_EQ(ErrorOf({"x"}), "unknown command \"x\"");
    EXPECT_EQ(ErrorOf({"--version"}), "unknown command \"--version\"");
    EXPECT_EQ(ErrorOf({"effect"}), "effect needs a NAME");
    EXPECT_EQ(ErrorOf({"effect", " - "}), "effect needs a NAME");
    EXPECT_EQ(ErrorOf({"effect", "sepia", "tone"}),
              "unknown effect \"sepia tone\" (lumisetctl --help lists them)");
    EXPECT_EQ(ErrorOf({"zoom", "2"}), "\"zoom\" takes no arguments");
    EXPECT_EQ(ErrorOf({"NoEffect", "now"}), "\"NoEffect\" takes no arguments");
    EXPECT_EQ(ErrorOf({"settings", "effect"}), "\"settings\" takes no arguments");
    EXPECT_EQ(ErrorOf({"status", "-v"}), "\"status\" takes no arguments");
    EXPECT_EQ(ErrorOf({"--help", "zoom"}), "\"--help\" takes no arguments");
    // A line break or other control character typed in a word keeps the error on one line.
    EXPECT_EQ(ErrorOf({"st\n", "x"}), "unknown command \"st\\x0A\"");
    EXPECT_EQ(ErrorOf({"zoom\t\x7F", "x"}), "unknown command \"zoom\\x09\\x7F\"");
    EXPECT_EQ(ErrorOf({"effect", "tv\r", "effect"}),
              "unknown effect \"tv\\x0D effect\" (lumisetctl --help lists them)");
    // A long word is quoted up to 64 characters, never cut inside a UTF-8 character.
    const std::string long_word(100, 'w');
    EXPECT_EQ(ErrorOf({long_word}), "unknown command \"" + std::string(64, 'w') + "...\"");
    EXPECT_EQ(ErrorOf({std::string(64, 'w')}), "unknown command \"" + std::string(64, 'w') + "\"");
    EXPECT_EQ(ErrorOf({"effect", std::string(63, 'e') + "\xC3\xA9" + "tail"}),
              "unknown effect \"" + std::string(63, 'e') + "...\" (lumisetctl --help lists them)");
    EXPECT_EQ(
        ErrorOf({std::string(70, '\n')}), "unknown command \"" + [] {
            std::string escaped;
            for (int i = 0; i < 64; ++i) {
                escaped += "\\x0A";
            }
            return escaped;
        }() + "...\"");
    // The uninstaller's wait takes 0 to 600 seconds, in decimal.
    for (const Args& bad :
         {Args{"--uninstall-wait"}, Args{"--uninstall-wait", "601"}, Args{"--uninstall-wait", "-1"},
          Args{"--uninstall-wait", "0x10"}, Args{"--uninstall-wait", "4294967296"},
          Args{"--uninstall-wait", "5", "5"}}) {
        EXPECT_EQ(ErrorOf(bad), "--uninstall-wait needs SECONDS, 0 to 600") << bad.back();
    }
    EXPECT_EQ(lumisetctl::Parse({"--uninstall-wait", "600"}).command, 600u);
    EXPECT_EQ(lumisetctl::Parse({"--uninstall-wait", "0"}).kind, Action::Kind::UninstallWait);
}

class FakeMachine : public lumisetctl::Machine {
public:
    bool running = true;
    Result::Kind post_result = Result::Kind::Done;
    std::vector<unsigned> posted;
    int settings_started = 0;

    bool LumisetRunning() override { return running; }
    Result Post(unsigned command) override {
        posted.push_back(command);
        return {running ? post_result : Result::Kind::NotRunning,
                post_result == Result::Kind::Failed ? "cannot post to Lumiset (error 1816)" : ""};
    }
    Result StartSettings() override {
        ++settings_started;
        return {Result::Kind::Done, {}};
    }
    bool SettingReadable() override { return setting_readable; }
    bool WaitForNoLumiset(unsigned milliseconds) override {
        waited_ms.push_back(milliseconds);
        return !running;
    }
    lumisetctl::Report ReadReport() override {
        ++reports_read;
        return report;
    }
    lumisetctl::KeysReport ReadKeys() override {
        keys.running = running;
        return keys;
    }
    Result StoreKey(CameraKeySlot slot, CameraKey key) override {
        stored.emplace_back(slot, key);
        if (store_result == Result::Kind::Failed) {
            return {store_result, "cannot store the key (error 5)"};
        }
        keys.keys[static_cast<std::size_t>(slot)].key = key;
        return {Result::Kind::Done, {}};
    }
    Result PostKeysChanged() override {
        ++keys_changed_posted;
        if (!running) {
            return {Result::Kind::NotRunning, {}};
        }
        return {post_result,
                post_result == Result::Kind::Failed ? "cannot tell Lumiset (error 1816)" : ""};
    }
    lumisetctl::KeysReport keys;
    std::vector<std::pair<CameraKeySlot, CameraKey>> stored;
    Result::Kind store_result = Result::Kind::Done;
    int keys_changed_posted = 0;
    bool setting_readable = true;
    std::vector<unsigned> waited_ms;
    lumisetctl::Report report;
    int reports_read = 0;
};

TEST(Lumisetctl, OutcomesAndExitStatuses) {
    FakeMachine machine;
    auto run = [&machine](const Args& args) { return lumisetctl::Run(args, machine); };

    auto outcome = run({"effect", "wind"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.output + outcome.error, "");
    EXPECT_EQ(machine.posted, std::vector<unsigned>{32789});
    outcome = run({"status"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.output, "running\n");

    machine.post_result = FakeMachine::Result::Kind::Failed;
    outcome = run({"snapshot"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.error, "cannot post to Lumiset (error 1816)");

    machine.running = false;
    outcome = run({"on"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.output, "");
    EXPECT_EQ(outcome.error, "Lumiset is not running");
    outcome = run({"status"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.output, "not running\n");
    EXPECT_EQ(outcome.error, "");
    // The settings window does not need a running copy: the new one starts as usual.
    outcome = run({"settings"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(machine.settings_started, 1);

    // Bad input reaches nothing.
    machine.posted.clear();
    outcome = run({"effect", "sepia"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.output, "");
    EXPECT_TRUE(machine.posted.empty());

    // The uninstaller's wait: at once while the setting can be read, else until none runs.
    outcome = run({"--uninstall-wait", "10"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_TRUE(machine.waited_ms.empty());
    machine.setting_readable = false;
    outcome = run({"--uninstall-wait", "10"});
    EXPECT_EQ(outcome.status, 0);
    machine.running = true;
    outcome = run({"--uninstall-wait", "7"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.error, "Lumiset still runs after 7 seconds");
    EXPECT_EQ(machine.waited_ms, (std::vector<unsigned>{10000, 7000}));

    outcome = run({"--help"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.error, "");
    for (const char* word : {"50hz", "facetrack", "effect NAME", "settings", "status", "-h"}) {
        EXPECT_NE(outcome.output.find(word), std::string::npos) << word;
    }
    for (const auto& effect : lumisetctl::kEffectNames) {
        EXPECT_NE(outcome.output.find(effect.name), std::string::npos) << effect.name;
    }
}

// `info`: every state in its words, a line each in a fixed order, exit status 1 only without a
// camera; the report is read by lumisetctl, whether or not Lumiset runs.
TEST(Lumisetctl, InfoLinesInEveryState) {
    using Camera = lumisetctl::Report::Camera;
    FakeMachine machine;
    machine.running = false;
    machine.report.keys.keys[2].key = {MOD_WIN | MOD_SHIFT, 'O'};
    auto outcome = lumisetctl::Run({"info"}, machine);
    EXPECT_EQ(machine.reports_read, 1);
    EXPECT_EQ(machine.posted, std::vector<unsigned>{});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.error, "");
    EXPECT_EQ(outcome.output,
              "Lumiset: not running\n"
              "camera: none found\n"
              "stored setting: missing\n"
              "power-line frequency: unknown (remembered: none)\n"
              "key off: none\n"
              "key on: none\n"
              "key toggle: Win+Shift+O (Lumiset is not running)\n");

    machine.report.running = true;
    machine.report.keys.running = true;
    machine.report.keys.keys[0].key = {MOD_CONTROL | MOD_ALT, VK_F1 + 9};
    machine.report.keys.keys[2].state = CameraKeyState::Refused;
    machine.report.administrator = false;
    machine.report.cameras = {Camera{"CV Lumen Webcam", Camera::State::Started, 0}};
    machine.report.stored_setting = 1;
    machine.report.power_line = 2;
    outcome = lumisetctl::Run({"INFO"}, machine);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.output,
              "Lumiset: running (administrator rights: no)\n"
              "camera: CV Lumen Webcam, started\n"
              "stored setting: On\n"
              "power-line frequency: 60 Hz (remembered: none)\n"
              "key off: Ctrl+Alt+F10 ready\n"
              "key on: none\n"
              "key toggle: Win+Shift+O used by another program\n");

    // Every camera a line; a name with a line break stays on its line.
    machine.report.administrator = true;
    machine.report.cameras = {Camera{"CV Lumen Webcam", Camera::State::Disabled, 0},
                              Camera{"USB\\VID_F3A7&PID_5D8F", Camera::State::Absent, 0},
                              Camera{"two\nlines", Camera::State::Problem, 43},
                              Camera{"x", Camera::State::Stopped, 0},
                              Camera{"y", Camera::State::Unknown, 0}};
    machine.report.stored_setting = 0;
    machine.report.power_line = 1;
    machine.report.remembered_power_line = 1;
    outcome = lumisetctl::Run({"info"}, machine);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.output,
              "Lumiset: running (administrator rights: yes)\n"
              "camera: CV Lumen Webcam, disabled\n"
              "camera: USB\\VID_F3A7&PID_5D8F, absent\n"
              "camera: two\\x0Alines, problem 43\n"
              "camera: x, stopped\n"
              "camera: y, state unknown\n"
              "stored setting: Off\n"
              "power-line frequency: 50 Hz (remembered: 50 Hz)\n"
              "key off: Ctrl+Alt+F10 ready\n"
              "key on: none\n"
              "key toggle: Win+Shift+O used by another program\n");

    // Values Lumiset would not store, and rights it could not read.
    machine.report.administrator.reset();
    machine.report.stored_setting = 7;
    machine.report.power_line = 0;
    machine.report.remembered_power_line = 2;
    outcome = lumisetctl::Run({"info"}, machine);
    EXPECT_NE(outcome.output.find("Lumiset: running (administrator rights: unknown)\n"),
              std::string::npos);
    EXPECT_NE(outcome.output.find("stored setting: On\n"), std::string::npos);
    EXPECT_NE(outcome.output.find("power-line frequency: off (remembered: 60 Hz)\n"),
              std::string::npos);
    machine.report.power_line = 9;
    EXPECT_NE(lumisetctl::Run({"info"}, machine).output.find("frequency: value 9 ("),
              std::string::npos);

    EXPECT_EQ(lumisetctl::Run({"info", "now"}, machine).error, "\"info\" takes no arguments");
    EXPECT_EQ(machine.reports_read, 5);
}

// `keys`: a line each with the running Lumiset's word; setting one checks the name and our own
// duplicates before anything is stored, then tells the running Lumiset, and only it.
TEST(Lumisetctl, KeysListedSetAndRefused) {
    using State = CameraKeyState;
    FakeMachine machine;
    auto run = [&machine](const Args& args) { return lumisetctl::Run(args, machine); };
    machine.keys.keys[2].key = {MOD_WIN | MOD_SHIFT, 'O'};
    auto outcome = run({"keys"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.output, "off: none\non: none\ntoggle: Win+Shift+O ready\n");

    // Set; the running Lumiset is told each time.
    outcome = run({"KEYS", "On", "ctrl+alt+f10"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.output + outcome.error, "");
    outcome = run({"keys", "off", "Ctrl", "+", "Alt", "+", "Pause"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(machine.keys_changed_posted, 2);
    machine.keys.keys[0].state = State::Held;
    machine.keys.keys[1].state = State::Stale;
    machine.keys.keys[2].state = State::Refused;
    EXPECT_EQ(run({"keys"}).output,
              "off: Ctrl+Alt+Pause ready\n"
              "on: Ctrl+Alt+F10 (Lumiset has not taken it yet)\n"
              "toggle: Win+Shift+O used by another program\n");

    // Refused before anything is stored: names, slots, our own duplicates.
    const std::vector<std::pair<Args, std::string>> refused = {
        {{"keys", "toggle", "Win+Shift+Foo"},
         "unknown key \"Foo\" (a KEY is " + AcceptedKeyNames() + ")"},
        {{"keys", "toggle"}, "keys toggle needs a KEY, e.g. Win+Shift+O, or none"},
        {{"keys", "toggle", "Ctrl+"}, "\"Ctrl+\" has a + without a name beside it"},
        {{"keys", "on", "A+B"},
         "\"A+B\" names two keys; a KEY has one besides Win, Ctrl, Alt and Shift"},
        {{"keys", "on", "Ctrl+Alt"}, "\"Ctrl+Alt\" names no key besides Win, Ctrl, Alt and Shift"},
        {{"keys", "on", "Alt+alt+X"}, "\"Alt+alt+X\" names Alt twice"},
        {{"keys", "camera", "none"},
         "keys takes off, on or toggle, not \"camera\" (e.g. lumisetctl keys toggle Win+Shift+O)"},
        {{"keys", "on", "win+shift+o"},
         "Win+Shift+O is already the toggle key, and two keys of Lumiset cannot be one "
         "(lumisetctl keys toggle none frees it)"},
        {{"keys", "toggle", "Ctrl+Alt+F10"},
         "Ctrl+Alt+F10 is already the on key, and two keys of Lumiset cannot be one "
         "(lumisetctl keys on none frees it)"},
    };
    for (const auto& [args, error] : refused) {
        outcome = run(args);
        EXPECT_EQ(outcome.status, 2) << args.back();
        EXPECT_EQ(outcome.error, error) << args.back();
        EXPECT_EQ(outcome.output, "");
    }
    EXPECT_EQ(machine.stored.size(), 2u);
    EXPECT_EQ(machine.keys_changed_posted, 2);

    // The same key again in its own slot, and "none" in two slots, are no duplicates.
    EXPECT_EQ(run({"keys", "toggle", "Shift+Win+O"}).status, 0);
    EXPECT_EQ(run({"keys", "off", "none"}).status, 0);
    EXPECT_EQ(run({"keys", "on", "None"}).status, 0);
    EXPECT_EQ(machine.stored.back(), (std::pair{CameraKeySlot::On, CameraKey{}}));

    // Not running: stored all the same, and said so; a store the system refuses is status 1.
    machine.running = false;
    EXPECT_EQ(run({"keys", "on", "F9"}).status, 0);
    EXPECT_EQ(run({"keys"}).output,
              "off: none\non: F9 (Lumiset is not running)\n"
              "toggle: Win+Shift+O (Lumiset is not running)\n");
    machine.store_result = FakeMachine::Result::Kind::Failed;
    const int posted = machine.keys_changed_posted;
    outcome = run({"keys", "on", "F8"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.error, "cannot store the key (error 5)");
    EXPECT_EQ(machine.keys_changed_posted, posted);
    machine.store_result = FakeMachine::Result::Kind::Done;
    machine.running = true;
    machine.post_result = FakeMachine::Result::Kind::Failed;
    outcome = run({"keys", "on", "F8"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.error, "the key is stored, but cannot tell Lumiset (error 1816)");

    EXPECT_TRUE(machine.posted.empty()) << "no window command";
    const std::string help = lumisetctl::Usage();
    EXPECT_NE(help.find("  keys off|on|toggle KEY\n"), std::string::npos) << help;
    EXPECT_NE(help.find("lumisetctl keys toggle Win+Shift+O"), std::string::npos) << help;
    EXPECT_NE(help.find("PrintScreen"), std::string::npos) << help;
}

}  // namespace
