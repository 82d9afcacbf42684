#include "framework/message_loop.h"

#include "framework/outside_messages.h"

namespace framework {

namespace {

// Wine's own unpacking of a malformed message from another program makes GetMessage fail once;
// a queue that fails this often in a row is gone.
constexpr int kFailuresInARow = 1000;

}  // namespace

Taken TakeMessage(MSG& msg) {
    int failures = 0;
    for (;;) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) {
            if (++failures >= kFailuresInARow) {
                return Taken::kBroken;
            }
            continue;
        }
        failures = 0;
        if (got == 0 && msg.hwnd == nullptr) {
            return Taken::kQuit;
        }
        if (got != 0 && MayDispatch(msg)) {
            return Taken::kMessage;
        }
    }
}

}  // namespace framework
