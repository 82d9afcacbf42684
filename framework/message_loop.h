// The one way the framework's loops take a message from the queue.
#pragma once

#include "platform/win32.h"

namespace framework {

enum class Taken {
    kMessage,  // one to pre-translate and dispatch
    kQuit,     // the thread's own WM_QUIT, its code in msg.wParam
    kBroken,   // the queue fails every time: the loop ends the way a quit does
};

// Waits for the next message the loop may dispatch. Skipped: what MayDispatch refuses (so that
// the filter holds even where the system refused the message hook) and a WM_QUIT that another
// program posted to a window. A failed GetMessage is an error, not the end: it is tried again,
// up to a long run of failures in a row.
Taken TakeMessage(MSG& msg);

}  // namespace framework
