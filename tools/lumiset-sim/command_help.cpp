#include "tools/lumiset-sim/command_help.h"

#include <algorithm>
#include <array>
#include <vector>

namespace console {

namespace {

constexpr std::array kHelp = {
    CommandHelp{"help", "lists the commands, or tells one command's syntax", "help [COMMAND]",
                "help tray"},
    CommandHelp{"wait", "moves the clock on by MS milliseconds, running all that falls due",
                "wait MS", "wait 1000"},
    CommandHelp{"tray",
                "lists the notification area's icons with a balloon shown, tells which picture "
                "Lumiset's icon shows, or clicks Lumiset's icon",
                "tray [picture|rbuttonup|rbuttondown|lbuttonup|lbuttondown|lbuttondblclk|"
                "mousemove]",
                "tray rbuttonup"},
    CommandHelp{"menu",
                "lists the items of the open popup menu, [*] before one that shows its mark",
                "menu", "menu"},
    CommandHelp{"choose",
                "chooses the item with that text (in any case, & marks left out) in the open popup "
                "menu",
                "choose TEXT", "choose 50hz"},
    CommandHelp{"dismiss", "closes the open popup menu without a choice", "dismiss", "dismiss"},
    CommandHelp{"windows", "lists the top-level windows: class, title, shown, enabled", "windows",
                "windows"},
    CommandHelp{"show",
                "lists the controls of the active window with their ids and states, and with "
                "labels the text a person reads beside each",
                "show [labels]", "show labels"},
    CommandHelp{"click",
                "clicks the control ID of the active window, or a trackbar's track on one side of "
                "its thumb",
                "click ID | click ID left|right", "click 1"},
    CommandHelp{"focus", "tells which control of the active window has the keyboard focus", "focus",
                "focus"},
    CommandHelp{"press", "holds the mouse's button down on the button ID of the active window",
                "press ID", "press 1088"},
    CommandHelp{"release", "lets the held button ID go, which clicks it", "release ID",
                "release 1088"},
    CommandHelp{"drag", "drags the thumb of the trackbar ID to POS and lets it go", "drag ID POS",
                "drag 1121 32"},
    CommandHelp{
        "key",
        "presses a key on the trackbar ID, types keys into the hotkey control ID, or presses a "
        "key in the active window",
        "key ID left|right|up|down|pageup|pagedown|home|end | key ID KEYS | "
        "key esc|enter|space|tab|shift+tab|ctrl+tab|ctrl+shift+tab|alt+f4|left|right|up|down",
        "key tab"},
    CommandHelp{"keyboard",
                "presses a key anywhere on the desktop: the program that registered it gets "
                "WM_HOTKEY",
                "keyboard KEYS (Ctrl, Alt, Shift, Win and a key, joined with +)",
                "keyboard win+shift+o"},
    CommandHelp{"hotkey",
                "another program registers a system-wide key first, or lists the registered keys "
                "with their windows",
                "hotkey take KEYS | hotkey list", "hotkey take ctrl+alt+f9"},
    CommandHelp{"close", "clicks the close box of the active window", "close", "close"},
    CommandHelp{"display",
                "lists the monitors, the pointer and the tray icon's size; changes the "
                "monitors' scales and layout; moves the pointer or the active window by its "
                "caption; lists where the programs' windows are",
                "display | display scale PERCENT [MONITOR] | display monitors "
                "WIDTHxHEIGHT[@PERCENT]... | display pointer X Y | display move X Y | display "
                "windows",
                "display scale 150"},
    CommandHelp{"repaint", "uncovers the active window, which paints itself again", "repaint",
                "repaint"},
    CommandHelp{"page", "another program asks Lumiset for its settings window on that tab",
                "page image|effect", "page image"},
    CommandHelp{"lumisetctl", "does what lumisetctl.exe does, as another program on the desktop",
                "lumisetctl ARGS...", "lumisetctl --help"},
    CommandHelp{"command", "another program posts WM_COMMAND ID to Lumiset's host window",
                "command ID", "command 32772"},
    CommandHelp{"send", "another program sends a message to Lumiset's host window and waits",
                "send MSG WPARAM LPARAM (MSG 0 to 0xFFFF, WPARAM and LPARAM 64-bit, LPARAM may "
                "be negative)",
                "send 0x0111 32772 0"},
    CommandHelp{"post", "another program posts a message to Lumiset's host window",
                "post MSG WPARAM LPARAM (MSG 0 to 0xFFFF, WPARAM and LPARAM 64-bit, LPARAM may "
                "be negative)",
                "post 0x0111 32772 0"},
    CommandHelp{"window", "opens or acts on a top-level window of another program",
                "window open CLASS TITLE | window close|show|hide|enable|disable TITLE",
                "window open - Notepad"},
    CommandHelp{"profile", "sets or deletes a value of the user's profile (win.ini)",
                "profile set SECTION NAME VALUE | profile delete SECTION NAME",
                "profile set windows Beep no"},
    CommandHelp{"reg",
                "reads or changes Lumiset's stored setting, or the user's remembered frequency, in "
                "the registry; reg get user also prints the user's keys",
                "reg get | reg set dword N | reg set string TEXT | reg delete value|key | "
                "reg get user | reg set user dword N | reg delete user",
                "reg get user"},
    CommandHelp{"driver", "changes the camera driver's registry keys",
                "driver desc TEXT | driver path TEXT | driver count N | driver none",
                "driver count 2"},
    CommandHelp{
        "device",
        "lists or changes the USB device nodes, or the requests programs made of them; windows "
        "hear of nodes that come and go",
        "device list | device log | device add A|B|HWID [absent] | "
        "device remove|unplug|plug|disable|enable|stuck|needs-restart N",
        "device list"},
    CommandHelp{"power", "the machine goes to sleep, or wakes and tells every window it resumed",
                "power suspend|resume", "power resume"},
    CommandHelp{"rights",
                "tells or sets the programs' rights: an administrator's, or a standard user's, "
                "who cannot switch a device nor change the machine's registry keys",
                "rights [admin|standard]", "rights standard"},
    CommandHelp{"camera", "shows the simulated camera's values or its request log, or changes it",
                "camera | camera log | camera name TEXT | camera add|remove|unbindable NAME | "
                "camera no-ksproperty|no-procamp|no-range | "
                "camera set image.N|zoom.N VALUE | camera set powerline N",
                "camera log"},
    CommandHelp{"filedialog", "picks a file in the open file dialog, or cancels it",
                "filedialog PATH | filedialog cancel", "filedialog cancel"},
    CommandHelp{"fail", "makes the next N calls of a platform function fail", "fail OPERATION [N]",
                "fail Shell_NotifyIconA 2"},
    CommandHelp{"shell", "the notification area restarts and loses its icons", "shell restart",
                "shell restart"},
    CommandHelp{"start", "starts another copy of Lumiset", "start", "start"},
    CommandHelp{"status", "tells whether Lumiset is running", "status", "status"},
    CommandHelp{"quit",
                "ends the console, as Ctrl-C and Ctrl-D do at a terminal (\"exit\", \"settings\", "
                "\"zoom\", \"properties\" and \"about\" answer with the command that does it)",
                "quit", "quit"},
};

struct OtherCommand {
    std::string_view word;
    std::string_view pointer;
};

constexpr std::array kOtherCommands = {
    OtherCommand{"exit", "quit ends the console; lumisetctl exit ends Lumiset"},
    OtherCommand{"settings",
                 "page image opens Lumiset's settings window (page effect on its Effect tab)"},
    OtherCommand{"zoom", "lumisetctl zoom opens Lumiset's Zoom dialog"},
    OtherCommand{"properties", "lumisetctl properties opens the camera driver's property pages"},
    OtherCommand{"about", "send 0x0112 16 0 opens Lumiset's About box (its system menu's item)"},
};

// Edits (insert, delete, replace, swap two neighbours) that turn one word into the other.
size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) {
        d[i][0] = i;
    }
    for (size_t j = 0; j <= b.size(); ++j) {
        d[0][j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t replace = d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, replace});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

}  // namespace

std::span<const CommandHelp> CommandHelps() {
    return kHelp;
}

const CommandHelp* FindCommandHelp(std::string_view name) {
    const auto found = std::find_if(kHelp.begin(), kHelp.end(),
                                    [name](const CommandHelp& help) { return help.name == name; });
    return found == kHelp.end() ? nullptr : &*found;
}

std::optional<std::string_view> OtherCommandFor(std::string_view word) {
    for (const OtherCommand& other : kOtherCommands) {
        if (other.word == word) {
            return other.pointer;
        }
    }
    return std::nullopt;
}

std::optional<std::string_view> NearestCommand(std::string_view word) {
    // A word that begins a command is taken as short for it ("cam" for "camera").
    std::optional<std::string_view> nearest;
    size_t best = word.size() / 3 + 1;  // more edits than that is another word, not a typo
    for (const CommandHelp& help : kHelp) {
        if (word.size() >= 2 && help.name.starts_with(word)) {
            return help.name;
        }
        const size_t distance = EditDistance(word, help.name);
        if (distance <= best && (!nearest || distance < best)) {
            best = distance;
            nearest = help.name;
        }
    }
    return nearest;
}

}  // namespace console
