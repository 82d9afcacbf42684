// Message maps: static tables that route a window message, a command id or a control notification
// to one member function.
//
//   class CMyDlg : public CDialog {
//       …
//       DECLARE_MESSAGE_MAP()
//   };
//
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_TIMER()                                   // void OnTimer(UINT_PTR nIDEvent)
//       ON_COMMAND(32772, &CMyDlg::OnExit)              // void OnExit()
//       ON_NOTIFY(TCN_SELCHANGE, 1002, &CMyDlg::OnTab)  // void OnTab(NMHDR*, LRESULT*)
//       ON_MESSAGE(WM_APP + 1000, &CMyDlg::OnTray)      // LRESULT OnTray(WPARAM, LPARAM)
//   END_MESSAGE_MAP()
//
// The first matching entry wins; a message that the class's own table does not name is looked up
// in its base class's table. Handlers are checked against their message's signature at compile
// time; each entry carries a small function (a thunk) that calls its handler.
#pragma once

#include "framework/cmd_target.h"
#include "platform/win32.h"

namespace framework::detail {

template <typename T>
T& Target(CCmdTarget& target) {
    return static_cast<T&>(target);
}

constexpr CMessageEntry MessageEntry(UINT message, Thunk thunk) {
    CMessageEntry entry;
    entry.kind = EntryKind::Message;
    entry.message = message;
    entry.thunk = thunk;
    return entry;
}

constexpr CMessageEntry RangeEntry(EntryKind kind, UINT code, UINT firstId, UINT lastId,
                                   Thunk thunk) {
    CMessageEntry entry;
    entry.kind = kind;
    entry.code = code;
    entry.firstId = firstId;
    entry.lastId = lastId;
    entry.thunk = thunk;
    return entry;
}

// LRESULT Handler(WPARAM, LPARAM)
template <typename T, auto Handler>
constexpr Thunk MessageThunk() {
    return [](CCmdTarget& target, WPARAM wParam, LPARAM lParam) -> LRESULT {
        return (Target<T>(target).*Handler)(wParam, lParam);
    };
}

template <typename T, auto Handler>
constexpr CMessageEntry OnMessage(UINT message) {
    return MessageEntry(message, MessageThunk<T, Handler>());
}

template <typename T, auto Handler>
constexpr CMessageEntry OnRegisteredMessage(const UINT* message) {
    CMessageEntry entry = MessageEntry(0, MessageThunk<T, Handler>());
    entry.kind = EntryKind::RegisteredMessage;
    entry.registeredMessage = message;
    return entry;
}

// void Handler(); commands pass their id as wParam.
template <typename T, auto Handler>
constexpr CMessageEntry OnControl(UINT code, UINT id) {
    return RangeEntry(EntryKind::Command, code, id, id, [](CCmdTarget& target, WPARAM, LPARAM) {
        (Target<T>(target).*Handler)();
        return LRESULT{0};
    });
}

// void Handler(UINT nID)
template <typename T, auto Handler>
constexpr CMessageEntry OnControlRange(UINT code, UINT firstId, UINT lastId) {
    return RangeEntry(EntryKind::Command, code, firstId, lastId,
                      [](CCmdTarget& target, WPARAM wParam, LPARAM) {
                          (Target<T>(target).*Handler)(static_cast<UINT>(wParam));
                          return LRESULT{0};
                      });
}

// void Handler(NMHDR* pNMHDR, LRESULT* pResult); the result starts at 0.
template <typename T, auto Handler>
constexpr CMessageEntry OnNotify(UINT code, UINT id) {
    return RangeEntry(EntryKind::Notify, code, id, id,
                      [](CCmdTarget& target, WPARAM, LPARAM lParam) {
                          LRESULT result = 0;
                          (Target<T>(target).*Handler)(reinterpret_cast<NMHDR*>(lParam), &result);
                          return result;
                      });
}

// void Handler(UINT nID, NMHDR* pNMHDR, LRESULT* pResult)
template <typename T, auto Handler>
constexpr CMessageEntry OnNotifyRange(UINT code, UINT firstId, UINT lastId) {
    return RangeEntry(
        EntryKind::Notify, code, firstId, lastId, [](CCmdTarget& target, WPARAM, LPARAM lParam) {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            LRESULT result = 0;
            (Target<T>(target).*Handler)(static_cast<UINT>(header->idFrom), header, &result);
            return result;
        });
}

// The standard window messages, each with the handler signature it has in CWnd.

template <typename T, auto Handler>
constexpr CMessageEntry OnWmTimer() {
    return MessageEntry(WM_TIMER, [](CCmdTarget& target, WPARAM wParam, LPARAM) {
        (Target<T>(target).*Handler)(static_cast<UINT_PTR>(wParam));
        return LRESULT{0};
    });
}

template <typename T, auto Handler>
constexpr CMessageEntry OnWmNoArguments(UINT message) {
    return MessageEntry(message, [](CCmdTarget& target, WPARAM, LPARAM) {
        (Target<T>(target).*Handler)();
        return LRESULT{0};
    });
}

template <typename T, auto Handler>
constexpr CMessageEntry OnWmQueryDragIcon() {
    return MessageEntry(WM_QUERYDRAGICON, [](CCmdTarget& target, WPARAM, LPARAM) {
        HICON icon = (Target<T>(target).*Handler)();
        return reinterpret_cast<LRESULT>(icon);
    });
}

template <typename T, auto Handler>
constexpr CMessageEntry OnWmWindowPosChanging() {
    return MessageEntry(WM_WINDOWPOSCHANGING, [](CCmdTarget& target, WPARAM, LPARAM lParam) {
        (Target<T>(target).*Handler)(reinterpret_cast<WINDOWPOS*>(lParam));
        return LRESULT{0};
    });
}

template <typename T, auto Handler>
constexpr CMessageEntry OnWmShowWindow() {
    return MessageEntry(WM_SHOWWINDOW, [](CCmdTarget& target, WPARAM wParam, LPARAM lParam) {
        (Target<T>(target).*Handler)(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
        return LRESULT{0};
    });
}

template <typename T, auto Handler>
constexpr CMessageEntry OnWmSysCommand() {
    return MessageEntry(WM_SYSCOMMAND, [](CCmdTarget& target, WPARAM wParam, LPARAM lParam) {
        (Target<T>(target).*Handler)(static_cast<UINT>(wParam), lParam);
        return LRESULT{0};
    });
}

template <typename T, auto Handler>
constexpr CMessageEntry OnWmDrawItem() {
    return MessageEntry(WM_DRAWITEM, [](CCmdTarget& target, WPARAM wParam, LPARAM lParam) {
        (Target<T>(target).*Handler)(static_cast<int>(wParam),
                                     reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return LRESULT{0};
    });
}

}  // namespace framework::detail

// In the class body: declares the class's map. Leaves the access at `protected`.
#define DECLARE_MESSAGE_MAP()                      \
protected:                                         \
    static const CMessageMap* GetThisMessageMap(); \
    const CMessageMap* GetMessageMap() const override;

// clang-format off
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                            \
    const CMessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }   \
    const CMessageMap* theClass::GetThisMessageMap() {                                   \
        using ThisClass [[maybe_unused]] = theClass;                                      \
        using TheBaseClass = baseClass;                                                   \
        static constexpr CMessageEntry kEntries[] = {

#define END_MESSAGE_MAP()                                                                 \
            CMessageEntry{}  /* the end; keeps the table from being empty */             \
        };                                                                                \
        static constexpr CMessageMap kMap{&TheBaseClass::GetThisMessageMap, kEntries};   \
        return &kMap;                                                                     \
    }
// clang-format on

// LRESULT Handler(WPARAM, LPARAM), for any message, private ones included.
#define ON_MESSAGE(message, memberFxn) \
    ::framework::detail::OnMessage<ThisClass, memberFxn>(message),

// LRESULT Handler(WPARAM, LPARAM), for a message whose id is known only at run time: the entry
// reads the UINT variable `messageVariable` (set from RegisterWindowMessageA) at each look-up.
#define ON_REGISTERED_MESSAGE(messageVariable, memberFxn) \
    ::framework::detail::OnRegisteredMessage<ThisClass, memberFxn>(&(messageVariable)),

// void Handler(): WM_COMMAND with this id from a menu, an accelerator, a sender that passes no
// control handle, or a click (notification code 0) of the control with this id.
#define ON_COMMAND(id, memberFxn) ::framework::detail::OnControl<ThisClass, memberFxn>(0, id),

// void Handler(UINT nID): as ON_COMMAND, for the ids firstId to lastId.
#define ON_COMMAND_RANGE(firstId, lastId, memberFxn) \
    ::framework::detail::OnControlRange<ThisClass, memberFxn>(0, firstId, lastId),

// void Handler(): WM_COMMAND with notification code `code` from the control with this id.
#define ON_CONTROL(code, id, memberFxn) \
    ::framework::detail::OnControl<ThisClass, memberFxn>(code, id),

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

// void Handler(NMHDR*, LRESULT*): WM_NOTIFY with notification code `code` from control `id`.
#define ON_NOTIFY(code, id, memberFxn) \
    ::framework::detail::OnNotify<ThisClass, memberFxn>(code, id),

// void Handler(UINT nID, NMHDR*, LRESULT*): as ON_NOTIFY, for the controls firstId to lastId.
#define ON_NOTIFY_RANGE(code, firstId, lastId, memberFxn) \
    ::framework::detail::OnNotifyRange<ThisClass, memberFxn>(code, firstId, lastId),

// The standard messages bind the handler of the usual name; CWnd has a default for each.
#define ON_WM_TIMER() ::framework::detail::OnWmTimer<ThisClass, &ThisClass::OnTimer>(),
#define ON_WM_PAINT() \
    ::framework::detail::OnWmNoArguments<ThisClass, &ThisClass::OnPaint>(WM_PAINT),
#define ON_WM_CLOSE() \
    ::framework::detail::OnWmNoArguments<ThisClass, &ThisClass::OnClose>(WM_CLOSE),
#define ON_WM_QUERYDRAGICON() \
    ::framework::detail::OnWmQueryDragIcon<ThisClass, &ThisClass::OnQueryDragIcon>(),
#define ON_WM_WINDOWPOSCHANGING() \
    ::framework::detail::OnWmWindowPosChanging<ThisClass, &ThisClass::OnWindowPosChanging>(),
#define ON_WM_SHOWWINDOW() \
    ::framework::detail::OnWmShowWindow<ThisClass, &ThisClass::OnShowWindow>(),
#define ON_WM_SYSCOMMAND() \
    ::framework::detail::OnWmSysCommand<ThisClass, &ThisClass::OnSysCommand>(),
#define ON_WM_DRAWITEM() ::framework::detail::OnWmDrawItem<ThisClass, &ThisClass::OnDrawItem>(),
