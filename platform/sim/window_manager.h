// The simulated window manager: windows with their classes, titles and states, per-thread
// message queues, sent and posted messages, timers on the virtual clock, focus and foreground.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/api/win32_user.h"
#include "platform/sim/kernel.h"
#include "platform/sim/message_copies.h"

namespace sim {

class Machine;

// A built-in window class's behaviour; returns nullopt to leave the message to the default.
using ClassProcedure = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

// A trackbar's state (msctls_trackbar32), with Windows' defaults.
struct TrackbarState {
    int min = 0;
    int max = 100;
    int pos = 0;
    int line_size = 1;
    int page_size = 20;  // a fifth of the range, at least 1
    bool dragging = false;
    // Where the desktop's mouse points along the scale during a drag. The simulated mouse moves
    // by positions rather than pixels, so that every position can be reached.
    std::optional<int> drag_to;
};

// A tab control's state (SysTabControl32).
struct TabState {
    std::vector<std::u16string> items;
    int selected = -1;
};

struct MessageCounts {
    int dispatched = 0;
    int defaulted = 0;
};

struct Window {
    HWND handle = nullptr;
    ThreadId thread = 0;  // 0: a window of another program, driven by the test or console
    ProcessId process = 0;
    std::u16string class_name;
    std::u16string title;
    DWORD style = 0;
    DWORD ex_style = 0;
    HWND parent = nullptr;  // for child windows
    HWND owner = nullptr;   // for top-level windows
    int id = 0;             // control id
    RECT rect{};
    // The display scale the window is drawn at: its monitor's for a top-level window (programs
    // here are per-monitor aware), its top-level window's for a child. A dialog's controls were
    // laid out for `layout_dpi`.
    UINT dpi = USER_DEFAULT_SCREEN_DPI;
    UINT layout_dpi = USER_DEFAULT_SCREEN_DPI;
    bool dpi_changing = false;  // inside its WM_DPICHANGED
    WNDPROC proc = nullptr;
    DLGPROC dialog_proc = nullptr;
    LONG_PTR user_data = 0;
    LONG_PTR dialog_result = 0;  // DWLP_MSGRESULT
    LONG_PTR dialog_user = 0;    // DWLP_USER
    // SetPropA's properties, by name in upper case (names are atoms, alike in any case).
    std::map<std::string, HANDLE, std::less<>> properties;
    HMENU system_menu = nullptr;
    bool needs_paint = false;
    bool needs_erase = false;
    bool destroyed = false;
    std::uint64_t shown = 0;  // stamp of the last time it became visible; later shows stamp higher
    // Control state.
    int check = BST_UNCHECKED;
    bool pushed = false;      // BST_PUSHED
    bool mouse_down = false;  // the mouse went down on the control and has not let go yet
    HANDLE image = nullptr;   // a button's BM_SETIMAGE image; the program keeps owning it
    TrackbarState trackbar;
    TabState tab;
    // A hotkey control's key (low byte the key, high byte HOTKEYF_ flags) and the modifiers
    // held down on it meanwhile.
    WORD hotkey = 0;
    BYTE hotkey_held = 0;
    // SetLayeredWindowAttributes' last values, once called.
    struct Layered {
        DWORD key = 0;
        BYTE alpha = 255;
        DWORD flags = 0;
    };
    std::optional<Layered> layered;
    // Last shown without being activated (SW_SHOWNA, SWP_NOACTIVATE, WS_EX_NOACTIVATE): it is
    // not the window the user works in.
    bool shown_inactive = false;
    // Messages let through from programs with lower rights (ChangeWindowMessageFilterEx).
    std::set<UINT> allowed_from_lower_rights;
    // By message: how often DispatchMessage handed one from the queue to the window, and how
    // often a dialog's procedure left one to the dialog manager's default processing.
    std::map<UINT, MessageCounts> counts;

    bool Visible() const { return (style & WS_VISIBLE) != 0; }
    bool Enabled() const { return (style & WS_DISABLED) == 0; }
    bool TopLevel() const { return (style & WS_CHILD) == 0; }
};

class WindowManager {
public:
    explicit WindowManager(Machine& machine);
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // Creating and finding windows.
    HWND Create(std::u16string class_name, std::u16string title, DWORD style, DWORD ex_style,
                HWND parent_or_owner, int id, RECT rect, WNDPROC proc);
    Window* Find(HWND hwnd);
    const Window* Find(HWND hwnd) const;
    std::vector<HWND> TopLevelWindows() const;  // in creation order
    std::vector<HWND> Children(HWND parent) const;
    // The children from the top of the z-order down: creation order until SetWindowPos moves one.
    std::vector<HWND> ChildrenInZOrder(HWND parent) const;
    HWND FindTopLevel(std::u16string_view class_name, std::u16string_view title) const;
    bool IsDescendant(HWND ancestor, HWND hwnd) const;
    // Visible together with every parent, as IsWindowVisible: what can be on the screen.
    bool ShownOnScreen(HWND hwnd) const;
    // Enabled together with every parent and its top-level window: what a person can operate.
    bool EnabledWithParents(HWND hwnd) const;
    // The visible top-level window shown most recently, of any program; null when none is.
    HWND LastShownTopLevel() const;
    bool Destroy(HWND hwnd);
    // Windows of a process that has ended go without further messages.
    void DestroyProcessWindows(ProcessId process);
    void RegisterClassProcedure(std::u16string class_name, ClassProcedure procedure);
    // Whether a system class (a control's, the dialog's) goes by that name.
    bool IsSystemClass(std::u16string_view class_name) const;
    // RegisterClass and UnregisterClass for a process: ERROR_SUCCESS or Windows' error.
    DWORD RegisterProgramClass(ProcessId process, std::u16string class_name, WNDPROC procedure,
                               ATOM* atom);
    DWORD UnregisterProgramClass(ProcessId process, std::u16string_view class_name);
    // The procedure of the process's class of that name (by name or by the atom's name); null
    // when it has none.
    WNDPROC ProgramClassProcedure(ProcessId process, std::u16string_view class_name) const;
    // The name of a class atom the machine gave out; empty for none.
    std::u16string ClassAtomName(ATOM atom) const;

    // Messages.
    LRESULT Send(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    // A message from another program whose answer the machine delivers once the target has
    // handled it; nullopt when the target had not answered by the time the machine settled.
    std::optional<LRESULT> SendFromOutside(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    // Another program's SendMessage as Windows carries it: the data of a message of the copied
    // family comes from `data` into a copy the receiver sees (and the sender gets back); the send
    // fails when the sender's pointer cannot be read. Other messages pass with their raw values.
    OutsideMessageResult SendFromOtherProgram(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                              const std::optional<MessageData>& data);
    // The same message sent by the system while a program thread is inside a call of its own:
    // queued for the window's thread, which handles it only when it next looks for messages, as
    // Windows hands a message from another thread over; nobody here waits for the answer.
    bool QueueFromOtherProgram(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                               const std::optional<MessageData>& data);
    // Another program's PostMessage: messages of the copied family fail (ERROR_MESSAGE_SYNC_ONLY).
    OutsideMessageResult PostFromOtherProgram(HWND hwnd, UINT message, WPARAM wparam,
                                              LPARAM lparam);
    // Delivered like a sent message, but nobody waits for the answer (SendNotifyMessage).
    bool SendNotify(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    bool Post(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    // A message without a window, posted to a program thread's queue (PostThreadMessage).
    void PostToThread(ThreadId thread, UINT message, WPARAM wparam, LPARAM lparam);
    void PostQuit(int exit_code);
    BOOL Get(MSG* msg, HWND filter, UINT min, UINT max);
    BOOL Peek(MSG* msg, HWND filter, UINT min, UINT max, UINT remove);
    LRESULT Dispatch(const MSG* msg);
    // Runs the window's procedure on the calling thread.
    LRESULT CallProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT DefaultProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    UINT RegisterMessage(std::u16string_view name);

    // InSendMessageEx, as Windows answers it for the whole thread: ISMEX_SEND or ISMEX_NOTIFY
    // (with ISMEX_REPLIED once replied to) while the thread handles a message sent from another
    // thread, also in what that handler sends itself or dispatches from a nested loop;
    // ISMEX_NOSEND otherwise.
    DWORD CurrentDelivery() const;
    // ReplyMessage: the sender of the message sent from another thread that the calling thread
    // is handling gets `result` now and goes on; false when there is none or it has its answer.
    bool Reply(LRESULT result);

    // WH_GETMESSAGE hooks of the calling thread, newest first: each sees every message that
    // Get or Peek takes from the queue, in any loop, and may change it.
    HHOOK AddMessageHook(HOOKPROC procedure);
    bool RemoveMessageHook(HHOOK hook);
    // The hook after the one running on the calling thread, called with the same arguments; 0
    // at the chain's end. The handle is not needed, as on Windows.
    LRESULT CallNextMessageHook(HHOOK hook, int code, WPARAM wparam, LPARAM lparam);

    // Blocks the calling program thread until a message arrives for it or `also` holds,
    // handling sent messages meanwhile. Returns false when `also` ended the wait.
    bool WaitForMessage(const std::function<bool()>& also);
    // Handles the sent messages waiting for the calling thread.
    void HandleSentMessages();

    // State changes.
    bool Show(HWND hwnd, int command);
    bool SetPosition(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags);
    bool Enable(HWND hwnd, bool enable);
    void SetText(HWND hwnd, std::u16string text);

    // Painting. How far an invalidation reaches below the window: not at all, into the children
    // of every window without WS_CLIPCHILDREN (Windows' rule when the caller names none), or
    // into every visible descendant.
    enum class Reach { kWindowOnly, kUnclipped, kAllChildren };
    void Invalidate(HWND hwnd, bool erase, Reach reach);
    void Validate(HWND hwnd, Reach reach);
    // Sends WM_PAINT at once to the window and to the descendants within `reach`, wherever
    // painting is due and the window is on the screen.
    void UpdateNow(HWND hwnd, Reach reach);

    // Timers. Whether `procedure` is a timer procedure that `process` set and still has.
    bool IsTimerProcedureOf(ProcessId process, LPARAM procedure) const;
    UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC procedure);
    bool KillTimer(HWND hwnd, UINT_PTR id);

    POINT cursor() const { return cursor_; }
    void SetCursor(POINT position) { cursor_ = position; }
    HWND foreground() const { return foreground_; }
    void SetForeground(HWND hwnd) { foreground_ = hwnd; }
    HWND Focus(ThreadId thread) const;
    void SetFocus(HWND hwnd);
    // The mouse capture of a window's thread: the window that takes the mouse until it lets go.
    // The window losing it hears WM_CAPTURECHANGED with the new holder (or null) in lParam.
    HWND Capture(ThreadId thread) const;
    void SetCapture(HWND hwnd);
    // Lets the capture go, when `hwnd` holds it.
    void ReleaseCapture(HWND hwnd);

    // The monitors changed: every program's top-level window whose monitor now has another
    // scale hears WM_DPICHANGED, as after a move onto a monitor of another scale.
    void DisplayChanged();

private:
    struct SentMessage {
        MSG msg{};
        DWORD delivery = ISMEX_SEND;      // ISMEX_NOTIFY when nobody waits for the answer
        std::optional<MessageCopy> copy;  // the receiver's copy of another program's data
        // Work the target thread does itself, for a change asked from another thread.
        std::function<LRESULT()> action;
        bool replied = false;
        LRESULT result = 0;
    };
    struct MessageHook {
        HHOOK handle;
        HOOKPROC procedure;
    };
    struct Queue {
        std::deque<MSG> posted;
        std::deque<std::shared_ptr<SentMessage>> sent;
        bool quit = false;
        int quit_code = 0;
        HWND focus = nullptr;
        HWND capture = nullptr;
        // The messages from other threads that the thread is handling, innermost last.
        std::vector<std::shared_ptr<SentMessage>> receiving;
        std::vector<MessageHook> hooks;  // newest first
        HHOOK running_hook = nullptr;
    };
    struct Timer {
        HWND hwnd;
        UINT_PTR id;
        ThreadId thread;
        Millis period;
        Millis due;
        TIMERPROC procedure;
    };

    Queue& QueueOf(ThreadId thread) { return queues_[thread]; }
    bool Matches(const MSG& msg, HWND filter, UINT min, UINT max) const;
    // The next message for the calling thread, without blocking: posted, quit, paint, timer.
    bool NextMessage(MSG* msg, HWND filter, UINT min, UINT max, bool remove);
    bool HasInputFor(ThreadId thread) const;
    std::optional<Millis> NextTimerDue(ThreadId thread) const;
    LRESULT SendAcrossThreads(Window& target, UINT message, WPARAM wparam, LPARAM lparam);
    // Runs `action` on the window's own thread: at once when that is the caller, otherwise as a
    // sent message, waiting for it unless the caller is the driver.
    void RunOnWindowThread(const Window& window, std::function<LRESULT()> action);
    // On the window's thread: takes its monitor's scale and tells it with WM_DPICHANGED, whose
    // suggested rectangle keeps the top-left corner and scales the size.
    void FollowMonitorDpi(HWND top_level);
    void SetDpiWithChildren(HWND hwnd, UINT dpi);
    std::shared_ptr<SentMessage> Enqueue(ThreadId thread, std::shared_ptr<SentMessage> sent);
    void ChangeVisibility(Window& window, bool show, UINT extra_flags);
    // Runs the procedure for a message of the thread's own.
    LRESULT Deliver(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    // Runs the procedure for a message sent from another thread, which InSendMessageEx reports
    // meanwhile; its answer, unless the handler replied early.
    void DeliverSent(const std::shared_ptr<SentMessage>& sent);
    // Hands a message taken from the queue to the thread's WH_GETMESSAGE hooks.
    void RunMessageHooks(MSG* msg, bool removed);

    // Puts a child right below `insert_after` (HWND_TOP, HWND_BOTTOM or a sibling).
    void MoveInZOrder(HWND child, HWND insert_after);

    Machine& machine_;
    std::map<ULONG_PTR, std::unique_ptr<Window>> windows_;
    // The children's z-order by parent, for a parent one of whose children has moved in it.
    std::map<HWND, std::vector<HWND>> z_order_;
    // Destroyed windows stay allocated a while: a procedure running for one may still refer to
    // it. The oldest go once more than kKeptDestroyed wait.
    static constexpr std::size_t kKeptDestroyed = 256;
    void KeepDestroyed(std::unique_ptr<Window> window);
    std::deque<std::unique_ptr<Window>> destroyed_;
    std::vector<HWND> order_;
    std::map<ThreadId, Queue> queues_;
    std::vector<Timer> timers_;
    std::map<std::u16string, UINT> registered_messages_;
    std::map<std::u16string, ClassProcedure> class_procedures_;
    struct ProgramClass {
        ProcessId process;
        std::u16string name;  // folded
        WNDPROC procedure;
        ATOM atom;
    };
    std::vector<ProgramClass> program_classes_;
    ATOM next_class_atom_ = 0xC100;
    UINT next_registered_message_ = 0xC0F0;
    ULONG_PTR next_handle_ = 0x10010;
    ULONG_PTR next_hook_ = 0x20004;
    std::uint64_t next_show_ = 1;
    HWND foreground_ = nullptr;
    POINT cursor_{640, 400};
};

// Case-insensitive comparison of class names and titles, as FindWindow makes it.
bool SameTextIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace sim
