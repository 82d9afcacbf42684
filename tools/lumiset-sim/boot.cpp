#include "tools/lumiset-sim/boot.h"

#include "res/resource_bytes.h"

namespace console {

bool BootMachine(sim::Machine& machine, const BootOptions& options) {
    machine.locale().ui_language = options.ui_language;
    machine.locale().ansi_code_page = options.ansi_code_page;
    sim::CaptureDevice& camera = machine.video().PlugInCamera(sim::CameraModel::A);
    camera.driver.ConfigurePowerLine(2);  // 60 Hz
    return machine.program().LoadResources(LumisetResourceBytes());
}

}  // namespace console
