// CCmdTarget: an object with a message map, the root of the application and window classes.
#pragma once

#include <span>

#include "platform/win32.h"

class CCmdTarget;

namespace framework::detail {

// Calls one handler: turns wParam and lParam into the handler's arguments and the handler's
// result into the message's result.
using Thunk = LRESULT (*)(CCmdTarget& target, WPARAM wParam, LPARAM lParam);

enum class EntryKind : unsigned char { End, Message, RegisteredMessage, Command, Notify };

}  // namespace framework::detail

// One line of a message map. Built by the ON_… macros of framework/message_map.h.
struct CMessageEntry {
    framework::detail::EntryKind kind = framework::detail::EntryKind::End;
    UINT message = 0;                         // Message
    const UINT* registeredMessage = nullptr;  // RegisteredMessage: its id is known only at run time
    UINT code = 0;  // Command: notification code (0: menu, accelerator, click); Notify: NMHDR code
    UINT firstId = 0;  // Command, Notify: the range of command or control ids
    UINT lastId = 0;
    framework::detail::Thunk thunk = nullptr;
};

// A class's message map: its own entries, then its base class's map.
struct CMessageMap {
    const CMessageMap* (*baseMap)();  // null for the root
    std::span<const CMessageEntry> entries;
};

class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Runs the handler of command `nID` with notification code `nCode` (0 for menus, accelerators,
    // other programs and clicks). True when a handler ran.
    virtual BOOL OnCmdMsg(UINT nID, UINT nCode);

protected:
    static const CMessageMap* GetThisMessageMap();
    virtual const CMessageMap* GetMessageMap() const;

    // Look-ups through this object's map and its base classes' maps, most derived first.
    const CMessageEntry* FindMessageEntry(UINT message) const;
    const CMessageEntry* FindCommandEntry(UINT nID, UINT nCode) const;
    const CMessageEntry* FindNotifyEntry(UINT nID, UINT nCode) const;
};
