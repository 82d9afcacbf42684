// What the program's windows take from outside. Any program on the desktop, and any other thread
// of this one, can send or post any message to our windows. A window acts only on the messages it
// has a use for from outside, listed once (outside_messages.cpp, and docs/using.md); every other
// message below WM_USER from another thread is answered without being handled, and a posted one
// is dropped. Messages from WM_USER up are the windows' own protocol and pass.
#pragma once

#include "platform/win32.h"

namespace framework {

// Whether a window acts on `message` when another thread sends it.
bool AcceptsSentFromOutside(HWND window, UINT message, WPARAM wParam);

// Whether a message taken from the thread's queue may reach `msg.hwnd`'s procedure: anyone may
// have posted it, so a message below WM_USER for one of the framework's windows must be one that
// is posted for a reason (input, timers, painting, commands, a close), and a WM_QUIT that names a
// window is another program's (the program's own carries none). Messages for the system's windows
// on the thread pass, but for those only the system sends.
bool MayDispatch(const MSG& msg);

// While it lives, the thread handles a message from outside that its window accepted: what the
// handler sends on this thread, and the system's messages that follow from it, are the program's
// own, although Windows still reports the outside sender for the whole thread. A nested loop
// (NestedLoop) starts afresh.
class AcceptedOutsideMessage {
public:
    AcceptedOutsideMessage();
    ~AcceptedOutsideMessage();
    AcceptedOutsideMessage(const AcceptedOutsideMessage&) = delete;
    AcceptedOutsideMessage& operator=(const AcceptedOutsideMessage&) = delete;

    // A message from another thread arrives that is not the consequence of an accepted one.
    static bool NoneUnderWay();
};

// For the life of a nested loop (a modal dialog, a menu, a system frame): a sender from another
// thread that still waits gets 0 now and goes on, and every message the loop takes counts again
// as from wherever it comes.
class NestedLoop {
public:
    NestedLoop();
    ~NestedLoop();
    NestedLoop(const NestedLoop&) = delete;
    NestedLoop& operator=(const NestedLoop&) = delete;

private:
    int m_outerDepth;
};

}  // namespace framework
