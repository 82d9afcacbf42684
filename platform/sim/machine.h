// sim::Machine: one simulated Windows machine. A test builds one; the platform functions of the
// simulated build act on the machine that exists at the moment of the call.
#pragma once

#include "platform/sim/apartments.h"
#include "platform/sim/call_trace.h"
#include "platform/sim/camera/video_devices.h"
#include "platform/sim/controls.h"
#include "platform/sim/device_tree.h"
#include "platform/sim/dialog_navigation.h"
#include "platform/sim/dialogs.h"
#include "platform/sim/display.h"
#include "platform/sim/faults.h"
#include "platform/sim/file_dialogs.h"
#include "platform/sim/gdi.h"
#include "platform/sim/hotkeys.h"
#include "platform/sim/kernel.h"
#include "platform/sim/menus.h"
#include "platform/sim/profile.h"
#include "platform/sim/program_module.h"
#include "platform/sim/registry.h"
#include "platform/sim/resource_counter.h"
#include "platform/sim/system_events.h"
#include "platform/sim/tray.h"
#include "platform/sim/win_events.h"
#include "platform/sim/window_manager.h"

namespace sim {

// The user's language settings: the UI language picks resource copies, the ANSI code page
// converts text for the *A functions.
struct Locale {
    unsigned short ui_language = 1033;
    unsigned ansi_code_page = 1252;
};

// The rights the user's programs run with: an administrator's (an elevated token, which may
// change devices) or a standard user's.
struct UserRights {
    bool administrator = true;
};

class Machine {
public:
    Machine();
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    // The machine the platform functions act on; there is at most one at a time.
    static Machine& Current();
    static bool Exists();

    Kernel& kernel() { return kernel_; }
    Locale& locale() { return locale_; }
    UserRights& rights() { return rights_; }
    Registry& registry() { return registry_; }
    Profile& profile() { return profile_; }
    DeviceTree& devices() { return devices_; }
    FaultInjector& faults() { return faults_; }
    ResourceCounter& resources() { return resources_; }
    Display& display() { return display_; }
    WindowManager& windows() { return windows_; }
    Hotkeys& hotkeys() { return hotkeys_; }
    WinEvents& win_events() { return win_events_; }
    Dialogs& dialogs() { return dialogs_; }
    DialogNavigation& navigation() { return navigation_; }
    FileDialogs& file_dialogs() { return file_dialogs_; }
    Controls& controls() { return controls_; }
    Menus& menus() { return menus_; }
    Gdi& gdi() { return gdi_; }
    Tray& tray() { return tray_; }
    SystemEvents& system_events() { return system_events_; }
    ProgramModule& program() { return program_; }
    Apartments& apartments() { return apartments_; }
    VideoDevices& video() { return video_; }
    CallTrace& trace() { return trace_; }

private:
    Locale locale_;
    UserRights rights_;
    CallTrace trace_;
    ResourceCounter resources_;
    FaultInjector faults_;
    Registry registry_{resources_};
    Profile profile_;
    DeviceTree devices_{resources_};
    ProgramModule program_;
    Apartments apartments_;
    Gdi gdi_{resources_};
    Display display_;
    WindowManager windows_{*this};
    Hotkeys hotkeys_{*this};
    WinEvents win_events_;
    Menus menus_{*this};
    Dialogs dialogs_{*this};
    DialogNavigation navigation_{*this};
    FileDialogs file_dialogs_{*this};
    Controls controls_{*this};
    Tray tray_{*this};
    SystemEvents system_events_{*this};
    VideoDevices video_{devices_, registry_};
    // Declared last, so destroyed first: program threads stop before the rest goes away.
    Kernel kernel_;
};

}  // namespace sim
