#include "tests/reliability/scenarios.h"

#include "res/resource.h"

namespace reliability {

namespace {

void StartTwice(LumisetRig& rig) {
    rig.Start();
    rig.desktop.Wait(1000);
    // A second copy finds the first and ends.
    rig.Start();
    rig.desktop.Wait(1000);
}

// The Chinese resources, and the About box that system commands 16 to 31 open.
void StartInChinese(LumisetRig& rig) {
    rig.machine.locale().ui_language = 2052;
    rig.machine.locale().ansi_code_page = 936;
    rig.Start();
    rig.desktop.Wait(1000);
    if (const HWND host = rig.Host()) {
        rig.desktop.Post(host, WM_SYSCOMMAND, 0x0010, 0);
    }
    rig.desktop.Wait(1000);  // a tick in the About box's loop
    if (const HWND about = rig.desktop.FindTopLevel(u"#32770", u"\u5173\u4e8e Lumiset")) {
        rig.desktop.Post(about, WM_COMMAND, IDOK, 0);
    }
}

// The user switched the camera off last time: the stored 0 must survive start-up.
void StartWithCameraOff(LumisetRig& rig) {
    rig.StoreSettingFromOutside(0);
    StartTwice(rig);
}

void Ticks(LumisetRig& rig) {
    rig.desktop.Wait(5000);
}

void MenuDismissed(LumisetRig& rig) {
    rig.TrayEvent(WM_RBUTTONDOWN);
    rig.TrayEvent(WM_MOUSEMOVE);
    rig.TrayEvent(WM_RBUTTONUP);
    rig.desktop.Wait(1000);  // a tick inside the menu's loop
    rig.desktop.DismissMenu();
    rig.TrayEvent(WM_LBUTTONDBLCLK);
    rig.desktop.DismissMenu();
}

void Menu50Hz(LumisetRig& rig) {
    rig.ChooseFromTray(u"50Hz");
    rig.desktop.Wait(1000);
}

void Menu60Hz(LumisetRig& rig) {
    rig.ChooseFromTray(u"60Hz");
    rig.desktop.Wait(1000);
}

void MenuOffThenOn(LumisetRig& rig) {
    rig.ChooseFromTray(u"Off");
    rig.desktop.Wait(1000);
    rig.ChooseFromTray(u"On");
    rig.desktop.Wait(1000);
}

void MenuOff(LumisetRig& rig) {
    rig.ChooseFromTray(u"Off");
    rig.desktop.Wait(1000);
}

void MenuExit(LumisetRig& rig) {
    rig.ChooseFromTray(u"Exit");
}

// Every window command but those with scenarios of their own (exit, the property frame, the
// Zoom dialog, the camera and power-line commands), and ids the table does not know.
void EffectAndSnapshotCommands(LumisetRig& rig) {
    for (WORD id = 32777; id <= 32803; ++id) {
        rig.Command(id);
    }
    for (WORD id : {32806, 32807, 32808, 32809, 32818, 32810, 32811, 32812, 32813, 32829, 32821,
                    32821, 32774, 1000, 1001}) {
        rig.Command(id);
    }
    rig.desktop.Wait(1000);
}

void CameraCommands(LumisetRig& rig) {
    for (WORD id : {32830, 32831, 32828, 32827, 32830}) {
        rig.Command(id);
        rig.desktop.Wait(500);
    }
}

void PropertyFrame(LumisetRig& rig) {
    rig.Command(32773);
    rig.Command(32773);  // one at a time
    rig.desktop.Wait(2000);
    rig.Command(32777);
    rig.CloseBox(rig.PropertyFrame());
    rig.desktop.Wait(1000);
}

void ImageControlPageScenario(LumisetRig& rig) {
    rig.OpenSettings(0);
    UseImageControlPage(rig);
    rig.Click(rig.Settings(), IDC_SETTINGS_CLOSE);
    rig.desktop.Wait(1000);
}

void EffectPageScenario(LumisetRig& rig) {
    rig.OpenSettings(1);
    UseEffectPage(rig);
    rig.CloseBox(rig.Settings());
    rig.desktop.Wait(1000);
}

void EffectCycling(LumisetRig& rig) {
    rig.OpenSettings(1);
    const HWND settings = rig.Settings();
    rig.Click(settings, IDC_AUTO_CHANGE);
    rig.desktop.Wait(11000);
    rig.Click(settings, IDC_EFFECT_MOSAIC);  // stops it
    rig.Click(settings, IDC_AUTO_CHANGE);
    rig.desktop.Wait(6000);
    rig.Command(32780);
    rig.Click(settings, IDC_SETTINGS_CLOSE);
    rig.desktop.Wait(6000);  // it goes on after the window closed
    rig.OpenSettings(1);
    rig.Click(rig.Settings(), IDC_AUTO_CHANGE);
    rig.desktop.Wait(2000);  // and the exit that follows stops it
}

void ZoomDialogScenario(LumisetRig& rig) {
    // AMCAP titled with its capture file, found through the user's profile.
    rig.machine.profile().Set("annie", "CaptureFile", "C:\\capture.avi");
    rig.desktop.OpenWindow(u"", u"AMCAP - C:\\capture.avi");
    rig.Command(32817);
    rig.Command(32817);  // one at a time
    DriveZoomDialog(rig);
    rig.desktop.PressKey(rig.Zoom(), VK_ESCAPE);
    rig.CloseBox(rig.Zoom());
    rig.desktop.Wait(1000);
}

constexpr const char* kUserKey = "Software\\Corvance\\CV Lumen Webcam";

void RememberFromOutside(LumisetRig& rig, DWORD frequency) {
    rig.machine.registry().SetDword(HKEY_CURRENT_USER, kUserKey, "PowerLineFrequency", frequency);
}

// Stored Off and a remembered 50 Hz; the camera comes back in another port as a node that starts
// enabled, then as itself with 60 Hz inside.
void CameraPluggedIn(LumisetRig& rig) {
    rig.StoreSettingFromOutside(0);
    RememberFromOutside(rig, 1);
    rig.Start();
    rig.desktop.Wait(1010);
    const int other_port = rig.desktop.AddDevice(sim::ModelAHardwareIds());
    rig.desktop.Wait(1000);
    rig.desktop.RemoveDevice(other_port);
    rig.StoreSettingFromOutside(1);
    rig.desktop.UnplugDevice(rig.camera_node);
    rig.camera->driver.SetPowerLine(2);
    rig.desktop.PlugDevice(rig.camera_node);
    rig.desktop.Wait(2000);
}

// The machine sleeps; meanwhile the camera was disabled from outside and lost its frequency.
void SleepAndResume(LumisetRig& rig) {
    RememberFromOutside(rig, 1);
    rig.desktop.Suspend();
    if (sim::DeviceNode* node = rig.machine.devices().Node(rig.camera_node)) {
        node->disabled_in_profile = true;
        node->started = false;
    }
    rig.camera->driver.SetPowerLine(2);
    rig.desktop.Resume();
    rig.desktop.Wait(2000);
}

// A standard user's Off and On, and an Off a second camera will not let happen: balloons.
void SwitchesThatDoNotHappen(LumisetRig& rig) {
    rig.machine.rights().administrator = false;
    rig.ChooseFromTray(u"Off");
    rig.desktop.Wait(1000);
    rig.Command(32827);
    rig.desktop.Wait(1000);
    rig.machine.rights().administrator = true;
    const int stuck = rig.desktop.AddDevice(sim::ModelAHardwareIds());
    if (sim::DeviceNode* node = rig.machine.devices().Node(stuck)) {
        node->refuses_to_stop = true;
    }
    rig.desktop.Wait(1000);
    rig.ChooseFromTray(u"Off");
    rig.desktop.Wait(1000);
}

void ExitCommand(LumisetRig& rig) {
    rig.Command(32772);
}

void SettingDeleted(LumisetRig& rig) {
    rig.OpenSettings(0);
    rig.DeleteStoredSetting();
    rig.desktop.Wait(1000);
    // Nothing is left for the user to close.
}

}  // namespace

void UseImageControlPage(LumisetRig& rig) {
    const HWND settings = rig.Settings();
    for (int id : {IDC_MIRROR, IDC_FLIP, IDC_LOW_LIGHT, IDC_BACKLIGHT_COMP, IDC_BW_MODE,
                   IDC_BANDWIDTH_AUTO, IDC_EXPOSURE_AUTO, IDC_WHITE_BALANCE_AUTO, IDC_OUTDOOR,
                   IDC_INDOOR, IDC_FLICKER_50HZ, IDC_FLICKER_60HZ}) {
        rig.Click(settings, id);
    }
    rig.Drag(settings, IDC_BRIGHTNESS_SLIDER, 40);
    rig.Drag(settings, IDC_HUE_SLIDER, 10);
    rig.Drag(settings, IDC_SNAPSIZE_SLIDER, 2);
    rig.Drag(settings, IDC_BANDWIDTH_SLIDER, 3);
    rig.Drag(settings, IDC_EXPOSURE_SLIDER, 5);
    if (settings) {
        if (const HWND contrast = rig.desktop.VisibleControl(settings, IDC_CONTRAST_SLIDER)) {
            rig.desktop.PressKeyOn(contrast, VK_RIGHT);
        }
        rig.desktop.PressKey(settings, VK_ESCAPE);  // leaves the window open
    }
    rig.Click(settings, IDC_SAVE_DEFAULTS);
    rig.Click(settings, IDC_RESET_DEFAULTS);
    rig.Click(settings, IDC_RESTORE_DEFAULTS);
    if (settings) {
        rig.desktop.Repaint(settings);
        if (const HWND tab = rig.machine.dialogs().Item(settings, IDC_SETTINGS_TAB)) {
            rig.desktop.SelectTab(tab, 1);
            rig.desktop.SelectTab(tab, 0);
        }
    }
}

void UseEffectPage(LumisetRig& rig) {
    const HWND settings = rig.Settings();
    rig.Click(settings, IDC_EFFECT_EMBOSS);
    rig.Click(settings, IDC_FRAME_JUNGLE);
    rig.Click(settings, IDC_FRAME_FILE);
    rig.Click(settings, IDC_BROWSE_FRAME);
    rig.desktop.AnswerFileDialog(std::string("C:\\Frames\\heart.bmp"));
    rig.Click(settings, IDC_BROWSE_FRAME);
    rig.desktop.AnswerFileDialog(std::nullopt);
    rig.Click(settings, IDC_LOAD_FILE);
    rig.Click(settings, IDC_NO_EFFECT);
    if (settings) {
        rig.desktop.Repaint(settings);
        if (const HWND tab = rig.machine.dialogs().Item(settings, IDC_SETTINGS_TAB)) {
            rig.desktop.SelectTab(tab, 0);
            rig.desktop.SelectTab(tab, 1);
        }
    }
}

void DriveZoomDialog(LumisetRig& rig) {
    HWND zoom = rig.Zoom();
    rig.Click(zoom, IDC_ZOOM_ENABLE);
    rig.desktop.Wait(40);
    rig.Drag(zoom, IDC_ZOOM_SLIDER, 100);
    rig.desktop.Wait(40);
    if (zoom) {
        if (const HWND left = rig.desktop.VisibleControl(zoom, IDC_PAN_LEFT)) {
            if (rig.desktop.PressButton(left)) {
                rig.desktop.Wait(100);
                rig.desktop.ReleaseButton(left);
            }
        }
    }
    rig.Click(zoom, IDC_PAN_UP);
    rig.desktop.Wait(1000);  // the host's tick in the dialog's loop
    rig.Click(zoom, IDC_ZOOM_ENABLE);
    rig.desktop.Wait(40);
}

const std::vector<Scenario>& MainScenarios() {
    static const std::vector<Scenario> scenarios = {
        {"Start", false, StartTwice, false},
        {"StartInChinese", false, StartInChinese, false},
        {"StartWithCameraOff", false, StartWithCameraOff, false},
        {"Ticks", true, Ticks, false},
        {"TrayMenuDismissed", true, MenuDismissed, false},
        {"TrayMenu50Hz", true, Menu50Hz, false},
        {"TrayMenu60Hz", true, Menu60Hz, false},
        {"TrayMenuOff", true, MenuOff, false},
        {"TrayMenuOffThenOn", true, MenuOffThenOn, false},
        {"TrayMenuExit", true, MenuExit, true, {"LoadMenuA", "GetSubMenu", "TrackPopupMenu"}},
        {"EffectAndSnapshotCommands", true, EffectAndSnapshotCommands, false},
        {"CameraCommands", true, CameraCommands, false},
        {"PropertyFrame", true, PropertyFrame, false},
        {"ImageControlPage", true, ImageControlPageScenario, false},
        {"EffectPage", true, EffectPageScenario, false},
        {"EffectCycling", true, EffectCycling, false},
        {"ZoomDialog", true, ZoomDialogScenario, false},
        {"ExitCommand", true, ExitCommand, true},
        {"SettingDeleted", true, SettingDeleted, true},
        {"CameraPluggedIn", false, CameraPluggedIn, false},
        {"SleepAndResume", true, SleepAndResume, false},
        {"SwitchesThatDoNotHappen", true, SwitchesThatDoNotHappen, false},
    };
    return scenarios;
}

}  // namespace reliability
