#include "tests/support/lumiset_machine.h"

#include <algorithm>
#include <string_view>

#include "framework/win_app.h"
#include "res/resource_bytes.h"

namespace testing_support {

namespace {
constexpr const char* kKey = "SOFTWARE\\Corvance\\CV Lumen Webcam";
}

LumisetTest::LumisetTest() {
    EXPECT_TRUE(machine.program().LoadResources(LumisetResourceBytes()));
    camera = &machine.video().PlugInCamera(sim::CameraModel::A);
    camera->driver.ConfigurePowerLine(2);
    camera_node = camera->node;
}

void LumisetTest::TearDown() {
    if (const HWND host = Host()) {
        desktop.Post(host, WM_COMMAND, 32772, 0);
    }
    // A modal window still open keeps the host's loop from ending: close them as a person would.
    for (int open = 0; open < 8 && Host() && desktop.CloseActiveWindow(); ++open) {
    }
    for (const std::string& call : machine.apartments().CallsAfterUninitialize()) {
        ADD_FAILURE() << "COM call after CoUninitialize: " << call;
    }
}

sim::ProcessId LumisetTest::StartLumiset(std::string command_line) {
    return desktop.Start([command_line]() mutable {
        AfxWinMain(GetModuleHandleA(nullptr), nullptr, command_line.data(), SW_SHOWDEFAULT);
    });
}

std::optional<sim::RegistryValue> LumisetTest::StoredSetting() const {
    return const_cast<sim::Machine&>(machine).registry().GetValue(HKEY_LOCAL_MACHINE, kKey,
                                                                  "DeviceEnable");
}

void LumisetTest::DeleteStoredSetting() {
    machine.registry().DeleteValue(HKEY_LOCAL_MACHINE, kKey, "DeviceEnable");
}

int LumisetTest::CountRequests(DWORD message) const {
    return const_cast<sim::Machine&>(machine).tray().RequestCount(message);
}

int LumisetTest::TickCalls() {
    const auto count = [this] {
        int calls = 0;
        for (std::string_view operation : sim::FaultInjector::KnownOperations()) {
            if (operation != "GetMessageA") {
                calls += machine.faults().Calls(operation);
            }
        }
        return calls;
    };
    const int before = count();
    desktop.Wait(1000);
    return count() - before;
}

}  // namespace testing_support
