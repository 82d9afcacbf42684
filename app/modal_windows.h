// The host's modal windows: the About box, the Zoom dialog and the property frame run nested
// loops on the host's thread, and other programs can ask for each again while it is open. At
// most one of each runs; when the host ends, every window still open on its thread closes as its
// close box would, so that the loops unwind and the process can end.
#pragma once

#include <array>
#include <cstddef>

#include "framework/wnd.h"
#include "platform/win32.h"

class ModalWindows {
public:
    enum Kind { About, Zoom, PropertyFrame, kKinds };

    // Marks a kind open while it lives; `window` is the framework's window, when it has one.
    class Running {
    public:
        Running(ModalWindows& windows, Kind kind, CWnd* window);
        ~Running();
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

    private:
        ModalWindows& windows_;
        Kind kind_;
    };

    bool IsOpen(Kind kind) const { return open_[kind]; }
    // The open window of that kind, or null (also for the property frame: the system owns it).
    CWnd* Window(Kind kind) const { return windows_[kind]; }

    // Closes, innermost first, every top-level window of the calling thread but `keep` and
    // `alsoKeep`, as a click on its close box does.
    static void CloseThreadWindows(HWND keep, HWND alsoKeep);

private:
    std::array<bool, kKinds> open_{};
    std::array<CWnd*, kKinds> windows_{};
};
