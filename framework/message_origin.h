// Where a message came from. Any program on the desktop can send or post any message to our
// windows. Windows copies the data of a known family of messages between processes and refuses
// to post those; every other message arrives as it was sent, so a notification from outside
// carries a pointer into its sender, and a message that only the window manager sends on the
// window's own thread (initialisation, destruction) can be forged. These let the framework refuse
// what it did not cause.
#pragma once

#include "framework/unique_handle.h"
#include "platform/win32.h"

namespace framework {

// The message being handled was sent by another thread, of this program or another, and its
// sender still waits. Windows answers for the thread: what a handler of such a message sends on
// or dispatches, on this thread, counts as sent from outside too, until the handler replies
// (AnswerWaitingSender); a message another program sends later is its own again.
bool SentFromAnotherThread();

// Before a nested loop (a modal dialog, a menu, a system frame): answers a sender from another
// thread that is still waiting, with 0, so that it goes on and the loop's own messages count as
// the thread's again. Nothing when the thread handles no such message.
void AnswerWaitingSender();

// A message whose lParam points at a record its sender built (notifications, owner-draw
// requests, a new scale's suggested rectangle) and that Windows may pass between processes as it
// is.
bool CarriesSendersPointer(UINT message);

// A position message without its record: the system never sends one, and nothing can read it.
bool IsPositionWithoutRecord(UINT message, LPARAM lParam);

// A message that only the window manager delivers, and only by sending it on the window's own
// thread: a posted one is forged.
bool IsNeverPosted(UINT message);

struct HookTraits {
    using Handle = HHOOK;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle hook) { UnhookWindowsHookEx(hook); }
};

// For as long as it lives, every message that the creating thread takes from its queue and that
// MayDispatch (framework/outside_messages.h) refuses becomes WM_NULL, whichever loop takes it: the
// framework's, a dialog's, the menu's, the property frame's or the file dialog's (a WH_GETMESSAGE
// hook sees them all). Should the system refuse the hook, the framework's own loops still skip
// them.
class PostedMessageFilter {
public:
    PostedMessageFilter();

    bool IsInstalled() const { return m_hook.Valid(); }

private:
    UniqueHandle<HookTraits> m_hook;
};

}  // namespace framework
