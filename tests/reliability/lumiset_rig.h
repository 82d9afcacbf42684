// One simulated machine with Lumiset on it, driven as a person and other programs drive it,
// with the checks every reliability run makes: what a run may leave behind and what the
// program may write to its stored setting.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/desktop.h"

namespace reliability {

class LumisetRig {
public:
    LumisetRig();
    ~LumisetRig();
    LumisetRig(const LumisetRig&) = delete;
    LumisetRig& operator=(const LumisetRig&) = delete;

    // Starts a copy of Lumiset as a new process; the first one started is the one checked.
    sim::ProcessId Start(std::string command_line = "");
    bool Running() const { return process_ != 0 && desktop.Running(process_); }
    // Starts Lumiset again after it ended, as at the next logon: the new copy is the one checked.
    sim::ProcessId Restart();
    // Any copy started runs.
    bool AnyRunning() const;
    HWND Host() const { return desktop.FindTopLevel(u"#32770", u"Property"); }

    // Other programs' messages to the host.
    void Command(WORD id);
    void OpenSettings(WPARAM tab);
    // A mouse event on Lumiset's tray icon; false when it shows none.
    bool TrayEvent(UINT mouse_message);
    // Right-clicks the icon and chooses `item`; false when no menu or no such item came up.
    bool ChooseFromTray(std::u16string_view item);

    HWND Settings() const;
    HWND Zoom() const;
    HWND PropertyFrame() const { return desktop.FindTopLevel(u"#32770", u"Properties"); }
    // The visible control `id` of `window` clicked, dragged or pressed, when it is there.
    void Click(HWND window, int id);
    void Drag(HWND window, int id, int position);
    // The close box of a window of Lumiset's, when it is there.
    void CloseBox(HWND window);

    // Ends every copy of Lumiset as a user does: Exit, then the close box of whatever modal
    // window keeps the host's loop from ending, giving a worker's pause the seconds it takes.
    // True when every copy has ended.
    bool End();

    // What a run left behind once Lumiset has ended: every kind still counted, less what a
    // failed release of `failing_operation` leaves by the program's own rules.
    std::vector<std::string> Leftovers(std::string_view failing_operation = {}) const;
    // What the running program holds between actions beyond its rules: with no menu or window
    // of its own open, nothing but the kept registry handle, and COM references only while an
    // effect cycle's worker may hold its binding.
    std::vector<std::string> HeldBetweenActions(std::string_view failing_operation = {}) const;
    // The value cannot be read at all this run, so start-up's default may replace what is stored.
    void AllowDefaultOverStoredValue() { default_may_replace_ = true; }
    // Everything the stored setting rule forbids that happened so far, one line each.
    const std::vector<std::string>& SettingViolations() const { return violations_; }
    // The stored value holds nothing but what the program writes (or is missing); empty when
    // that holds, otherwise what it holds.
    std::string StoredValueProblem() const;
    void DeleteStoredSetting();
    void StoreSettingFromOutside(std::optional<DWORD> value);

    sim::Machine machine;
    sim::Desktop desktop{machine};
    sim::CaptureDevice* camera = nullptr;
    int camera_node = 0;

private:
    void CheckWrite(const std::optional<sim::RegistryValue>& before,
                    const sim::RegistryValue& after);
    void CheckRememberedWrite(const sim::RegistryValue& after);

    sim::ProcessId process_ = 0;
    std::vector<sim::ProcessId> processes_;
    std::vector<std::string> violations_;
    bool default_may_replace_ = false;
};

// Counts of every handle kind and reference the machine accounts for, for comparisons over time.
std::string DescribeCounts(const std::map<std::string, int>& counts);

}  // namespace reliability
