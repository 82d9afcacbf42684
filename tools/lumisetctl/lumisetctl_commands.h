// lumisetctl's command words: from its arguments to what it does, and the outcome it reports.
// Plain C++ without platform calls, shared by lumisetctl.exe and the simulated desktop's console.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/camera_key.h"
#include "device/camera_key_state.h"
#include "res/resource.h"

namespace lumisetctl {

// The window Lumiset answers window commands with.
inline constexpr const char* kHostClass = "#32770";
inline constexpr const char* kHostTitle = "Property";

// Exit statuses.
inline constexpr int kDone = 0;
inline constexpr int kNotDelivered = 1;  // no Lumiset runs, or the system refused
inline constexpr int kUsageError = 2;

// The uninstaller's longest wait for Lumiset to end, in seconds.
inline constexpr unsigned kLongestUninstallWait = 600;
// How much of a word lumisetctl does not know its error quotes.
inline constexpr std::size_t kLongestQuote = 64;

// The camera's effects and frames by their English menu names, in the order of their EffectId
// (1 to 26), with the spelling of the settings window's Effect tab where it differs.
struct EffectName {
    const char* name;
    unsigned command;
    const char* tab_name = nullptr;
};

inline constexpr std::array<EffectName, 26> kEffectNames{{
    {"Aged Photo", ID_EFFECT_AGED_PHOTO},
    {"Canvas", ID_EFFECT_CANVAS},
    {"Emboss", ID_EFFECT_EMBOSS},
    {"Neon Light", ID_EFFECT_NEON_LIGHT},
    {"Invert", ID_EFFECT_INVERT},
    {"Motion", ID_EFFECT_MOTION},
    {"Spread", ID_EFFECT_SPREAD},
    {"Shear", ID_EFFECT_SHEAR},
    {"Monitor", ID_EFFECT_MONITOR},
    {"Ellipse", ID_EFFECT_ELLIPSE},
    {"Alien Map", ID_EFFECT_ALIEN_MAP},
    {"Glass Title", ID_EFFECT_GLASS_TITLE},
    {"Wind", ID_EFFECT_WIND},
    {"Magic Mirror", ID_EFFECT_MAGIC_MIRROR},
    {"Mosaic", ID_EFFECT_MOSAIC},
    {"TV Effect", ID_EFFECT_TV},
    {"Post Card", ID_FRAME_POST_CARD},
    {"Flower", ID_FRAME_FLOWER},
    {"Jungle", ID_FRAME_JUNGLE},
    {"Television", ID_FRAME_TELEVISION},
    {"Magazine", ID_FRAME_MAGAZINE},
    {"FBI Wanted", ID_FRAME_FBI_WANTED},
    {"Aim", ID_FRAME_AIM},
    {"Paper", ID_FRAME_PAPER},
    {"Merry Xmas", ID_FRAME_MERRY_XMAS, "Merry Xms"},
    {"Magnifier", ID_FRAME_MAGNIFIER, "Magnifie"},
}};
inline constexpr int kFirstFrame = 17;  // EffectId of "Post Card"

// The host takes effect N as command 32776 + N.
constexpr bool EffectCommandsRunInOrder() {
    for (std::size_t i = 0; i < kEffectNames.size(); ++i) {
        if (kEffectNames[i].command != ID_EFFECT_AGED_PHOTO + i) {
            return false;
        }
    }
    return ID_EFFECT_AGED_PHOTO == 32777;
}
static_assert(EffectCommandsRunInOrder());

// What the arguments ask for.
struct Action {
    enum class Kind { Post, Settings, Status, Info, Keys, SetKey, Help, UninstallWait, UsageError };
    Kind kind = Kind::UsageError;
    unsigned command = 0;  // Post: the window command; UninstallWait: the seconds
    std::string error;     // UsageError: what is wrong, one line
    CameraKeySlot slot = CameraKeySlot::Toggle;  // SetKey: which key, and what it becomes
    CameraKey key;
};

// `args` are the arguments after the program's name.
Action Parse(const std::vector<std::string>& args);

// The command of an effect or frame named in any case, blanks or dashes alike; 0 for none.
unsigned EffectCommand(std::string_view name);

// What --help prints.
std::string Usage();

// What a run printed and its exit status. `error` is one line without the program's name;
// `output` is standard output, whole lines.
struct Outcome {
    int status = kDone;
    std::string output;
    std::string error;
};

// The keys as stored, and what the running Lumiset's hidden window says of each.
struct KeysReport {
    struct Key {
        CameraKey key;
        CameraKeyState state = CameraKeyState::Unpublished;
    };
    bool running = false;
    std::array<Key, kCameraKeySlots.size()> keys;  // by slot
};

// "off", "on", "toggle".
const char* SlotWord(CameraKeySlot slot);

// A line each: "toggle: Win+Shift+O ready".
std::string KeysLines(const KeysReport& report, std::string_view prefix = {});

// What `info` shows, as lumisetctl reads it itself: nothing here is asked of Lumiset.
struct Report {
    struct Camera {
        enum class State { Started, Disabled, Absent, Problem, Stopped, Unknown };
        std::string name;
        State state = State::Unknown;
        unsigned long problem = 0;  // Problem: the node's problem number
    };
    bool running = false;
    std::optional<bool> administrator;  // running: whether with administrator rights, if known
    std::vector<Camera> cameras;        // every installed camera, in the system's order
    std::optional<unsigned long> stored_setting;  // "DeviceEnable" as Lumiset reads it
    std::optional<long> power_line;               // what the camera reports
    std::optional<long> remembered_power_line;    // 1 or 2 as remembered for the user
    KeysReport keys;
};

// A power-line frequency value as people read it: "50 Hz", "off", "unknown".
std::string PowerLineText(std::optional<long> value);

// The lines of `info`, and its exit status: kDone, or kNotDelivered when no camera is found.
Outcome InfoOutcome(const Report& report);

// What lumisetctl needs of the machine it runs on.
class Machine {
public:
    struct Result {
        enum class Kind { Done, NotRunning, Failed };
        Kind kind = Kind::Done;
        std::string why;  // Failed: one line
    };
    virtual ~Machine() = default;
    virtual bool LumisetRunning() = 0;
    // Posts WM_COMMAND `command` to the running Lumiset's host window.
    virtual Result Post(unsigned command) = 0;
    // Starts Lumiset with the command line "/settings".
    virtual Result StartSettings() = 0;
    // Whether the stored setting can be read: while it can, every Lumiset runs on.
    virtual bool SettingReadable() = 0;
    // Waits up to `milliseconds` until no Lumiset of any user runs; false when one still runs.
    virtual bool WaitForNoLumiset(unsigned milliseconds) = 0;
    // Reads what `info` shows.
    virtual Report ReadReport() = 0;
    // Reads the stored keys and, when Lumiset runs, its window's word on each.
    virtual KeysReport ReadKeys() = 0;
    // Stores one key for the user.
    virtual Result StoreKey(CameraKeySlot slot, CameraKey key) = 0;
    // Posts kCameraKeysChangedMessage to the running Lumiset's host window.
    virtual Result PostKeysChanged() = 0;
};

Outcome Run(const std::vector<std::string>& args, Machine& machine);

}  // namespace lumisetctl
