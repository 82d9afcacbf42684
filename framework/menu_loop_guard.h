// MenuLoopGuard: keeps an open menu of this thread taking its messages when another program posts
// a DDE message that the system cannot hand over. Wine's menu loop looks at the queue with
// PeekMessage and PM_NOREMOVE; a posted DDE message whose data Wine cannot unpack (another
// program's WM_DDE_EXECUTE without its memory, say) is skipped there but stays first in the
// queue, so that the peek never returns: the thread spins, answers sent messages only, and no
// posted message, key or click reaches it again. While a menu loop of the thread runs (tray menu,
// system menu), a helper thread sends it WM_NULL every 100 ms, and on that the thread removes the
// DDE messages from its queue: no window of ours takes them.
#pragma once

#include <memory>

#include "framework/message_origin.h"  // HookTraits
#include "platform/win32.h"

namespace framework {

class MenuLoopGuard {
public:
    // Guards the calling thread for as long as the object lives. Should the system refuse the
    // hook that sees the loops begin and end (the simulated machine, whose menu loop takes every
    // message, has none of its kind), nothing is guarded.
    MenuLoopGuard();
    ~MenuLoopGuard();
    MenuLoopGuard(const MenuLoopGuard&) = delete;
    MenuLoopGuard& operator=(const MenuLoopGuard&) = delete;

private:
    class Nudger;

    static LRESULT CALLBACK WatchSentMessage(int code, WPARAM wParam, LPARAM lParam);

    std::unique_ptr<Nudger> m_nudger;  // while a menu loop runs
    UniqueHandle<HookTraits> m_hook;
};

}  // namespace framework
