#include "app/tray_camera_state.h"

#include "res/resource.h"

void TrayCameraState::Switched(bool on, CameraSwitchResult result) {
    switch (result.outcome()) {
        case CameraSwitchResult::Switched:
            Found(on);
            break;
        case CameraSwitchResult::NeedsRestart:
            // Until the restart the device stays as it was.
            Found(!on);
            break;
        case CameraSwitchResult::CameraInUse:
            // Off was refused because the camera kept running.
            Found(true);
            break;
        case CameraSwitchResult::NeedsAdministrator:
        case CameraSwitchResult::NoCamera:
            // Nothing was asked of a device: nothing learned.
            break;
    }
}

WORD TrayCameraState::Icon() const {
    return Off() ? IDI_TRAY_OFF : IDI_TRAY;
}
