// TrayCameraState: whether the tray icon shows the camera on or off. It goes only by what the host
// learns anyway (the stored choice each tick reads, what a switch did, what the tray menu's query
// or a re-apply found), so that showing it costs the tick no look at the device.
#pragma once

#include "device/camera_switch_result.h"
#include "platform/win32.h"

class TrayCameraState {
public:
    static constexpr char kOnTip[] = "CV Lumen Webcam";
    // Screen readers read the tooltip, not the picture.
    static constexpr char kOffTip[] = "CV Lumen Webcam - camera off";

    // The stored choice: 0 is Off, whatever the device does.
    void Stored(DWORD stored) { m_storedOff = stored == 0; }
    // A look at the device found it started, or disabled or not there.
    void Found(bool started) { m_foundOff = !started; }
    // What a switch to on or off that the host made tells of the device.
    void Switched(bool on, CameraSwitchResult result);

    bool Off() const { return m_storedOff || m_foundOff; }
    WORD Icon() const;
    const char* Tip() const { return Off() ? kOffTip : kOnTip; }

private:
    bool m_storedOff = false;
    bool m_foundOff = false;
};
