// A simulated machine with Lumiset's resources and a model A camera, and Lumiset started on it
// as at logon, for the tests of the program as a whole.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/desktop.h"

namespace testing_support {

class LumisetTest : public ::testing::Test {
protected:
    LumisetTest();
    // Ends a copy still running, as a user's Exit does: the program's own process-wide state
    // (the effect cycle, the bound capture filter) must not outlive its machine.
    void TearDown() override;

    // Starts a copy of Lumiset as a new process, with that command line.
    sim::ProcessId StartLumiset(std::string command_line = "");
    HWND Host() const { return desktop.FindTopLevel(u"#32770", u"Property"); }
    // Sends WM_COMMAND `id` from another program, without a control handle.
    void Command(WORD id) { desktop.Post(Host(), WM_COMMAND, id, 0); }
    std::optional<sim::RegistryValue> StoredSetting() const;
    void DeleteStoredSetting();
    int CountRequests(DWORD message) const;
    // Every platform call the next second's tick makes, the loop's own wait for it left out.
    int TickCalls();

    sim::Machine machine;
    sim::Desktop desktop{machine};
    sim::CaptureDevice* camera = nullptr;
    int camera_node = 0;
};

}  // namespace testing_support
