#include "tools/lumiset-sim/console.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "device/camera_key_setting.h"
#include "framework/key_names.h"
#include "platform/sim/camera/driver_registry.h"
#include "platform/sim/codepage.h"
#include "platform/win32.h"
#include "res/resource.h"
#include "tools/lumiset-sim/clock_limit.h"
#include "tools/lumiset-sim/command_help.h"
#include "tools/lumiset-sim/command_line.h"
#include "tools/lumiset-sim/control_labels.h"
#include "tools/lumiset-sim/device_state.h"
#include "tools/lumisetctl/lumisetctl_commands.h"
#include "tools/lumisetctl/report_reader.h"

namespace console {

namespace {

constexpr const char* kSettingKey = "SOFTWARE\\Corvance\\CV Lumen Webcam";
constexpr const char* kSettingValue = "DeviceEnable";
// The 50/60 Hz choice Lumiset remembers for the user.
constexpr const char* kUserKey = "Software\\Corvance\\CV Lumen Webcam";
constexpr const char* kUserValue = "PowerLineFrequency";
constexpr UINT kLumisetIconId = 148;
constexpr int kLastControlId = 0xFFFF;  // a dialog item's id is a WORD
constexpr std::int64_t kMostFailures = 1000000;

std::string Utf8(std::u16string_view text) {
    return sim::Utf16ToUtf8(text);
}
std::u16string Utf16(std::string_view text) {
    return sim::Utf8ToUtf16(text);
}

const std::map<std::string, UINT, std::less<>>& MouseEvents() {
    static const std::map<std::string, UINT, std::less<>> events = {
        {"rbuttonup", WM_RBUTTONUP},         {"rbuttondown", WM_RBUTTONDOWN},
        {"lbuttonup", WM_LBUTTONUP},         {"lbuttondown", WM_LBUTTONDOWN},
        {"lbuttondblclk", WM_LBUTTONDBLCLK}, {"mousemove", WM_MOUSEMOVE},
    };
    return events;
}

// A menu item's text as a person reads it: the & that marks its mnemonic key gone ("&&" is an
// ampersand shown) and ASCII letters in lower case.
std::u16string MenuWords(std::u16string_view text) {
    std::u16string words;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'&') {
            if (i + 1 == text.size()) {
                break;
            }
            c = text[++i];
        }
        words += (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
    }
    return words;
}

std::string FirstHardwareId(const sim::DeviceNode& node) {
    const auto& bytes = node.hardware_ids;
    const auto end = std::find(bytes.begin(), bytes.end(), BYTE{0});
    return std::string(bytes.begin(), end);
}

}  // namespace

Console::Console(sim::Machine& machine, StartFunction start_lumiset, std::ostream& out)
    : machine_(machine), desktop_(machine), start_lumiset_(std::move(start_lumiset)), out_(out) {}

Console::Console(sim::Machine& machine, std::function<void()> start_lumiset, std::ostream& out)
    : Console(
          machine, [start = std::move(start_lumiset)](const std::string&) { start(); }, out) {}

void Console::StartLumiset(const std::string& command_line) {
    lumiset_processes_.push_back(
        desktop_.Start([this, command_line] { start_lumiset_(command_line); }));
}

bool Console::AnyLumisetRunning() const {
    return std::any_of(lumiset_processes_.begin(), lumiset_processes_.end(),
                       [this](sim::ProcessId p) { return desktop_.Running(p); });
}

void Console::FinishPauses() {
    // A pause in the program's own code (the 10 ms after "50Hz", say) answers no message until
    // the clock lets it go on; a still clock must be moved for it.
    constexpr int kMostPauses = 16;
    sim::Kernel& kernel = machine_.kernel();
    for (int pause = 0; pause < kMostPauses; ++pause) {
        std::optional<sim::Millis> due;
        for (const sim::ClockWait& wait : kernel.ClockWaits()) {
            if (!wait.for_messages && (!due || wait.due < *due)) {
                due = wait.due;
            }
        }
        if (!due) {
            return;
        }
        const sim::Millis now = kernel.Now();
        const sim::Millis step = *due > now ? *due - now : 0;
        if (step > ClockRoom(now)) {
            return;
        }
        desktop_.Wait(step);
    }
}

void Console::EndLumiset() {
    constexpr WPARAM kExit = 32772;
    constexpr int kMostWindows = 8;
    // Whatever the script left failing would keep the program from letting go.
    machine_.faults().ClearAll();
    FinishPauses();
    // A menu or file dialog holds the program in its modal loop, which Exit does not end.
    if (desktop_.MenuOpen()) {
        desktop_.DismissMenu();
    }
    if (desktop_.FileDialogOpen()) {
        desktop_.AnswerFileDialog(std::nullopt);
    }
    if (const HWND host = HostWindow()) {
        desktop_.Post(host, WM_COMMAND, kExit, 0);
        FinishPauses();
    }
    for (int open = 0; open < kMostWindows && HostWindow(); ++open) {
        // A window another program disabled would refuse its close box.
        const HWND active = desktop_.ActiveWindow();
        const sim::Window* window = active ? machine_.windows().Find(active) : nullptr;
        if (window && !window->Enabled()) {
            desktop_.EnableWindow(active, true);
        }
        if (!desktop_.CloseActiveWindow()) {
            break;
        }
        FinishPauses();
    }
}

bool Console::Error(const std::string& why) {
    out_ << "error: " << why << "\n";
    return false;
}

HWND Console::HostWindow() const {
    return desktop_.FindTopLevel(u"#32770", u"Property");
}

std::span<const Console::Verb> Console::Verbs() {
    // Commands that take no words, or a fixed word, were never matched otherwise: other words
    // make them unknown, as they always were.
    static const Verb verbs[] = {
        {"help", [](Console& c, const Words& w, std::string_view) { return c.Help(w); }},
        {"wait", [](Console& c, const Words& w, std::string_view) { return c.Wait(w); }},
        {"tray", [](Console& c, const Words& w, std::string_view) { return c.Tray(w); }},
        {"command", [](Console& c, const Words& w, std::string_view) { return c.Command(w); }},
        {"send", [](Console& c, const Words& w, std::string_view) { return c.SendOrPost(w); }},
        {"post", [](Console& c, const Words& w, std::string_view) { return c.SendOrPost(w); }},
        {"windows",
         [](Console& c, const Words& w, std::string_view) {
             return w.size() == 1 ? c.Windows() : c.Error("usage: windows");
         }},
        {"window", [](Console& c, const Words& w, std::string_view l) { return c.Window(w, l); }},
        {"reg", [](Console& c, const Words& w, std::string_view l) { return c.Registry(w, l); }},
        {"driver", [](Console& c, const Words& w, std::string_view l) { return c.Driver(w, l); }},
        {"close",
         [](Console& c, const Words& w, std::string_view) {
             return w.size() == 1 ? c.Close() : c.Error("usage: close");
         }},
        {"show",
         [](Console& c, const Words& w, std::string_view) {
             if (w.size() == 2 && w[1] == "labels") {
                 return c.Show(true);
             }
             return w.size() == 1 ? c.Show(false) : c.Error("usage: show [labels]");
         }},
        {"focus",
         [](Console& c, const Words& w, std::string_view) {
             return w.size() == 1 ? c.Focus() : c.Error("usage: focus");
         }},
        {"click", [](Console& c, const Words& w, std::string_view) { return c.Click(w); }},
        {"press", [](Console& c, const Words& w, std::string_view) { return c.Press(w); }},
        {"release", [](Console& c, const Words& w, std::string_view) { return c.Release(w); }},
        {"profile",
         [](Console& c, const Words& w, std::string_view l) { return c.Profile(w, l); }},
        {"drag", [](Console& c, const Words& w, std::string_view) { return c.Drag(w); }},
        {"key", [](Console& c, const Words& w, std::string_view) { return c.Key(w); }},
        {"repaint",
         [](Console& c, const Words& w, std::string_view) {
             return w.size() == 1 ? c.Repaint() : c.Error("usage: repaint");
         }},
        {"device", [](Console& c, const Words& w, std::string_view) { return c.Device(w); }},
        {"display", [](Console& c, const Words& w, std::string_view) { return c.Display(w); }},
        {"keyboard", [](Console& c, const Words& w, std::string_view) { return c.Keyboard(w); }},
        {"hotkey", [](Console& c, const Words& w, std::string_view) { return c.Hotkey(w); }},
        {"power", [](Console& c, const Words& w, std::string_view) { return c.Power(w); }},
        {"rights", [](Console& c, const Words& w, std::string_view) { return c.Rights(w); }},
        {"shell",
         [](Console& c, const Words& w, std::string_view) {
             if (w.size() != 2 || w[1] != "restart") {
                 return c.Unknown(w[0]);
             }
             c.desktop_.ShellRestart();
             return true;
         }},
        {"start",
         [](Console& c, const Words& w, std::string_view) {
             if (w.size() != 1) {
                 return c.Unknown(w[0]);
             }
             c.StartLumiset();
             return true;
         }},
        {"status",
         [](Console& c, const Words& w, std::string_view) {
             if (w.size() != 1) {
                 return c.Unknown(w[0]);
             }
             c.out_ << (c.AnyLumisetRunning() ? "running" : "exited") << "\n";
             return true;
         }},
        {"fail", [](Console& c, const Words& w, std::string_view) { return c.Fail(w); }},
        {"menu", [](Console& c, const Words& w, std::string_view l) { return c.Menu(w, l); }},
        {"choose", [](Console& c, const Words& w, std::string_view l) { return c.Menu(w, l); }},
        {"dismiss", [](Console& c, const Words& w, std::string_view l) { return c.Menu(w, l); }},
        {"camera", [](Console& c, const Words& w, std::string_view l) { return c.Camera(w, l); }},
        {"filedialog",
         [](Console& c, const Words& w, std::string_view l) { return c.FileDialog(w, l); }},
        {"page", [](Console& c, const Words& w, std::string_view) { return c.Page(w); }},
        {"lumisetctl", [](Console& c, const Words& w, std::string_view) { return c.Lumisetctl(w); }},
        {"quit",
         [](Console& c, const Words& w, std::string_view) {
             if (w.size() != 1) {
                 return c.Unknown(w[0]);
             }
             c.quit_requested_ = true;
             return true;
         }},
    };
    return verbs;
}

std::vector<std::string_view> Console::CommandNames() {
    std::vector<std::string_view> names;
    for (const Verb& verb : Verbs()) {
        names.push_back(verb.name);
    }
    return names;
}

bool Console::Execute(std::string_view line) {
    const auto parsed = SplitWords(line);
    if (!parsed) {
        return Error("a quoted text is not closed");
    }
    const Words& words = *parsed;
    if (words.empty()) {
        return true;
    }
    for (const Verb& verb : Verbs()) {
        if (verb.name == words[0]) {
            return verb.run(*this, words, line);
        }
    }
    return Unknown(words[0]);
}

bool Console::Unknown(const std::string& verb) {
    // Words a new user types first name what another program does, or a command of another name.
    if (const auto pointer = OtherCommandFor(verb)) {
        return Error(verb + " is not a console command: " + std::string(*pointer));
    }
    if (!for_person_) {
        return Error("unknown command: " + verb);
    }
    if (const CommandHelp* help = FindCommandHelp(verb)) {
        return Error("usage: " + std::string(help->syntax));
    }
    if (const auto nearest = NearestCommand(verb)) {
        return Error("unknown command: " + verb + " (did you mean \"" + std::string(*nearest) +
                     "\"? \"help\" lists the commands)");
    }
    return Error("unknown command: " + verb + " (\"help\" lists the commands)");
}

bool Console::Help(const Words& words) {
    if (words.size() == 1) {
        out_ << "commands (\"help COMMAND\" tells its syntax and gives an example):\n";
        for (const CommandHelp& help : CommandHelps()) {
            std::string name(help.name);
            name.resize(std::max<size_t>(name.size(), 11), ' ');
            out_ << "  " << name << " " << help.summary << "\n";
        }
        return true;
    }
    if (words.size() != 2) {
        return Error("usage: help [COMMAND]");
    }
    const CommandHelp* help = FindCommandHelp(words[1]);
    if (!help && OtherCommandFor(words[1])) {
        return Unknown(words[1]);
    }
    if (!help) {
        const auto nearest = for_person_ ? NearestCommand(words[1]) : std::nullopt;
        return Error("no command " + words[1] +
                     (nearest ? " (did you mean \"" + std::string(*nearest) + "\"?)" : ""));
    }
    out_ << help->name << ": " << help->summary << "\n"
         << "usage: " << help->syntax << "\n"
         << "example: " << help->example << "\n";
    return true;
}

bool Console::Wait(const Words& words) {
    const std::string_view word = words.size() == 2 ? std::string_view(words[1]) : "";
    const sim::Millis room = ClockRoom(machine_.kernel().Now());
    const auto ms = ParseNumberIn(word, 0, static_cast<std::int64_t>(room));
    if (!ms) {
        if (FitIn(word, 0, static_cast<std::int64_t>(room)) != NumberFit::Above) {
            return Error("usage: wait MS");
        }
        return Error("usage: wait MS (MS 0 to " + std::to_string(room) +
                     " now: the 32-bit clock ends at 4294967295 ms)");
    }
    desktop_.Wait(static_cast<sim::Millis>(*ms));
    return true;
}

bool Console::Tray(const Words& words) {
    if (words.size() == 1) {
        const auto& icons = desktop_.TrayIcons();
        if (icons.empty()) {
            out_ << "no icons\n";
        }
        for (const auto& icon : icons) {
            out_ << "icon " << icon.id << " \"" << Utf8(icon.tip) << "\"\n";
            if (icon.balloon) {
                out_ << "balloon \"" << Utf8(icon.balloon->title) << "\" \""
                     << Utf8(icon.balloon->text) << "\"\n";
            }
        }
        return true;
    }
    if (words.size() == 2 && words[1] == "picture") {
        TrayPicture();
        return true;
    }
    const auto event = words.size() == 2 ? MouseEvents().find(words[1]) : MouseEvents().end();
    if (event == MouseEvents().end()) {
        return Error(
            "usage: tray [rbuttonup|rbuttondown|lbuttonup|lbuttondown|lbuttondblclk|"
            "mousemove]");
    }
    for (const auto& icon : desktop_.TrayIcons()) {
        if (icon.id == kLumisetIconId) {
            desktop_.TrayEvent(icon.hwnd, icon.id, event->second);
            return true;
        }
    }
    return Error("Lumiset has no icon in the notification area");
}

void Console::TrayPicture() {
    // The picture is the icon resource the shell's copy was made from: what the last tick sent.
    for (const auto& icon : desktop_.TrayIcons()) {
        if (icon.id != kLumisetIconId) {
            continue;
        }
        if (icon.icon_resource == IDI_TRAY) {
            out_ << "camera-on\n";
        } else if (icon.icon_resource == IDI_TRAY_OFF) {
            out_ << "camera-off\n";
        } else {
            out_ << "no picture\n";
        }
        return;
    }
    out_ << "no icons\n";
}

bool Console::Command(const Words& words) {
    const auto id = words.size() == 2 ? ParseNumberIn(words[1], 0, 0xFFFF) : std::nullopt;
    if (!id) {
        return Error("usage: command ID (0 to 65535)");
    }
    const HWND host = HostWindow();
    if (!host) {
        return Error("no window \"Property\" of class \"#32770\"");
    }
    desktop_.Post(host, WM_COMMAND, static_cast<WPARAM>(*id), 0);
    return true;
}

bool Console::Page(const Words& words) {
    // The tabs of the settings window, as the message's wParam names them.
    static const std::map<std::string, WPARAM, std::less<>> tabs = {{"image", 0}, {"effect", 1}};
    const auto tab = words.size() == 2 ? tabs.find(words[1]) : tabs.end();
    if (tab == tabs.end()) {
        return Error("usage: page image|effect");
    }
    const HWND host = HostWindow();
    if (!host) {
        return Error("no window \"Property\" of class \"#32770\"");
    }
    desktop_.Post(host, machine_.windows().RegisterMessage(u"LumisetShowSettings"), tab->second, 0);
    return true;
}

bool Console::Lumisetctl(const Words& words) {
    // lumisetctl.exe's actions, done on this desktop by another program.
    class ConsoleMachine : public lumisetctl::Machine {
    public:
        explicit ConsoleMachine(Console& console) : console_(console) {}
        bool LumisetRunning() override { return console_.HostWindow() != nullptr; }
        Result Post(unsigned command) override {
            const HWND host = console_.HostWindow();
            if (!host || !console_.desktop_.Post(host, WM_COMMAND, command, 0)) {
                return {Result::Kind::NotRunning, {}};
            }
            return {Result::Kind::Done, {}};
        }
        Result StartSettings() override {
            console_.StartLumiset("/settings");
            return {Result::Kind::Done, {}};
        }
        bool SettingReadable() override {
            return console_.machine_.registry()
                .GetValue(HKEY_LOCAL_MACHINE, kSettingKey, kSettingValue)
                .has_value();
        }
        // On the virtual clock, from one thing due to the next, as the system would wake the
        // waiting program when a process ends.
        bool WaitForNoLumiset(unsigned milliseconds) override {
            sim::Kernel& kernel = console_.machine_.kernel();
            const sim::Millis deadline =
                kernel.Now() + std::min<sim::Millis>(milliseconds, ClockRoom(kernel.Now()));
            while (console_.AnyLumisetRunning()) {
                const sim::Millis now = kernel.Now();
                if (now >= deadline) {
                    return false;
                }
                sim::Millis next = deadline;
                for (const sim::ClockWait& wait : kernel.ClockWaits()) {
                    next = std::min(next, std::max(wait.due, now + 1));
                }
                console_.desktop_.Wait(next - now);
            }
            return true;
        }

        // lumisetctl's own reads, in a process of its own on this machine. They never wait on
        // the clock, so the process has ended once the machine is quiescent again.
        lumisetctl::Report ReadReport() override {
            auto report = std::make_shared<lumisetctl::Report>();
            console_.desktop_.Start([report] { *report = lumisetctl::ReadReport(); });
            return *report;
        }
        lumisetctl::KeysReport ReadKeys() override {
            auto report = std::make_shared<lumisetctl::KeysReport>();
            console_.desktop_.Start([report] { *report = lumisetctl::ReadKeysReport(); });
            return *report;
        }
        Result StoreKey(CameraKeySlot slot, CameraKey key) override {
            auto status = std::make_shared<LSTATUS>(ERROR_SUCCESS);
            console_.desktop_.Start([status, slot, key] { *status = StoreCameraKey(slot, key); });
            if (*status != ERROR_SUCCESS) {
                return {Result::Kind::Failed,
                        "cannot store the key (error " + std::to_string(*status) + ")"};
            }
            return {Result::Kind::Done, {}};
        }
        Result PostKeysChanged() override {
            const HWND host = console_.HostWindow();
            const UINT message =
                console_.machine_.windows().RegisterMessage(Utf16(kCameraKeysChangedMessage));
            if (!host || !console_.desktop_.Post(host, message, 0, 0)) {
                return {Result::Kind::NotRunning, {}};
            }
            return {Result::Kind::Done, {}};
        }

    private:
        Console& console_;
    };
    ConsoleMachine machine(*this);
    const auto outcome =
        lumisetctl::Run(std::vector<std::string>(words.begin() + 1, words.end()), machine);
    out_ << outcome.output;
    return outcome.error.empty() ? true : Error(outcome.error);
}

bool Console::SendOrPost(const Words& words) {
    if (words.size() != 4) {
        return Error("usage: " + words[0] + " MSG WPARAM LPARAM");
    }
    const bool sending = words[0] == "send";
    const auto message = ParseNumberIn(words[1], 0, 0xFFFF);
    const auto wparam = ParseBits64(words[2]);
    const auto lparam = ParseBits64(words[3]);
    if (!message) {
        return Error("MSG must be a number from 0 to 0xFFFF (greater ones are the system's)");
    }
    if (!wparam || (words[2].starts_with('-') && *wparam != 0)) {
        return Error("WPARAM must be a number from 0 to 0xFFFFFFFFFFFFFFFF");
    }
    if (!lparam) {
        return Error("LPARAM must be a number from -0x8000000000000000 to 0xFFFFFFFFFFFFFFFF");
    }
    const HWND host = HostWindow();
    if (!host) {
        return Error("no window \"Property\" of class \"#32770\"");
    }
    const auto msg = static_cast<UINT>(*message);
    const auto w = static_cast<WPARAM>(*wparam);
    const auto l = static_cast<LPARAM>(*lparam);
    if (sending && sim::CarriesCopiedData(msg, w, l)) {
        return Error(
            "message " + words[1] +
            " carries a pointer to data that the system copies; the console cannot supply the data "
            "(send it with a null pointer)");
    }
    const sim::OutsideMessageResult result = sending
                                                 ? desktop_.SendFromOtherProgram(host, msg, w, l)
                                                 : desktop_.PostFromOtherProgram(host, msg, w, l);
    if (result.error == ERROR_MESSAGE_SYNC_ONLY) {
        return Error("the system refuses to post message " + words[1] +
                     ": its data is copied only when it is sent (ERROR_MESSAGE_SYNC_ONLY)");
    }
    if (!result.delivered) {
        return Error("the message could not be " + std::string(sending ? "sent" : "posted") +
                     " (error " + std::to_string(result.error) + ")");
    }
    return true;
}

bool Console::Windows() {
    for (const auto& window : desktop_.TopLevelWindows()) {
        out_ << "\"" << Utf8(window.class_name) << "\" \"" << Utf8(window.title) << "\" "
             << (window.visible ? "visible" : "hidden") << " "
             << (window.enabled ? "enabled" : "disabled") << "\n";
    }
    return true;
}

bool Console::Window(const Words& words, std::string_view line) {
    const std::string usage =
        "usage: window open CLASS TITLE | window close TITLE | window show TITLE | "
        "window hide TITLE | window enable TITLE | window disable TITLE";
    if (words.size() < 2) {
        return Error(usage);
    }
    const std::string& action = words[1];
    if (action == "open") {
        const auto title = words.size() >= 4 ? RestOfLine(line, 3) : std::nullopt;
        if (!title) {
            return Error(usage);
        }
        const std::u16string class_name = words[2] == "-" ? u"" : Utf16(words[2]);
        desktop_.OpenWindow(class_name, Utf16(*title));
        return true;
    }
    if (action != "close" && action != "show" && action != "hide" && action != "enable" &&
        action != "disable") {
        return Error(usage);
    }
    const auto title = words.size() >= 3 ? RestOfLine(line, 2) : std::nullopt;
    if (!title) {
        return Error(usage);
    }
    const std::u16string wanted = Utf16(*title);
    for (const auto& window : desktop_.TopLevelWindows()) {
        if (window.title != wanted) {
            continue;
        }
        if (action == "close") {
            if (window.process != 0) {
                return Error("\"" + *title + "\" is not a window of another program");
            }
            desktop_.CloseWindow(window.hwnd);
        } else if (action == "enable" || action == "disable") {
            desktop_.EnableWindow(window.hwnd, action == "enable");
        } else {
            desktop_.ShowWindow(window.hwnd, action == "show" ? SW_SHOW : SW_HIDE);
        }
        return true;
    }
    return Error("no top-level window titled \"" + *title + "\"");
}

void Console::PrintValue(HKEY root, const char* key, const char* name) {
    const auto value = machine_.registry().GetValue(root, key, name);
    if (!value) {
        out_ << name << " missing\n";
    } else if (auto number = value->AsDword()) {
        out_ << name << " REG_DWORD " << *number << "\n";
    } else if (value->type == REG_SZ) {
        out_ << name << " REG_SZ \"" << value->AsString() << "\"\n";
    } else {
        out_ << name << " type " << value->type << ", " << value->data.size() << " bytes\n";
    }
}

bool Console::Registry(const Words& words, std::string_view line) {
    sim::Registry& registry = machine_.registry();
    if (words.size() == 2 && words[1] == "get") {
        if (!registry.KeyExists(HKEY_LOCAL_MACHINE, kSettingKey)) {
            out_ << "key missing\n";
            return true;
        }
        PrintValue(HKEY_LOCAL_MACHINE, kSettingKey, kSettingValue);
        return true;
    }
    if (words.size() == 4 && words[1] == "set" && words[2] == "dword") {
        const auto number = ParseNumberIn(words[3], 0, UINT32_MAX);
        if (!number) {
            return Error("usage: reg set dword N (0 to 4294967295)");
        }
        registry.SetDword(HKEY_LOCAL_MACHINE, kSettingKey, kSettingValue,
                          static_cast<DWORD>(*number));
        return true;
    }
    // The user's remembered frequency; a missing key reads as a missing value.
    if (words.size() == 3 && words[1] == "get" && words[2] == "user") {
        PrintValue(HKEY_CURRENT_USER, kUserKey, kUserValue);
        for (const CameraKeySlot slot : kCameraKeySlots) {
            PrintValue(HKEY_CURRENT_USER, kCameraKeysPath, CameraKeyValueName(slot));
        }
        return true;
    }
    if (words.size() >= 3 && words[1] == "set" && words[2] == "user") {
        const auto number = words.size() == 5 && words[3] == "dword"
                                ? ParseNumberIn(words[4], 0, UINT32_MAX)
                                : std::nullopt;
        if (!number) {
            return Error("usage: reg set user dword N (0 to 4294967295)");
        }
        registry.SetDword(HKEY_CURRENT_USER, kUserKey, kUserValue, static_cast<DWORD>(*number));
        return true;
    }
    if (words.size() == 3 && words[1] == "delete" && words[2] == "user") {
        registry.DeleteValue(HKEY_CURRENT_USER, kUserKey, kUserValue);
        return true;
    }
    if (words.size() >= 3 && words[1] == "set" && words[2] == "string") {
        const auto text = RestOfLine(line, 3);
        if (!text) {
            return Error("usage: reg set string TEXT");
        }
        registry.SetString(HKEY_LOCAL_MACHINE, kSettingKey, kSettingValue, *text);
        return true;
    }
    if (words.size() == 3 && words[1] == "delete" && words[2] == "value") {
        registry.DeleteValue(HKEY_LOCAL_MACHINE, kSettingKey, kSettingValue);
        return true;
    }
    if (words.size() == 3 && words[1] == "delete" && words[2] == "key") {
        registry.DeleteKey(HKEY_LOCAL_MACHINE, kSettingKey);
        return true;
    }
    return Error(
        "usage: reg get | reg set dword N | reg set string TEXT | reg delete value | "
        "reg delete key");
}

bool Console::Driver(const Words& words, std::string_view line) {
    namespace driver = sim::driver_registry;
    sim::Registry& registry = machine_.registry();
    const std::string usage =
        "usage: driver desc TEXT | driver path TEXT | driver count N | driver none";
    if (words.size() == 2 && words[1] == "none") {
        registry.DeleteKey(HKEY_LOCAL_MACHINE, driver::kDriverKey);
        return true;
    }
    if (words.size() == 3 && words[1] == "count") {
        const auto number = ParseNumberIn(words[2], 0, UINT32_MAX);
        if (!number) {
            return Error("usage: driver count N (0 to 4294967295)");
        }
        registry.SetDword(HKEY_LOCAL_MACHINE, driver::kDriverKey, driver::kInstanceCountValue,
                          static_cast<DWORD>(*number));
        return true;
    }
    if (words.size() >= 3 && (words[1] == "desc" || words[1] == "path")) {
        const auto text = RestOfLine(line, 2);
        if (!text) {
            return Error(usage);
        }
        if (words[1] == "desc") {
            registry.SetString(HKEY_LOCAL_MACHINE, driver::kInstanceKey, driver::kDriverDescValue,
                               *text);
        } else {
            registry.SetString(HKEY_LOCAL_MACHINE, driver::kDriverKey, driver::kFirstInstanceValue,
                               *text);
        }
        return true;
    }
    return Error(usage);
}

bool Console::Close() {
    const HWND active = desktop_.ActiveWindow();
    if (!active) {
        return Error("no window is open");
    }
    if (!desktop_.CloseActiveWindow()) {
        const sim::Window* window = machine_.windows().Find(active);
        return Error("\"" + Utf8(window ? window->title : u"") + "\" is disabled");
    }
    return true;
}

bool Console::Show(bool with_labels) {
    const HWND active = desktop_.ActiveWindow();
    if (!active) {
        return Error("no window is open");
    }
    const auto controls = desktop_.VisibleControls(active);
    const auto labels = with_labels ? ControlLabels(machine_.windows(), active, controls)
                                    : std::vector<std::optional<std::u16string>>(controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        PrintControl(controls[i], labels[i]);
    }
    return true;
}

void Console::PrintControl(const sim::ControlView& control,
                           const std::optional<std::u16string>& label) {
    const char* enabled = control.enabled ? "enabled" : "disabled";
    out_ << control.id << " " << control.kind;
    if (control.kind == "checkbox" || control.kind == "radio") {
        out_ << " \"" << Utf8(control.text) << "\" " << (control.checked ? "checked" : "unchecked")
             << " " << enabled;
    } else if (control.kind == "button" || control.kind == "tab") {
        out_ << " \"" << Utf8(control.text) << "\" " << enabled;
    } else if (control.kind == "trackbar") {
        out_ << " " << control.min << ".." << control.max << " " << control.pos << " " << enabled;
    } else if (control.kind == "edit") {
        out_ << " \"" << Utf8(control.text) << "\"";
    } else if (control.kind == "hotkey") {
        // As the control shows it: "None" until a key is set.
        const unsigned key = control.hotkey & 0xFFu;
        const unsigned flags = (control.hotkey >> 8) & 0xFFu;
        out_ << " \""
             << (key == 0 ? std::string("None")
                          : framework::KeyCombinationName(
                                {framework::ModifiersFromHotkeyFlags(flags), key}))
             << "\" " << enabled;
    } else {
        out_ << " " << enabled;
    }
    if (label) {
        out_ << " \"" << Utf8(*label) << "\"";
    }
    out_ << "\n";
}

bool Console::Focus() {
    const HWND active = desktop_.ActiveWindow();
    if (!active) {
        return Error("no window is open");
    }
    const auto focused = desktop_.FocusedControl(active);
    if (!focused) {
        out_ << "no control has the focus\n";
        return true;
    }
    PrintControl(*focused);
    return true;
}

std::optional<sim::ControlView> Console::ActiveControl(const std::string& id,
                                                       const std::string& usage) {
    const HWND active = desktop_.ActiveWindow();
    if (!active) {
        Error("no window is open");
        return std::nullopt;
    }
    const auto number = ParseNumberIn(id, 0, kLastControlId);
    if (!number) {
        Error(FitIn(id, 0, kLastControlId) != NumberFit::NotANumber ? usage + " (ID 0 to 65535)"
                                                                    : usage);
        return std::nullopt;
    }
    for (const sim::ControlView& control : desktop_.VisibleControls(active)) {
        if (control.id == *number) {
            return control;
        }
    }
    Error("no visible control " + id);
    return std::nullopt;
}

std::optional<sim::ControlView> Console::ActiveTrackbar(const std::string& id,
                                                        const std::string& usage) {
    auto control = ActiveControl(id, usage);
    if (control && control->kind != "trackbar") {
        Error("control " + id + " is not a trackbar");
        return std::nullopt;
    }
    return control;
}

bool Console::Click(const Words& words) {
    const std::string usage = "usage: click ID";
    // On a trackbar, a side names the track before (left) or after (right) the thumb.
    const bool on_track = words.size() == 3 && (words[2] == "left" || words[2] == "right");
    if (words.size() != 2 && !on_track) {
        return Error(usage);
    }
    const auto control =
        on_track ? ActiveTrackbar(words[1], usage) : ActiveControl(words[1], usage);
    if (!control) {
        return false;
    }
    if (on_track) {
        if (!control->enabled || !desktop_.ClickTrack(control->hwnd, words[2] == "right")) {
            return Error("control " + words[1] + " is disabled");
        }
        return true;
    }
    if (!control->enabled || !desktop_.ClickControl(control->hwnd)) {
        return Error("control " + words[1] + " is disabled");
    }
    return true;
}

namespace {

bool IsButton(const sim::ControlView& control) {
    return control.kind == "button" || control.kind == "iconbutton" || control.kind == "checkbox" ||
           control.kind == "radio";
}

}  // namespace

bool Console::Press(const Words& words) {
    const std::string usage = "usage: press ID";
    if (words.size() != 2) {
        return Error(usage);
    }
    const auto control = ActiveControl(words[1], usage);
    if (!control) {
        return false;
    }
    if (!IsButton(*control)) {
        return Error("control " + words[1] + " is not a button");
    }
    if (!control->enabled) {
        return Error("control " + words[1] + " is disabled");
    }
    if (const HWND held = desktop_.HeldButton()) {
        return Error("the mouse already holds control " +
                     std::to_string(machine_.windows().Find(held)->id) + " down");
    }
    if (!desktop_.PressButton(control->hwnd)) {
        return Error("control " + words[1] + " is disabled");
    }
    return true;
}

bool Console::Release(const Words& words) {
    const std::string usage = "usage: release ID";
    if (words.size() != 2) {
        return Error(usage);
    }
    // The held button takes the release even when it has gone out of sight meanwhile.
    const HWND active = desktop_.ActiveWindow();
    const HWND held = desktop_.HeldButton();
    const auto number = ParseNumberIn(words[1], 0, kLastControlId);
    if (held && active && number && machine_.windows().Find(held)->id == *number &&
        machine_.windows().IsDescendant(active, held)) {
        desktop_.ReleaseButton(held);
        return true;
    }
    const auto control = ActiveControl(words[1], usage);
    if (!control) {
        return false;
    }
    if (!IsButton(*control)) {
        return Error("control " + words[1] + " is not a button");
    }
    return Error("control " + words[1] + " is not held down");
}

bool Console::Profile(const Words& words, std::string_view line) {
    if (words.size() >= 5 && words[1] == "set") {
        const auto value = RestOfLine(line, 4);
        if (!value) {
            return Error("usage: profile set SECTION NAME VALUE");
        }
        machine_.profile().Set(words[2], words[3], *value);
        return true;
    }
    if (words.size() == 4 && words[1] == "delete") {
        machine_.profile().Delete(words[2], words[3]);  // a missing value stays missing
        return true;
    }
    return Error("usage: profile set SECTION NAME VALUE | profile delete SECTION NAME");
}

bool Console::Drag(const Words& words) {
    const std::string usage = "usage: drag ID POS";
    if (words.size() != 3) {
        return Error(usage);
    }
    const auto position = ParseNumberIn(words[2], INT32_MIN, INT32_MAX);
    if (!position) {
        return Error(FitIn(words[2], INT32_MIN, INT32_MAX) != NumberFit::NotANumber
                         ? usage + " (POS -2147483648 to 2147483647)"
                         : usage);
    }
    const auto control = ActiveTrackbar(words[1], usage);
    if (!control) {
        return false;
    }
    if (!control->enabled || !desktop_.DragTrackbar(control->hwnd, static_cast<int>(*position))) {
        return Error("control " + words[1] + " is disabled");
    }
    return true;
}

namespace {

// The keys `key ID KEY` presses on a trackbar.
std::optional<UINT> TrackbarKey(const std::string& name) {
    static const std::pair<const char*, UINT> keys[] = {
        {"left", VK_LEFT},    {"right", VK_RIGHT},   {"up", VK_UP},     {"down", VK_DOWN},
        {"pageup", VK_PRIOR}, {"pagedown", VK_NEXT}, {"home", VK_HOME}, {"end", VK_END}};
    for (const auto& [key_name, key] : keys) {
        if (name == key_name) {
            return key;
        }
    }
    return std::nullopt;
}

struct WindowKey {
    const char* name;
    std::vector<UINT> held;
    UINT key;
};

// The keys `key KEY` presses in the active window, with what is held down meanwhile.
const WindowKey* FindWindowKey(const std::string& name) {
    static const WindowKey keys[] = {{"esc", {}, VK_ESCAPE},
                                     {"enter", {}, VK_RETURN},
                                     {"space", {}, VK_SPACE},
                                     {"tab", {}, VK_TAB},
                                     {"shift+tab", {VK_SHIFT}, VK_TAB},
                                     {"ctrl+tab", {VK_CONTROL}, VK_TAB},
                                     {"ctrl+shift+tab", {VK_CONTROL, VK_SHIFT}, VK_TAB},
                                     {"alt+f4", {VK_MENU}, VK_F4},
                                     {"left", {}, VK_LEFT},
                                     {"right", {}, VK_RIGHT},
                                     {"up", {}, VK_UP},
                                     {"down", {}, VK_DOWN}};
    for (const WindowKey& key : keys) {
        if (name == key.name) {
            return &key;
        }
    }
    return nullptr;
}

}  // namespace

bool Console::Key(const Words& words) {
    const std::string usage = "usage: key ID left|right | key esc";
    if (words.size() == 2) {
        const WindowKey* key = FindWindowKey(words[1]);
        if (!key) {
            return Error(usage);
        }
        const HWND active = desktop_.ActiveWindow();
        if (!active) {
            return Error("no window is open");
        }
        desktop_.PressKeyWith(active, key->held, key->key);
        return true;
    }
    if (words.size() == 3) {
        if (const auto hotkey = HotkeyControl(words[1])) {
            return TypeIntoHotkeyControl(*hotkey, words[1], words[2]);
        }
    }
    const auto key = words.size() == 3 ? TrackbarKey(words[2]) : std::nullopt;
    if (!key) {
        return Error(usage);
    }
    const auto control = ActiveTrackbar(words[1], usage);
    if (!control) {
        return false;
    }
    if (!control->enabled || !desktop_.PressKeyOn(control->hwnd, *key)) {
        return Error("control " + words[1] + " is disabled");
    }
    return true;
}

std::optional<sim::ControlView> Console::HotkeyControl(const std::string& id) const {
    const HWND active = desktop_.ActiveWindow();
    const auto number = ParseNumberIn(id, 0, kLastControlId);
    if (!active || !number) {
        return std::nullopt;
    }
    for (const sim::ControlView& control : desktop_.VisibleControls(active)) {
        if (control.id == *number && control.kind == "hotkey") {
            return control;
        }
    }
    return std::nullopt;
}

bool Console::TypeIntoHotkeyControl(const sim::ControlView& control, const std::string& id,
                                    const std::string& keys_word) {
    std::string why;
    const auto keys = framework::ParseKeyCombination(keys_word, &why);
    if (!keys) {
        return Error(why);
    }
    if (keys->modifiers & framework::kModWin) {
        return Error("a hotkey control does not take the Win key");
    }
    if (!control.enabled ||
        !desktop_.TypeIntoHotkeyControl(control.hwnd, keys->modifiers, keys->virtual_key)) {
        return Error("control " + id + " is disabled");
    }
    return true;
}

bool Console::Repaint() {
    const HWND active = desktop_.ActiveWindow();
    if (!active) {
        return Error("no window is open");
    }
    desktop_.Repaint(active);
    return true;
}

bool Console::Device(const Words& words) {
    sim::DeviceTree& devices = machine_.devices();
    const std::string usage =
        "usage: device list | device log | device add A|B|HWID [absent] | device remove N | "
        "device unplug N | device plug N | device disable N | device enable N | device stuck N | "
        "device needs-restart N";
    if (words.size() == 2 && words[1] == "log") {
        static constexpr std::string_view changes[] = {"",           "enable", "disable",
                                                       "propchange", "start",  "stop"};
        for (const auto& [number, request] : devices.CarriedOut()) {
            out_ << number << " " << changes[request.state_change] << " "
                 << (request.scope == DICS_FLAG_GLOBAL ? "global" : "profile") << "\n";
        }
        devices.ClearCarriedOut();
        return true;
    }
    if (words.size() == 2 && words[1] == "list") {
        for (int number : devices.Numbers()) {
            const sim::DeviceNode& node = *devices.Node(number);
            if (node.enumerator != "USB") {
                continue;
            }
            out_ << number << " " << FirstHardwareId(node) << " "
                 << (node.present ? "present" : "absent") << " " << DeviceState(devices, node)
                 << "\n";
        }
        return true;
    }
    if (words.size() >= 3 && words.size() <= 4 && words[1] == "add") {
        if (words.size() == 4 && words[3] != "absent") {
            return Error(usage);
        }
        const bool present = words.size() == 3;
        if (words[2] == "A") {
            desktop_.AddDevice(sim::ModelAHardwareIds(), present);
        } else if (words[2] == "B") {
            desktop_.AddDevice(sim::ModelBHardwareIds(), present);
        } else {
            desktop_.AddDevice(std::vector<std::string>{words[2]}, present);
        }
        return true;
    }
    static const std::string_view node_actions[] = {"remove", "unplug", "plug",         "disable",
                                                    "enable", "stuck",  "needs-restart"};
    if (words.size() == 3 && std::ranges::find(node_actions, words[1]) != std::end(node_actions)) {
        // The tree numbers its nodes with an int; a number beyond it must not wrap onto one.
        const auto number = ParseNumberIn(words[2], 1, INT32_MAX);
        if (!number && FitIn(words[2], 1, INT32_MAX) != NumberFit::NotANumber) {
            return Error("device number must be 1 to 2147483647 (device list shows them)");
        }
        sim::DeviceNode* node = number ? devices.Node(static_cast<int>(*number)) : nullptr;
        if (!node) {
            return Error("no device " + words[2]);
        }
        if (words[1] == "remove") {
            desktop_.RemoveDevice(node->number);
        } else if (words[1] == "unplug") {
            desktop_.UnplugDevice(node->number);
        } else if (words[1] == "plug") {
            desktop_.PlugDevice(node->number);
        } else if (words[1] == "disable" || words[1] == "enable") {
            desktop_.SetDeviceDisabled(node->number, words[1] == "disable");
        } else if (words[1] == "stuck") {
            node->refuses_to_stop = true;
        } else {
            node->change_needs_restart = true;
        }
        desktop_.Settle();
        return true;
    }
    return Error(usage);
}

bool Console::Power(const Words& words) {
    if (words.size() == 2 && words[1] == "suspend") {
        return desktop_.Suspend() || Error("the machine is asleep already (power resume wakes it)");
    }
    if (words.size() == 2 && words[1] == "resume") {
        return desktop_.Resume() || Error("the machine is awake (power suspend puts it to sleep)");
    }
    return Error("usage: power suspend|resume");
}

bool Console::Rights(const Words& words) {
    bool& administrator = machine_.rights().administrator;
    if (words.size() == 1) {
        out_ << (administrator ? "admin" : "standard") << "\n";
        return true;
    }
    if (words.size() == 2 && (words[1] == "admin" || words[1] == "standard")) {
        administrator = words[1] == "admin";
        return true;
    }
    return Error("usage: rights [admin|standard]");
}

bool Console::Fail(const Words& words) {
    if (words.size() < 2 || words.size() > 3) {
        return Error("usage: fail OPERATION [N]");
    }
    if (!sim::FaultInjector::IsKnownOperation(words[1])) {
        return Error("no platform operation named " + words[1]);
    }
    const auto count = words.size() == 3 ? ParseNumberIn(words[2], 1, kMostFailures)
                                         : std::optional<std::int64_t>(1);
    if (!count && FitIn(words[2], 1, kMostFailures) == NumberFit::Above) {
        return Error("usage: fail OPERATION [N] (N 1 to " + std::to_string(kMostFailures) + ")");
    }
    if (!count) {
        return Error("usage: fail OPERATION [N] (N from 1)");
    }
    machine_.faults().Fail(words[1], static_cast<int>(*count));
    return true;
}

bool Console::Menu(const Words& words, std::string_view line) {
    if (words[0] == "menu") {
        if (words.size() != 1) {
            return Error("usage: menu");
        }
        if (!desktop_.MenuOpen()) {
            out_ << "no menu\n";
            return true;
        }
        for (const auto& item : desktop_.MenuItems()) {
            if (item.separator) {
                out_ << "---\n";
            } else {
                out_ << (item.shows_bitmap ? "[*] " : "[ ] ") << Utf8(item.text) << "\n";
            }
        }
        return true;
    }
    if (words[0] == "dismiss") {
        if (words.size() != 1) {
            return Error("usage: dismiss");
        }
        return desktop_.DismissMenu() ? true : Error("no menu is open");
    }
    const auto text = words.size() >= 2 ? RestOfLine(line, 1) : std::nullopt;
    if (!text) {
        return Error("usage: choose TEXT");
    }
    if (!desktop_.MenuOpen()) {
        return Error("no menu is open");
    }
    if (!desktop_.ChooseMenuItem(Utf16(*text)) && !ChooseLikeItem(*text)) {
        return Error("the open menu has no item \"" + *text + "\" to choose");
    }
    return true;
}

bool Console::ChooseLikeItem(const std::string& typed) {
    // The typed text is taken as a person reads the item: an & in it is an ampersand.
    std::u16string wanted = Utf16(typed);
    for (char16_t& c : wanted) {
        c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
    }
    for (const sim::MenuItemView& item : desktop_.MenuItems()) {
        if (!item.separator && !item.popup && !item.grayed && MenuWords(item.text) == wanted) {
            return desktop_.ChooseMenuItem(item.text);
        }
    }
    return false;
}

bool Console::Camera(const Words& words, std::string_view line) {
    sim::VideoDevices& video = machine_.video();
    const std::string usage =
        "usage: camera | camera log | camera name TEXT | camera add NAME | camera remove NAME | "
        "camera unbindable NAME | camera no-ksproperty | camera no-procamp | camera no-range | "
        "camera set image.N VALUE | camera set zoom.N VALUE | camera set powerline N";
    // Device-wide commands name a capture device; the others act on the camera plugged in at
    // boot.
    if (words.size() >= 2 &&
        (words[1] == "add" || words[1] == "remove" || words[1] == "unbindable")) {
        const auto name = RestOfLine(line, 2);
        if (!name || name->empty()) {
            return Error(usage);
        }
        const std::u16string wide = Utf16(*name);
        if (words[1] == "add") {
            video.Add(wide);
        } else if (words[1] == "remove") {
            if (!video.Remove(wide)) {
                return Error("no capture device named \"" + *name + "\"");
            }
        } else if (sim::CaptureDevice* device = video.Find(wide)) {
            device->bindable = false;
        } else {
            return Error("no capture device named \"" + *name + "\"");
        }
        return true;
    }
    sim::CaptureDevice* camera = video.Camera();
    if (!camera) {
        return Error("no camera is plugged in");
    }
    sim::CameraDriver& driver = camera->driver;
    if (words.size() == 1) {
        for (const auto& entry : driver.Describe()) {
            out_ << entry << "\n";
        }
        return true;
    }
    const std::string& action = words[1];
    if (action == "log" && words.size() == 2) {
        for (const auto& entry : driver.Log()) {
            out_ << entry << "\n";
        }
        driver.ClearLog();
        return true;
    }
    if (action == "name" && words.size() >= 3) {
        const auto name = RestOfLine(line, 2);
        if (!name) {
            return Error(usage);
        }
        camera->friendly_name = Utf16(*name);
        return true;
    }
    if (words.size() == 2 && action == "no-ksproperty") {
        driver.features().ks_property = false;
        return true;
    }
    if (words.size() == 2 && action == "no-procamp") {
        driver.features().procamp = false;
        return true;
    }
    if (words.size() == 2 && action == "no-range") {
        driver.features().procamp_range = false;
        return true;
    }
    if (action == "set" && words.size() == 4) {
        const std::string& target = words[2];
        if (target == "powerline") {
            // What the camera's power-line control holds: off, 50 Hz, 60 Hz.
            const auto setting = ParseNumberIn(words[3], 0, 2);
            if (!setting) {
                return Error("usage: camera set powerline N (N 0 to 2)");
            }
            driver.SetPowerLine(static_cast<std::int32_t>(*setting));
            return true;
        }
        const auto value = ParseNumberIn(words[3], INT32_MIN, UINT32_MAX);
        if (!value) {
            return Error(
                "usage: camera set CHANNEL VALUE (a 32-bit number: -2147483648 to 4294967295)");
        }
        const auto number = static_cast<std::int32_t>(*value);
        for (const auto& [prefix, last] :
             {std::pair<std::string, int>{"image.", 40}, {"zoom.", 13}}) {
            if (target.rfind(prefix, 0) != 0) {
                continue;
            }
            const auto channel = ParseNumberIn(target.substr(prefix.size()), 0, last);
            if (!channel) {
                return Error("no channel " + target + " (image.0 to image.40, zoom.0 to zoom.13)");
            }
            if (prefix == "image.") {
                driver.SetImage(static_cast<int>(*channel), number);
            } else {
                driver.SetZoom(static_cast<int>(*channel), number);
            }
            return true;
        }
        return Error("no channel " + target + " (image.0 to image.40, zoom.0 to zoom.13)");
    }
    return Error(usage);
}

bool Console::FileDialog(const Words& words, std::string_view line) {
    const auto path = words.size() >= 2 ? RestOfLine(line, 1) : std::nullopt;
    if (!path || path->empty()) {
        return Error("usage: filedialog PATH | filedialog cancel");
    }
    if (!desktop_.FileDialogOpen()) {
        return Error("no file dialog is open");
    }
    // A file named "cancel" is still reached through its folder.
    if (*path == "cancel") {
        desktop_.AnswerFileDialog(std::nullopt);
    } else {
        desktop_.AnswerFileDialog(*path);
    }
    return true;
}

}  // namespace console
