#include "tools/lumisetctl/lumisetctl_commands.h"

#include <algorithm>

#include "device/camera_key_setting.h"
#include "device/key_names.h"

namespace lumisetctl {

namespace {

struct CommandWord {
    std::string_view word;
    unsigned command;
};

constexpr std::array<CommandWord, 10> kCommandWords{{
    {"50hz", ID_FLICKER_50HZ},
    {"60hz", ID_FLICKER_60HZ},
    {"on", ID_CAMERA_ON},
    {"off", ID_CAMERA_OFF},
    {"exit", ID_EXIT},
    {"zoom", ID_ZOOM},
    {"properties", ID_OPEN_PROPERTY_PAGE},
    {"snapshot", ID_SNAP_SHOT},
    {"facetrack", ID_FACE_TRACKING},
    {"noeffect", ID_NO_EFFECT},
}};

// ASCII only: the words are English, and other bytes of the ANSI code page stay as typed.
std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '-';
}

// Lower case, with each run of blanks and dashes one blank and none at the ends.
std::string Normalize(std::string_view name) {
    std::string normal;
    bool separated = false;
    for (char c : Lower(name)) {
        if (IsSeparator(c)) {
            separated = !normal.empty();
            continue;
        }
        if (separated) {
            normal += ' ';
            separated = false;
        }
        normal += c;
    }
    return normal;
}

std::string Join(const std::vector<std::string>& words, std::size_t first) {
    std::string joined;
    for (std::size_t i = first; i < words.size(); ++i) {
        if (i > first) {
            joined += ' ';
        }
        joined += words[i];
    }
    return joined;
}

// A typed word in double quotes for an error message. Control characters are shown as \xNN, so
// that a word with a line break in it keeps the message on one line; a word longer than
// kLongestQuote is cut there (never inside a UTF-8 character) and marked with "...".
// Control characters as \xNN, so that the text stays on its line.
std::string Escaped(std::string_view text) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            escaped += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string Quoted(std::string_view typed) {
    std::string_view shown = typed;
    if (shown.size() > kLongestQuote) {
        std::size_t cut = kLongestQuote;
        while (cut > 0 && (static_cast<unsigned char>(typed[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        shown = typed.substr(0, cut);
    }
    std::string quoted = "\"";
    quoted += Escaped(shown);
    quoted += shown.size() < typed.size() ? "...\"" : "\"";
    return quoted;
}

Action Error(std::string why) {
    Action action;
    action.error = std::move(why);
    return action;
}

Action Simple(Action::Kind kind, unsigned command = 0) {
    Action action;
    action.kind = kind;
    action.command = command;
    return action;
}

// "--uninstall-wait SECONDS" with SECONDS 0 to kLongestUninstallWait, in decimal.
Action UninstallWait(const std::vector<std::string>& args) {
    const std::string error =
        "--uninstall-wait needs SECONDS, 0 to " + std::to_string(kLongestUninstallWait);
    if (args.size() != 2 || args[1].empty() || args[1].size() > 3 ||
        !std::all_of(args[1].begin(), args[1].end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return Error(error);
    }
    const auto seconds = static_cast<unsigned>(std::stoul(args[1]));
    if (seconds > kLongestUninstallWait) {
        return Error(error);
    }
    return Simple(Action::Kind::UninstallWait, seconds);
}

// "TITLE: a, b, c" wrapped at 78 columns, continued lines indented.
std::string NameList(std::string_view title, std::size_t first, std::size_t last) {
    std::string text(title);
    std::size_t column = text.size();
    for (std::size_t i = first; i < last; ++i) {
        std::string item = kEffectNames[i].name;
        if (kEffectNames[i].tab_name) {
            item += std::string(" (tab: ") + kEffectNames[i].tab_name + ")";
        }
        item += i + 1 < last ? "," : "";
        if (column + 1 + item.size() > 78) {
            text += "\n ";
            column = 1;
        }
        text += " " + item;
        column += 1 + item.size();
    }
    return text + "\n";
}

// `text` wrapped at 78 columns after blanks, every line indented by `indent`.
std::string Wrapped(std::string_view text, std::size_t indent) {
    std::string wrapped(indent, ' ');
    std::size_t column = indent;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        end = end == std::string_view::npos ? text.size() : end;
        const std::string_view word = text.substr(start, end - start);
        if (column > indent && column + 1 + word.size() > 78) {
            wrapped += "\n" + std::string(indent, ' ');
            column = indent;
        } else if (column > indent) {
            wrapped += ' ';
            ++column;
        }
        wrapped += word;
        column += word.size();
        start = end + 1;
    }
    return wrapped + "\n";
}

// "keys", "keys SLOT KEY...".
Action Keys(const std::vector<std::string>& args) {
    if (args.size() == 1) {
        return Simple(Action::Kind::Keys);
    }
    const std::string word = Lower(args[1]);
    const auto slot = std::find_if(kCameraKeySlots.begin(), kCameraKeySlots.end(),
                                   [&word](CameraKeySlot s) { return word == SlotWord(s); });
    if (slot == kCameraKeySlots.end()) {
        return Error("keys takes off, on or toggle, not " + Quoted(args[1]) +
                     " (e.g. lumisetctl keys toggle Win+Shift+O)");
    }
    const std::string name = Join(args, 2);
    const KeyNameReading reading = ReadKeyName(name);
    using Problem = KeyNameReading::Problem;
    switch (reading.problem) {
        case Problem::None:
            break;
        case Problem::Empty:
            return Error("keys " + word + " needs a KEY, e.g. Win+Shift+O, or none");
        case Problem::EmptyPart:
            return Error(Quoted(name) + " has a + without a name beside it");
        case Problem::Unknown:
            return Error("unknown key " + Quoted(reading.part) + " (a KEY is " +
                         AcceptedKeyNames() + ")");
        case Problem::TwoKeys:
            return Error(Quoted(name) + " names two keys; a KEY has one besides Win, Ctrl, " +
                         "Alt and Shift");
        case Problem::NoKey:
            return Error(Quoted(name) + " names no key besides Win, Ctrl, Alt and Shift");
        case Problem::Twice:
            return Error(Quoted(name) + " names " + reading.part + " twice");
    }
    Action action = Simple(Action::Kind::SetKey);
    action.slot = *slot;
    action.key = reading.key;
    return action;
}

const char* KeyStateText(const KeysReport& report, const KeysReport::Key& key) {
    if (!report.running) {
        return " (Lumiset is not running)";
    }
    switch (key.state) {
        case CameraKeyState::Refused:
            return " used by another program";
        case CameraKeyState::Stale:
            return " (Lumiset has not taken it yet)";
        case CameraKeyState::Held:
        case CameraKeyState::Unpublished:
            break;
    }
    // A Lumiset that tells nothing of its keys holds them.
    return " ready";
}

Outcome SetKey(const Action& action, Machine& machine) {
    const KeysReport now = machine.ReadKeys();
    CameraKeys keys{};
    for (const CameraKeySlot slot : kCameraKeySlots) {
        KeyOf(keys, slot) = now.keys[static_cast<std::size_t>(slot)].key;
    }
    if (const auto other = SlotSharingKey(keys, action.slot, action.key)) {
        return Outcome{kUsageError,
                       {},
                       KeyName(action.key) + " is already the " + SlotWord(*other) +
                           " key, and two keys of Lumiset cannot be one (lumisetctl keys " +
                           SlotWord(*other) + " none frees it)"};
    }
    const Machine::Result stored = machine.StoreKey(action.slot, action.key);
    if (stored.kind != Machine::Result::Kind::Done) {
        return Outcome{kNotDelivered, {}, stored.why};
    }
    // A Lumiset that is not running reads the keys when it starts.
    const Machine::Result told = machine.PostKeysChanged();
    if (told.kind == Machine::Result::Kind::Failed) {
        return Outcome{kNotDelivered, {}, "the key is stored, but " + told.why};
    }
    return Outcome{kDone, {}, {}};
}

std::string CameraStateText(const Report::Camera& camera) {
    using State = Report::Camera::State;
    switch (camera.state) {
        case State::Started:
            return "started";
        case State::Disabled:
            return "disabled";
        case State::Absent:
            return "absent";
        case State::Problem:
            return "problem " + std::to_string(camera.problem);
        case State::Stopped:
            return "stopped";
        case State::Unknown:
            break;
    }
    return "state unknown";
}

}  // namespace

const char* SlotWord(CameraKeySlot slot) {
    switch (slot) {
        case CameraKeySlot::Off:
            return "off";
        case CameraKeySlot::On:
            return "on";
        case CameraKeySlot::Toggle:
            break;
    }
    return "toggle";
}

std::string KeysLines(const KeysReport& report, std::string_view prefix) {
    std::string lines;
    for (const CameraKeySlot slot : kCameraKeySlots) {
        const KeysReport::Key& key = report.keys[static_cast<std::size_t>(slot)];
        lines += std::string(prefix) + SlotWord(slot) + ": " + KeyName(key.key);
        lines += key.key.None() ? "" : KeyStateText(report, key);
        lines += "\n";
    }
    return lines;
}

std::string PowerLineText(std::optional<long> value) {
    if (!value) {
        return "unknown";
    }
    switch (*value) {
        case 0:
            return "off";
        case 1:
            return "50 Hz";
        case 2:
            return "60 Hz";
        default:
            return "value " + std::to_string(*value);
    }
}

Outcome InfoOutcome(const Report& report) {
    std::string lines = "Lumiset: ";
    if (!report.running) {
        lines += "not running\n";
    } else {
        lines += "running (administrator rights: ";
        lines += !report.administrator ? "unknown" : *report.administrator ? "yes" : "no";
        lines += ")\n";
    }
    if (report.cameras.empty()) {
        lines += "camera: none found\n";
    }
    for (const Report::Camera& camera : report.cameras) {
        lines += "camera: " + Escaped(camera.name) + ", " + CameraStateText(camera) + "\n";
    }
    lines += "stored setting: ";
    lines += !report.stored_setting ? "missing" : *report.stored_setting != 0 ? "On" : "Off";
    lines += "\npower-line frequency: " + PowerLineText(report.power_line) + " (remembered: " +
             (report.remembered_power_line ? PowerLineText(report.remembered_power_line) : "none") +
             ")\n";
    lines += KeysLines(report.keys, "key ");
    return Outcome{report.cameras.empty() ? kNotDelivered : kDone, lines, {}};
}

unsigned EffectCommand(std::string_view name) {
    const std::string wanted = Normalize(name);
    for (const EffectName& effect : kEffectNames) {
        if (Normalize(effect.name) == wanted ||
            (effect.tab_name && Normalize(effect.tab_name) == wanted)) {
            return effect.command;
        }
    }
    return 0;
}

Action Parse(const std::vector<std::string>& args) {
    if (args.empty()) {
        return Error("no COMMAND given (lumisetctl --help lists them)");
    }
    const std::string& typed = args[0];
    const std::string word = Lower(typed);
    if (typed == "--uninstall-wait") {
        return UninstallWait(args);
    }
    if (word == "keys") {
        return Keys(args);
    }
    if (word == "effect") {
        const std::string name = Join(args, 1);
        if (Normalize(name).empty()) {
            return Error("effect needs a NAME");
        }
        const unsigned command = EffectCommand(name);
        if (command == 0) {
            return Error("unknown effect " + Quoted(name) + " (lumisetctl --help lists them)");
        }
        return Simple(Action::Kind::Post, command);
    }
    Action action;
    if (word == "--help" || word == "-h") {
        action = Simple(Action::Kind::Help);
    } else if (word == "settings") {
        action = Simple(Action::Kind::Settings);
    } else if (word == "status") {
        action = Simple(Action::Kind::Status);
    } else if (word == "info") {
        action = Simple(Action::Kind::Info);
    } else {
        const auto found = std::find_if(kCommandWords.begin(), kCommandWords.end(),
                                        [&word](const CommandWord& c) { return c.word == word; });
        if (found == kCommandWords.end()) {
            return Error("unknown command " + Quoted(typed));
        }
        action = Simple(Action::Kind::Post, found->command);
    }
    if (args.size() > 1) {
        return Error(Quoted(typed) + " takes no arguments");
    }
    return action;
}

std::string Usage() {
    return "usage: lumisetctl COMMAND [ARGS]\n"
           "Sends the running Lumiset one of its window commands.\n"
           "\n"
           "  50hz, 60hz     anti-flicker frequency 50 Hz or 60 Hz\n"
           "  on, off        switch the camera on or off\n"
           "  exit           end Lumiset\n"
           "  zoom           open the Zoom dialog\n"
           "  properties     open the camera driver's property pages\n"
           "  snapshot       take a snapshot\n"
           "  facetrack      face tracking on or off\n"
           "  effect NAME    show an effect or frame (names below)\n"
           "  noeffect       no effect\n"
           "  settings       open the settings window (starts Lumiset when none runs)\n"
           "  status         print \"running\" or \"not running\"\n"
           "  keys           print the keys that switch the camera off, on, off/on\n"
           "  keys off|on|toggle KEY\n" +
           Wrapped("set one; KEY is " + AcceptedKeyNames(), 17) +
           "  --help, -h     print this text\n"
           "\n" +
           NameList("effects:", 0, kFirstFrame - 1) +
           NameList("frames:", kFirstFrame - 1, kEffectNames.size()) +
           "Commands and names in any case; in names blanks or dashes alike:\n"
           "  lumisetctl effect tv-effect, lumisetctl effect magic mirror\n"
           "Keys:\n"
           "  lumisetctl keys toggle Win+Shift+O, lumisetctl keys off none\n"
           "\n"
           "exit status: 0 done (status: running), 1 Lumiset is not running or the\n"
           "command could not be delivered, 2 usage error\n";
}

Outcome Run(const std::vector<std::string>& args, Machine& machine) {
    const Action action = Parse(args);
    Machine::Result result;
    switch (action.kind) {
        case Action::Kind::UsageError:
            return Outcome{kUsageError, {}, action.error};
        case Action::Kind::Help:
            return Outcome{kDone, Usage(), {}};
        case Action::Kind::Status:
            return machine.LumisetRunning() ? Outcome{kDone, "running\n", {}}
                                            : Outcome{kNotDelivered, "not running\n", {}};
        case Action::Kind::Info:
            return InfoOutcome(machine.ReadReport());
        case Action::Kind::Keys:
            return Outcome{kDone, KeysLines(machine.ReadKeys()), {}};
        case Action::Kind::SetKey:
            return SetKey(action, machine);
        case Action::Kind::Post:
            result = machine.Post(action.command);
            break;
        case Action::Kind::Settings:
            result = machine.StartSettings();
            break;
        case Action::Kind::UninstallWait:
            if (machine.SettingReadable() || machine.WaitForNoLumiset(action.command * 1000)) {
                return Outcome{kDone, {}, {}};
            }
            return Outcome{
                kNotDelivered,
                {},
                "Lumiset still runs after " + std::to_string(action.command) + " seconds"};
    }
    switch (result.kind) {
        case Machine::Result::Kind::Done:
            return Outcome{kDone, {}, {}};
        case Machine::Result::Kind::NotRunning:
            return Outcome{kNotDelivered, {}, "Lumiset is not running"};
        case Machine::Result::Kind::Failed:
            break;
    }
    return Outcome{kNotDelivered, {}, result.why};
}

}  // namespace lumisetctl
