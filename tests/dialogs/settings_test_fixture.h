// Lumiset with its settings window open, driven as a person drives it.
#pragma once

#include <string>
#include <vector>

#include "tests/support/lumiset_machine.h"

class SettingsTest : public testing_support::LumisetTest {
protected:
    static constexpr std::u16string_view kTitle = u"CV Lumen Webcam Settings";

    void Start() {
        process = StartLumiset();
        desktop.Wait(1000);
        ASSERT_EQ(desktop.TrayIcons().size(), 1u);
    }
    // As `Lumiset.exe /settings` or another program asks for it.
    void OpenSettings(WPARAM tab) {
        desktop.Post(Host(), machine.windows().RegisterMessage(u"LumisetShowSettings"), tab, 0);
    }
    void OpenAndClearLog(WPARAM tab) {
        OpenSettings(tab);
        ASSERT_NE(Settings(), nullptr);
        camera->driver.ClearLog();
    }
    HWND Settings() const { return desktop.FindTopLevel(u"#32770", kTitle); }

    HWND Control(int id) const { return desktop.VisibleControl(Settings(), id); }
    sim::ControlView View(int id) const {
        for (const sim::ControlView& view : desktop.VisibleControls(Settings())) {
            if (view.id == id) {
                return view;
            }
        }
        ADD_FAILURE() << "no visible control " << id;
        return {};
    }
    bool Checked(int id) const { return View(id).checked; }
    bool Enabled(int id) const { return View(id).enabled; }
    int Position(int id) const { return View(id).pos; }
    std::u16string Text(int id) const { return View(id).text; }

    void Click(int id) { EXPECT_TRUE(desktop.ClickControl(Control(id))) << id; }
    void Drag(int id, int position) { EXPECT_TRUE(desktop.DragTrackbar(Control(id), position)); }

    std::vector<std::string> CameraLog() {
        auto log = camera->driver.Log();
        camera->driver.ClearLog();
        return log;
    }
    // The values written to one channel, in order.
    std::vector<int> Writes(const std::vector<std::string>& log, const std::string& channel) {
        std::vector<int> values;
        const std::string prefix = "set " + channel + " ";
        for (const std::string& line : log) {
            if (line.rfind(prefix, 0) == 0) {
                values.push_back(std::stoi(line.substr(prefix.size())));
            }
        }
        return values;
    }

    sim::ProcessId process = 0;
};
