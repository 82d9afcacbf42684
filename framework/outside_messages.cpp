#include "framework/outside_messages.h"

#include <utility>

#include "framework/message_origin.h"
#include "framework/wnd.h"

namespace framework {

namespace {

enum Way : unsigned { kSent = 1, kPosted = 2, kSentOrPosted = kSent | kPosted };

struct Accepted {
    UINT first;
    UINT last;
    unsigned ways;
};

// The messages below WM_USER that a window of ours acts on from another thread, and how they may
// come. Numbers, not names: not every build's headers declare them all.
constexpr Accepted kAccepted[] = {
    // Hung-window checks.
    {0x0000, 0x0000, kSentOrPosted},  // WM_NULL
    // What the window manager sends while it carries out another program's move, show, enable or
    // activation of the window (Windows and Wine send these from the asking thread's side).
    {0x0003, 0x0003, kSent},  // WM_MOVE
    {0x0005, 0x0008, kSent},  // WM_SIZE, WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS
    {0x000A, 0x000A, kSent},  // WM_ENABLE
    {0x0013, 0x0013, kSent},  // WM_QUERYOPEN
    {0x0018, 0x0018, kSent},  // WM_SHOWWINDOW
    {0x001C, 0x001C, kSent},  // WM_ACTIVATEAPP
    {0x001F, 0x001F, kSent},  // WM_CANCELMODE
    {0x0022, 0x0022, kSent},  // WM_CHILDACTIVATE
    {0x0083, 0x0086, kSent},  // WM_NCCALCSIZE, WM_NCHITTEST, WM_NCPAINT, WM_NCACTIVATE
    {0x0088, 0x0088, kSent},  // WM_SYNCPAINT
    // The copied family: the system hands the window its own copy of the data.
    {0x000C, 0x000E, kSent},  // WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH
    {0x0024, 0x0024, kSent},  // WM_GETMINMAXINFO
    {0x0046, 0x0047, kSent},  // WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED
    {0x004A, 0x004A, kSent},  // WM_COPYDATA
    {0x0053, 0x0053, kSent},  // WM_HELP
    {0x007C, 0x007D, kSent},  // WM_STYLECHANGING, WM_STYLECHANGED
    {0x0087, 0x0087, kSent},  // WM_GETDLGCODE
    // The taskbar, Task Manager, screen readers and the session.
    {0x0010, 0x0010, kSentOrPosted},  // WM_CLOSE
    {0x0011, 0x0011, kSent},          // WM_QUERYENDSESSION
    {0x0016, 0x0016, kSent},          // WM_ENDSESSION
    {0x003D, 0x003D, kSent},          // WM_GETOBJECT
    {0x007F, 0x007F, kSent},          // WM_GETICON
    // The system's broadcasts.
    {0x0015, 0x0015, kSent},  // WM_SYSCOLORCHANGE
    {0x001A, 0x001B, kSent},  // WM_SETTINGCHANGE, WM_DEVMODECHANGE
    {0x001D, 0x001E, kSent},  // WM_FONTCHANGE, WM_TIMECHANGE
    {0x0041, 0x0041, kSent},  // WM_COMPACTING
    {0x0054, 0x0054, kSent},  // WM_USERCHANGED
    {0x007E, 0x007E, kSent},  // WM_DISPLAYCHANGE
    {0x0218, 0x0219, kSent},  // WM_POWERBROADCAST, WM_DEVICECHANGE
    {0x031A, 0x031A, kSent},  // WM_THEMECHANGED
    {0x031E, 0x0321, kSent},  // the desktop window manager's notifications
    // Window commands.
    {0x0111, 0x0111, kSentOrPosted},  // WM_COMMAND
    {0x0112, 0x0112, kSentOrPosted},  // WM_SYSCOMMAND, as far as AcceptsSystemCommand goes
    // What the system posts: input, timers, painting, hot keys, a dialog's focus move.
    {0x000F, 0x000F, kPosted},  // WM_PAINT
    {0x0028, 0x0028, kPosted},  // WM_NEXTDLGCTL
    {0x0050, 0x0050, kPosted},  // WM_INPUTLANGCHANGEREQUEST
    {0x00A0, 0x00AD, kPosted},  // the non-client mouse
    {0x00FF, 0x0109, kPosted},  // WM_INPUT and the keyboard
    {0x010D, 0x010F, kPosted},  // an input method's composition
    {0x0113, 0x0113, kPosted},  // WM_TIMER (a procedure in lParam is checked by DispatchMessage)
    {0x0118, 0x0118, kPosted},  // the system's own timer (the caret)
    {0x0200, 0x020E, kPosted},  // the mouse
    {0x02A0, 0x02A3, kPosted},  // mouse hover and leave
    {0x0312, 0x0312, kPosted},  // WM_HOTKEY
};

constexpr UINT kSysCommand = 0x0112;
constexpr UINT kAboutCommands = 0x0010;  // 16 to 31: the host's About rule

// Close from any window's menu or the taskbar; minimise and restore where there is something to
// see. The rest (move, size, the keyboard's menu, the screen saver …) would run the system's own
// loops for another program.
bool AcceptsSystemCommand(HWND window, WPARAM wParam) {
    switch (wParam & 0xFFF0) {
        case kAboutCommands:
        case SC_CLOSE:
            return true;
        case SC_MINIMIZE:
        case SC_RESTORE:
            return ::IsWindowVisible(window) != FALSE;
        default:
            return false;
    }
}

bool Accepts(HWND window, UINT message, WPARAM wParam, Way way) {
    if (message >= WM_USER) {
        return true;
    }
    for (const Accepted& accepted : kAccepted) {
        if (message >= accepted.first && message <= accepted.last && (accepted.ways & way) != 0) {
            return message != kSysCommand || AcceptsSystemCommand(window, wParam);
        }
    }
    return false;
}

int& AcceptedDepth() {
    thread_local int depth = 0;
    return depth;
}

}  // namespace

bool AcceptsSentFromOutside(HWND window, UINT message, WPARAM wParam) {
    return Accepts(window, message, wParam, kSent);
}

bool MayDispatch(const MSG& msg) {
    if (IsNeverPosted(msg.message)) {
        return false;
    }
    if (msg.hwnd == nullptr) {
        return true;  // the thread's own: its quit, or what it posted itself
    }
    if (msg.message == WM_QUIT) {
        return false;
    }
    return CWnd::FromHandlePermanent(msg.hwnd) == nullptr ||
           Accepts(msg.hwnd, msg.message, msg.wParam, kPosted);
}

AcceptedOutsideMessage::AcceptedOutsideMessage() {
    ++AcceptedDepth();
}

AcceptedOutsideMessage::~AcceptedOutsideMessage() {
    --AcceptedDepth();
}

bool AcceptedOutsideMessage::NoneUnderWay() {
    return AcceptedDepth() == 0;
}

NestedLoop::NestedLoop() : m_outerDepth(std::exchange(AcceptedDepth(), 0)) {
    AnswerWaitingSender();
}

NestedLoop::~NestedLoop() {
    AcceptedDepth() = m_outerDepth;
}

}  // namespace framework
