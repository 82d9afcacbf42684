#include "platform/sim/window_manager.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/sim/codepage.h"
#include "platform/sim/machine.h"

namespace sim {

namespace {

constexpr std::string_view kWindowKind = "window";
constexpr Millis kMinimumTimerPeriod = 10;

char16_t Folded(char16_t c) {
    if (c >= u'a' && c <= u'z') {
        return static_cast<char16_t>(c - u'a' + u'A');
    }
    return c;
}

bool ReachesChildren(const Window& window, WindowManager::Reach reach) {
    return reach == WindowManager::Reach::kAllChildren ||
           (reach == WindowManager::Reach::kUnclipped && !(window.style & WS_CLIPCHILDREN));
}

}  // namespace

bool SameTextIgnoringCase(std::u16string_view a, std::u16string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char16_t x, char16_t y) { return Folded(x) == Folded(y); });
}

WindowManager::WindowManager(Machine& machine) : machine_(machine) {}
WindowManager::~WindowManager() = default;

HWND WindowManager::Create(std::u16string class_name, std::u16string title, DWORD style,
                           DWORD ex_style, HWND parent_or_owner, int id, RECT rect, WNDPROC proc) {
    auto window = std::make_unique<Window>();
    window->handle = reinterpret_cast<HWND>(next_handle_);
    next_handle_ += 2;
    window->thread = Kernel::CurrentThread();
    window->process = machine_.kernel().ProcessOf(window->thread);
    window->class_name = std::move(class_name);
    window->title = std::move(title);
    window->style = style;
    window->ex_style = ex_style;
    if (style & WS_CHILD) {
        window->parent = parent_or_owner;
    } else if (parent_or_owner) {
        // The owner of a top-level window is itself top-level.
        HWND owner = parent_or_owner;
        while (const Window* w = Find(owner)) {
            if (w->TopLevel()) {
                break;
            }
            owner = w->parent;
        }
        window->owner = owner;
    }
    window->id = id;
    window->rect = rect;
    if (const Window* parent = (style & WS_CHILD) ? Find(parent_or_owner) : nullptr) {
        window->dpi = parent->dpi;
    } else {
        window->dpi = machine_.display().Nearest(rect).dpi;
    }
    window->layout_dpi = window->dpi;
    if (style & WS_VISIBLE) {
        window->shown = next_show_++;
    }
    window->proc = proc;
    const HWND handle = window->handle;
    if (window->thread != 0) {
        machine_.resources().Acquired(kWindowKind);
    }
    windows_[reinterpret_cast<ULONG_PTR>(handle)] = std::move(window);
    order_.push_back(handle);
    return handle;
}

Window* WindowManager::Find(HWND hwnd) {
    auto it = windows_.find(reinterpret_cast<ULONG_PTR>(hwnd));
    return it == windows_.end() ? nullptr : it->second.get();
}

const Window* WindowManager::Find(HWND hwnd) const {
    return const_cast<WindowManager*>(this)->Find(hwnd);
}

std::vector<HWND> WindowManager::TopLevelWindows() const {
    std::vector<HWND> result;
    for (HWND hwnd : order_) {
        if (Find(hwnd)->TopLevel()) {
            result.push_back(hwnd);
        }
    }
    return result;
}

std::vector<HWND> WindowManager::Children(HWND parent) const {
    std::vector<HWND> result;
    for (HWND hwnd : order_) {
        const Window* window = Find(hwnd);
        if (!window->TopLevel() && window->parent == parent) {
            result.push_back(hwnd);
        }
    }
    return result;
}

HWND WindowManager::FindTopLevel(std::u16string_view class_name, std::u16string_view title) const {
    for (HWND hwnd : TopLevelWindows()) {
        const Window* window = Find(hwnd);
        if (SameTextIgnoringCase(window->class_name, class_name) &&
            SameTextIgnoringCase(window->title, title)) {
            return hwnd;
        }
    }
    return nullptr;
}

bool WindowManager::IsDescendant(HWND ancestor, HWND hwnd) const {
    for (const Window* window = Find(hwnd); window && !window->TopLevel();
         window = Find(window->parent)) {
        if (window->parent == ancestor) {
            return true;
        }
    }
    return false;
}

bool WindowManager::ShownOnScreen(HWND hwnd) const {
    for (const Window* window = Find(hwnd); window; window = Find(window->parent)) {
        if (!window->Visible()) {
            return false;
        }
        if (window->TopLevel()) {
            return true;
        }
    }
    return false;
}

bool WindowManager::EnabledWithParents(HWND hwnd) const {
    for (const Window* window = Find(hwnd); window; window = Find(window->parent)) {
        if (!window->Enabled()) {
            return false;
        }
        if (window->TopLevel()) {
            return true;
        }
    }
    return false;
}

HWND WindowManager::LastShownTopLevel() const {
    const Window* latest = nullptr;
    for (HWND hwnd : TopLevelWindows()) {
        const Window* window = Find(hwnd);
        if (window->Visible() && !window->shown_inactive &&
            (!latest || window->shown > latest->shown)) {
            latest = window;
        }
    }
    return latest ? latest->handle : nullptr;
}

void WindowManager::RegisterClassProcedure(std::u16string class_name, ClassProcedure procedure) {
    std::u16string key;
    for (char16_t c : class_name) {
        key.push_back(Folded(c));
    }
    class_procedures_[key] = std::move(procedure);
}

namespace {

std::u16string FoldedName(std::u16string_view name) {
    std::u16string key;
    for (char16_t c : name) {
        key.push_back(Folded(c));
    }
    return key;
}

}  // namespace

bool WindowManager::IsSystemClass(std::u16string_view class_name) const {
    return class_procedures_.count(FoldedName(class_name)) != 0 ||
           SameTextIgnoringCase(class_name, u"Static");
}

DWORD WindowManager::RegisterProgramClass(ProcessId process, std::u16string class_name,
                                          WNDPROC procedure, ATOM* atom) {
    const std::u16string name = FoldedName(class_name);
    for (const ProgramClass& known : program_classes_) {
        if (known.process == process && known.name == name) {
            return ERROR_CLASS_ALREADY_EXISTS;
        }
    }
    program_classes_.push_back(ProgramClass{process, name, procedure, next_class_atom_++});
    *atom = program_classes_.back().atom;
    return ERROR_SUCCESS;
}

DWORD WindowManager::UnregisterProgramClass(ProcessId process, std::u16string_view class_name) {
    const std::u16string name = FoldedName(class_name);
    const auto found = std::find_if(
        program_classes_.begin(), program_classes_.end(),
        [&](const ProgramClass& known) { return known.process == process && known.name == name; });
    if (found == program_classes_.end()) {
        return ERROR_CLASS_DOES_NOT_EXIST;
    }
    for (const auto& [handle, window] : windows_) {
        if (window->process == process && FoldedName(window->class_name) == name) {
            return ERROR_CLASS_HAS_WINDOWS;
        }
    }
    program_classes_.erase(found);
    return ERROR_SUCCESS;
}

WNDPROC WindowManager::ProgramClassProcedure(ProcessId process,
                                             std::u16string_view class_name) const {
    const std::u16string name = FoldedName(class_name);
    for (const ProgramClass& known : program_classes_) {
        if (known.process == process && known.name == name) {
            return known.procedure;
        }
    }
    return nullptr;
}

std::u16string WindowManager::ClassAtomName(ATOM atom) const {
    for (const ProgramClass& known : program_classes_) {
        if (known.atom == atom) {
            return known.name;
        }
    }
    return {};
}

bool WindowManager::Destroy(HWND hwnd) {
    Window* window = Find(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    // A visible window is hidden first, as ShowWindow hides a child and SetWindowPos a
    // top-level window: its procedure sees the position change before WM_DESTROY.
    if (window->Visible()) {
        if (window->TopLevel()) {
            SetPosition(hwnd, nullptr, 0, 0, 0, 0,
                        SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
        } else {
            Show(hwnd, SW_HIDE);
        }
        if (!Find(hwnd)) {
            return true;
        }
    }
    // Owned windows go first, then the window itself, then its children.
    for (HWND other : TopLevelWindows()) {
        if (const Window* w = Find(other); w && w->owner == hwnd) {
            Destroy(other);
        }
    }
    if (!Find(hwnd)) {
        return true;
    }
    Send(hwnd, WM_DESTROY, 0, 0);
    for (HWND child : Children(hwnd)) {
        Destroy(child);
    }
    window = Find(hwnd);
    if (!window) {
        return true;
    }
    Send(hwnd, WM_NCDESTROY, 0, 0);
    window = Find(hwnd);
    if (!window) {
        return true;
    }
    window->destroyed = true;
    if (Queue& queue = QueueOf(window->thread); queue.capture == hwnd) {
        queue.capture = nullptr;
    }
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [hwnd](const Timer& t) { return t.hwnd == hwnd; }),
                  timers_.end());
    machine_.menus().OnWindowDestroyed(hwnd, window->system_menu);
    machine_.hotkeys().WindowDestroyed(hwnd);
    if (foreground_ == hwnd) {
        foreground_ = nullptr;
    }
    for (auto& [thread, queue] : queues_) {
        if (queue.focus == hwnd) {
            queue.focus = nullptr;
        }
    }
    if (window->thread != 0) {
        machine_.resources().Released(kWindowKind);
    }
    order_.erase(std::remove(order_.begin(), order_.end(), hwnd), order_.end());
    auto it = windows_.find(reinterpret_cast<ULONG_PTR>(hwnd));
    KeepDestroyed(std::move(it->second));
    windows_.erase(it);
    return true;
}

void WindowManager::KeepDestroyed(std::unique_ptr<Window> window) {
    destroyed_.push_back(std::move(window));
    while (destroyed_.size() > kKeptDestroyed) {
        destroyed_.pop_front();
    }
}

void WindowManager::DestroyProcessWindows(ProcessId process) {
    std::vector<HWND> doomed;
    for (HWND hwnd : order_) {
        if (Find(hwnd)->process == process) {
            doomed.push_back(hwnd);
        }
    }
    for (HWND hwnd : doomed) {
        auto it = windows_.find(reinterpret_cast<ULONG_PTR>(hwnd));
        Window& window = *it->second;
        window.destroyed = true;
        machine_.menus().OnWindowDestroyed(hwnd, window.system_menu);
        machine_.hotkeys().WindowDestroyed(hwnd);
        if (foreground_ == hwnd) {
            foreground_ = nullptr;
        }
        machine_.resources().Released(kWindowKind);
        KeepDestroyed(std::move(it->second));
        windows_.erase(it);
        order_.erase(std::remove(order_.begin(), order_.end(), hwnd), order_.end());
    }
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [this](const Timer& t) { return !Find(t.hwnd) && t.hwnd; }),
                  timers_.end());
}

std::shared_ptr<WindowManager::SentMessage> WindowManager::Enqueue(
    ThreadId thread, std::shared_ptr<SentMessage> sent) {
    QueueOf(thread).sent.push_back(sent);
    return sent;
}

LRESULT WindowManager::Send(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Window* window = Find(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    const ThreadId me = Kernel::CurrentThread();
    if (window->thread == me || window->thread == 0) {
        return Deliver(hwnd, message, wparam, lparam);
    }
    if (me == 0) {
        return SendFromOutside(hwnd, message, wparam, lparam).value_or(0);
    }
    return SendAcrossThreads(*window, message, wparam, lparam);
}

std::optional<LRESULT> WindowManager::SendFromOutside(HWND hwnd, UINT message, WPARAM wparam,
                                                      LPARAM lparam) {
    Window* window = Find(hwnd);
    if (!window) {
        return std::nullopt;
    }
    if (window->thread == 0) {
        return CallProcedure(hwnd, message, wparam, lparam);
    }
    auto sent = std::make_shared<SentMessage>();
    sent->msg = MSG{hwnd, message, wparam, lparam, 0, {}};
    Enqueue(window->thread, sent);
    machine_.kernel().Settle();
    if (!sent->replied) {
        return std::nullopt;
    }
    return sent->result;
}

OutsideMessageResult WindowManager::SendFromOtherProgram(HWND hwnd, UINT message, WPARAM wparam,
                                                         LPARAM lparam,
                                                         const std::optional<MessageData>& data) {
    OutsideMessageResult result;
    const Window* window = Find(hwnd);
    if (!window) {
        result.error = ERROR_INVALID_WINDOW_HANDLE;
        return result;
    }
    std::optional<MessageCopy> copy =
        MessageCopy::Make(message, wparam, lparam, data, result.error);
    if (!copy) {
        return result;
    }
    result.delivered = true;
    if (window->thread == 0) {
        result.answer = CallProcedure(hwnd, message, copy->wparam(), copy->lparam());
        result.returned = copy->Bytes();
        return result;
    }
    auto sent = std::make_shared<SentMessage>();
    sent->msg = MSG{hwnd, message, copy->wparam(), copy->lparam(), 0, {}};
    sent->copy = copy;
    Enqueue(window->thread, sent);
    machine_.kernel().Settle();
    if (sent->replied) {
        result.answer = sent->result;
        result.returned = copy->Bytes();
    }
    return result;
}

bool WindowManager::QueueFromOtherProgram(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                          const std::optional<MessageData>& data) {
    const Window* window = Find(hwnd);
    DWORD error = 0;
    std::optional<MessageCopy> copy = MessageCopy::Make(message, wparam, lparam, data, error);
    if (!window || !copy) {
        return false;
    }
    if (window->thread == 0) {
        CallProcedure(hwnd, message, copy->wparam(), copy->lparam());
        return true;
    }
    auto sent = std::make_shared<SentMessage>();
    sent->msg = MSG{hwnd, message, copy->wparam(), copy->lparam(), 0, {}};
    sent->copy = copy;
    Enqueue(window->thread, sent);
    return true;
}

OutsideMessageResult WindowManager::PostFromOtherProgram(HWND hwnd, UINT message, WPARAM wparam,
                                                         LPARAM lparam) {
    OutsideMessageResult result;
    if (hwnd && !Find(hwnd)) {
        result.error = ERROR_INVALID_WINDOW_HANDLE;
    } else if (IsCopiedMessage(message, wparam)) {
        result.error = ERROR_MESSAGE_SYNC_ONLY;
    } else {
        result.delivered = Post(hwnd, message, wparam, lparam);
    }
    return result;
}

LRESULT WindowManager::SendAcrossThreads(Window& target, UINT message, WPARAM wparam,
                                         LPARAM lparam) {
    auto sent = std::make_shared<SentMessage>();
    sent->msg = MSG{target.handle, message, wparam, lparam, 0, {}};
    const ThreadId target_thread = target.thread;
    Enqueue(target_thread, sent);
    const ThreadId me = Kernel::CurrentThread();
    while (!sent->replied) {
        HandleSentMessages();
        if (sent->replied || machine_.kernel().ThreadFinished(target_thread)) {
            break;
        }
        machine_.kernel().Block(
            WaitCondition{[this, sent, me, target_thread] {
                              return sent->replied || !QueueOf(me).sent.empty() ||
                                     machine_.kernel().ThreadFinished(target_thread);
                          },
                          nullptr});
    }
    return sent->result;
}

void WindowManager::RunOnWindowThread(const Window& window, std::function<LRESULT()> action) {
    const ThreadId me = Kernel::CurrentThread();
    if (window.thread == me || window.thread == 0) {
        action();
        return;
    }
    auto sent = std::make_shared<SentMessage>();
    sent->action = std::move(action);
    const ThreadId target_thread = window.thread;
    Enqueue(target_thread, sent);
    if (me == 0) {
        machine_.kernel().Settle();
        return;
    }
    while (!sent->replied && !machine_.kernel().ThreadFinished(target_thread)) {
        HandleSentMessages();
        if (sent->replied) {
            break;
        }
        machine_.kernel().Block(
            WaitCondition{[this, sent, me, target_thread] {
                              return sent->replied || !QueueOf(me).sent.empty() ||
                                     machine_.kernel().ThreadFinished(target_thread);
                          },
                          nullptr});
    }
}

bool WindowManager::SendNotify(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Window* window = Find(hwnd);
    if (!window) {
        return false;
    }
    if (window->thread == Kernel::CurrentThread()) {
        Deliver(hwnd, message, wparam, lparam);
        return true;
    }
    auto sent = std::make_shared<SentMessage>();
    sent->msg = MSG{hwnd, message, wparam, lparam, 0, {}};
    sent->delivery = ISMEX_NOTIFY;
    Enqueue(window->thread, sent);
    return true;
}

void WindowManager::HandleSentMessages() {
    const ThreadId me = Kernel::CurrentThread();
    while (true) {
        Queue& queue = QueueOf(me);
        if (queue.sent.empty()) {
            return;
        }
        std::shared_ptr<SentMessage> sent = queue.sent.front();
        queue.sent.pop_front();
        if (sent->action) {
            sent->result = sent->action();
        } else if (Find(sent->msg.hwnd)) {
            DeliverSent(sent);
        }
        sent->replied = true;
    }
}

bool WindowManager::Post(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    ThreadId thread = Kernel::CurrentThread();
    if (hwnd) {
        const Window* window = Find(hwnd);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return false;
        }
        if (window->thread == 0) {
            return true;  // another program's window: it takes the message and nothing shows
        }
        thread = window->thread;
    }
    MSG msg{hwnd, message, wparam, lparam, static_cast<DWORD>(machine_.kernel().Now()), {}};
    QueueOf(thread).posted.push_back(msg);
    return true;
}

void WindowManager::PostToThread(ThreadId thread, UINT message, WPARAM wparam, LPARAM lparam) {
    if (thread == 0) {
        return;  // another program's thread: it takes the message and nothing shows
    }
    QueueOf(thread).posted.push_back(
        MSG{nullptr, message, wparam, lparam, static_cast<DWORD>(machine_.kernel().Now()), {}});
}

void WindowManager::PostQuit(int exit_code) {
    Queue& queue = QueueOf(Kernel::CurrentThread());
    queue.quit = true;
    queue.quit_code = exit_code;
}

bool WindowManager::Matches(const MSG& msg, HWND filter, UINT min, UINT max) const {
    if (filter && msg.hwnd != filter) {
        return false;
    }
    if (min == 0 && max == 0) {
        return true;
    }
    return msg.message >= min && msg.message <= max;
}

std::optional<Millis> WindowManager::NextTimerDue(ThreadId thread) const {
    std::optional<Millis> next;
    for (const Timer& timer : timers_) {
        if (timer.thread == thread && (!next || timer.due < *next)) {
            next = timer.due;
        }
    }
    return next;
}

bool WindowManager::HasInputFor(ThreadId thread) const {
    auto it = queues_.find(thread);
    if (it != queues_.end() &&
        (!it->second.posted.empty() || !it->second.sent.empty() || it->second.quit)) {
        return true;
    }
    for (const auto& [handle, window] : windows_) {
        if (window->thread == thread && window->needs_paint && ShownOnScreen(window->handle)) {
            return true;
        }
    }
    const auto due = NextTimerDue(thread);
    return due && *due <= machine_.kernel().Now();
}

bool WindowManager::NextMessage(MSG* msg, HWND filter, UINT min, UINT max, bool remove) {
    const ThreadId me = Kernel::CurrentThread();
    Queue& queue = QueueOf(me);
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (Matches(*it, filter, min, max)) {
            *msg = *it;
            if (remove) {
                queue.posted.erase(it);
            }
            return true;
        }
    }
    if (queue.quit) {
        *msg = MSG{nullptr,
                   WM_QUIT,
                   static_cast<WPARAM>(queue.quit_code),
                   0,
                   static_cast<DWORD>(machine_.kernel().Now()),
                   {}};
        if (remove) {
            queue.quit = false;
        }
        return true;
    }
    for (HWND hwnd : order_) {
        Window* window = Find(hwnd);
        if (window->thread == me && window->needs_paint && ShownOnScreen(hwnd)) {
            MSG paint{hwnd, WM_PAINT, 0, 0, static_cast<DWORD>(machine_.kernel().Now()), {}};
            if (Matches(paint, filter, min, max)) {
                *msg = paint;
                if (remove) {
                    window->needs_paint = false;
                }
                return true;
            }
        }
    }
    const Millis now = machine_.kernel().Now();
    Timer* due = nullptr;
    for (Timer& timer : timers_) {
        if (timer.thread == me && timer.due <= now && (!due || timer.due < due->due)) {
            MSG tick{timer.hwnd, WM_TIMER, timer.id, 0, 0, {}};
            if (Matches(tick, filter, min, max)) {
                due = &timer;
            }
        }
    }
    if (due) {
        *msg = MSG{due->hwnd,
                   WM_TIMER,
                   due->id,
                   reinterpret_cast<LPARAM>(due->procedure),
                   static_cast<DWORD>(now),
                   {}};
        if (remove) {
            due->due = now + due->period;
        }
        return true;
    }
    return false;
}

bool WindowManager::WaitForMessage(const std::function<bool()>& also) {
    const ThreadId me = Kernel::CurrentThread();
    if (me == 0) {
        std::fputs("sim: a message loop ran outside a program thread\n", stderr);
        std::abort();
    }
    while (true) {
        HandleSentMessages();
        if (also && also()) {
            return false;
        }
        if (HasInputFor(me)) {
            return true;
        }
        machine_.kernel().Block(
            WaitCondition{[this, me, also] { return HasInputFor(me) || (also && also()); },
                          [this, me] { return NextTimerDue(me); }, true});
    }
}

BOOL WindowManager::Get(MSG* msg, HWND filter, UINT min, UINT max) {
    while (true) {
        WaitForMessage(nullptr);
        if (NextMessage(msg, filter, min, max, true)) {
            RunMessageHooks(msg, true);
            return msg->message == WM_QUIT ? FALSE : TRUE;
        }
        // Only messages outside the filter are waiting: wait for the clock or new input.
        const ThreadId me = Kernel::CurrentThread();
        const size_t posted = QueueOf(me).posted.size();
        machine_.kernel().Block(WaitCondition{[this, me, posted] {
                                                  return QueueOf(me).posted.size() != posted ||
                                                         !QueueOf(me).sent.empty();
                                              },
                                              [this, me] { return NextTimerDue(me); }, true});
    }
}

BOOL WindowManager::Peek(MSG* msg, HWND filter, UINT min, UINT max, UINT remove) {
    HandleSentMessages();
    const bool removing = (remove & PM_REMOVE) != 0;
    if (!NextMessage(msg, filter, min, max, removing)) {
        return FALSE;
    }
    RunMessageHooks(msg, removing);
    return TRUE;
}

void WindowManager::RunMessageHooks(MSG* msg, bool removed) {
    Queue& queue = QueueOf(Kernel::CurrentThread());
    if (queue.hooks.empty()) {
        return;
    }
    // Taken first: the hook may unhook itself.
    const MessageHook first = queue.hooks.front();
    const HHOOK outer = queue.running_hook;
    queue.running_hook = first.handle;
    first.procedure(HC_ACTION, removed ? PM_REMOVE : PM_NOREMOVE, reinterpret_cast<LPARAM>(msg));
    queue.running_hook = outer;
}

HHOOK WindowManager::AddMessageHook(HOOKPROC procedure) {
    const HHOOK hook = reinterpret_cast<HHOOK>(next_hook_);
    next_hook_ += 4;
    std::vector<MessageHook>& hooks = QueueOf(Kernel::CurrentThread()).hooks;
    hooks.insert(hooks.begin(), MessageHook{hook, procedure});
    machine_.resources().Acquired(kinds::kHook);
    return hook;
}

bool WindowManager::RemoveMessageHook(HHOOK hook) {
    for (auto& [thread, queue] : queues_) {
        auto it = std::find_if(queue.hooks.begin(), queue.hooks.end(),
                               [hook](const MessageHook& h) { return h.handle == hook; });
        if (it != queue.hooks.end()) {
            queue.hooks.erase(it);
            machine_.resources().Released(kinds::kHook);
            return true;
        }
    }
    return false;
}

LRESULT WindowManager::CallNextMessageHook(HHOOK, int code, WPARAM wparam, LPARAM lparam) {
    Queue& queue = QueueOf(Kernel::CurrentThread());
    const HHOOK running = queue.running_hook;
    auto it = std::find_if(queue.hooks.begin(), queue.hooks.end(),
                           [running](const MessageHook& h) { return h.handle == running; });
    if (running == nullptr || it == queue.hooks.end() || std::next(it) == queue.hooks.end()) {
        return 0;
    }
    const MessageHook next = *std::next(it);
    queue.running_hook = next.handle;
    const LRESULT result = next.procedure(code, wparam, lparam);
    queue.running_hook = running;
    return result;
}

DWORD WindowManager::CurrentDelivery() const {
    auto it = queues_.find(Kernel::CurrentThread());
    if (it == queues_.end() || it->second.receiving.empty()) {
        return ISMEX_NOSEND;
    }
    const SentMessage& sent = *it->second.receiving.back();
    return sent.delivery | (sent.replied ? ISMEX_REPLIED : 0);
}

bool WindowManager::Reply(LRESULT result) {
    Queue& queue = QueueOf(Kernel::CurrentThread());
    if (queue.receiving.empty() || queue.receiving.back()->replied) {
        return false;
    }
    SentMessage& sent = *queue.receiving.back();
    sent.result = result;
    sent.replied = true;
    return true;
}

LRESULT WindowManager::Deliver(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return CallProcedure(hwnd, message, wparam, lparam);
}

void WindowManager::DeliverSent(const std::shared_ptr<SentMessage>& sent) {
    const ThreadId me = Kernel::CurrentThread();
    QueueOf(me).receiving.push_back(sent);
    const LRESULT result =
        CallProcedure(sent->msg.hwnd, sent->msg.message, sent->msg.wParam, sent->msg.lParam);
    QueueOf(me).receiving.pop_back();
    // An answer given early with ReplyMessage stands.
    if (!sent->replied) {
        sent->result = result;
    }
}

LRESULT WindowManager::Dispatch(const MSG* msg) {
    if (!msg) {
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam) {
        // Only a procedure the program itself gave SetTimer is called; any other number, as
        // another program may post, is dropped as Windows drops it.
        const ProcessId me = machine_.kernel().ProcessOf(Kernel::CurrentThread());
        if (!IsTimerProcedureOf(me, msg->lParam)) {
            return 0;
        }
        auto procedure = reinterpret_cast<TIMERPROC>(msg->lParam);
        procedure(msg->hwnd, WM_TIMER, msg->wParam, static_cast<DWORD>(machine_.kernel().Now()));
        return 0;
    }
    Window* window = Find(msg->hwnd);
    if (!window || window->thread != Kernel::CurrentThread()) {
        return 0;
    }
    ++window->counts[msg->message].dispatched;
    return Deliver(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WindowManager::CallProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Window* window = Find(hwnd);
    if (!window) {
        return 0;
    }
    if (window->proc) {
        return window->proc(hwnd, message, wparam, lparam);
    }
    std::u16string key;
    for (char16_t c : window->class_name) {
        key.push_back(Folded(c));
    }
    if (auto it = class_procedures_.find(key); it != class_procedures_.end()) {
        if (auto result = it->second(hwnd, message, wparam, lparam)) {
            return *result;
        }
    }
    return DefaultProcedure(hwnd, message, wparam, lparam);
}

LRESULT WindowManager::DefaultProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Window* window = Find(hwnd);
    if (!window) {
        return 0;
    }
    switch (message) {
        case WM_QUERYENDSESSION:
            return TRUE;  // the session may end
        case WM_NCCREATE:
            return TRUE;  // the creation goes on
        case WM_SYSKEYDOWN:
            // Alt+F4 closes the top-level window, whichever of its windows has the focus.
            if (wparam == VK_F4 && (HIWORD(lparam) & KF_ALTDOWN)) {
                const Window* top = window;
                while (!top->TopLevel() && Find(top->parent)) {
                    top = Find(top->parent);
                }
                Post(top->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return 0;
        case WM_SYSCOMMAND:
            if ((wparam & 0xFFF0) == SC_CLOSE) {
                Send(hwnd, WM_CLOSE, 0, 0);
            }
            return 0;
        case WM_CLOSE:
            Destroy(hwnd);
            return 0;
        case WM_CANCELMODE:
            ReleaseCapture(hwnd);
            return 0;
        case WM_PAINT:
            window->needs_paint = false;
            window->needs_erase = false;
            return 0;
        case WM_SETTEXT:
            window->title = lparam ? AnsiToUtf16(reinterpret_cast<const char*>(lparam),
                                                 machine_.locale().ansi_code_page)
                                   : std::u16string();
            return TRUE;
        case WM_GETTEXT: {
            auto* buffer = reinterpret_cast<char*>(lparam);
            if (!buffer || wparam == 0) {
                return 0;
            }
            const std::string text = Utf16ToAnsi(window->title, machine_.locale().ansi_code_page);
            const size_t length = std::min<size_t>(text.size(), wparam - 1);
            std::copy_n(text.begin(), length, buffer);
            buffer[length] = '\0';
            return static_cast<LRESULT>(length);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(
                Utf16ToAnsi(window->title, machine_.locale().ansi_code_page).size());
        default:
            return 0;
    }
}

UINT WindowManager::RegisterMessage(std::u16string_view name) {
    std::u16string key;
    for (char16_t c : name) {
        key.push_back(Folded(c));
    }
    auto [it, added] = registered_messages_.emplace(key, next_registered_message_);
    if (added) {
        ++next_registered_message_;
    }
    return it->second;
}

void WindowManager::ChangeVisibility(Window& window, bool show, UINT extra_flags) {
    const HWND hwnd = window.handle;
    WINDOWPOS pos{hwnd,
                  nullptr,
                  window.rect.left,
                  window.rect.top,
                  window.rect.right - window.rect.left,
                  window.rect.bottom - window.rect.top,
                  extra_flags | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW)};
    SetPosition(hwnd, pos.hwndInsertAfter, pos.x, pos.y, pos.cx, pos.cy, pos.flags);
}

bool WindowManager::Show(HWND hwnd, int command) {
    Window* window = Find(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    const bool was_visible = window->Visible();
    const bool show = command != SW_HIDE;
    if (show == was_visible) {
        return was_visible;
    }
    const bool activates =
        command != SW_SHOWNA && command != SW_SHOWNOACTIVATE && command != SW_SHOWMINNOACTIVE;
    RunOnWindowThread(*window, [this, hwnd, show, activates] {
        Send(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        if (Window* w = Find(hwnd)) {
            ChangeVisibility(*w, show,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER |
                                 (activates ? 0u : static_cast<UINT>(SWP_NOACTIVATE)));
        }
        // Keyboard focus inside a window that goes out of sight returns to its parent.
        const Window* w = Find(hwnd);
        if (!show && w) {
            Queue& queue = QueueOf(w->thread);
            if (queue.focus == hwnd || IsDescendant(hwnd, queue.focus)) {
                queue.focus = w->TopLevel() ? nullptr : w->parent;
            }
        }
        return LRESULT{0};
    });
    return was_visible;
}

bool WindowManager::SetPosition(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy,
                                UINT flags) {
    Window* window = Find(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    RunOnWindowThread(*window, [this, hwnd, insert_after, x, y, cx, cy, flags] {
        WINDOWPOS pos{hwnd, insert_after, x, y, cx, cy, flags};
        Send(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
        Window* w = Find(hwnd);
        if (!w) {
            return LRESULT{0};
        }
        if (!(pos.flags & SWP_NOMOVE)) {
            const LONG width = w->rect.right - w->rect.left;
            const LONG height = w->rect.bottom - w->rect.top;
            w->rect = RECT{pos.x, pos.y, pos.x + width, pos.y + height};
        }
        if (!(pos.flags & SWP_NOSIZE)) {
            w->rect.right = w->rect.left + pos.cx;
            w->rect.bottom = w->rect.top + pos.cy;
        }
        if (!(pos.flags & SWP_NOZORDER) && !w->TopLevel()) {
            MoveInZOrder(hwnd, pos.hwndInsertAfter);
        }
        // Only a top-level window enters or leaves the topmost windows.
        if (!(pos.flags & SWP_NOZORDER) && w->TopLevel()) {
            if (pos.hwndInsertAfter == HWND_TOPMOST) {
                w->ex_style |= WS_EX_TOPMOST;
            } else if (pos.hwndInsertAfter == HWND_NOTOPMOST) {
                w->ex_style &= ~static_cast<DWORD>(WS_EX_TOPMOST);
            }
        }
        if ((pos.flags & SWP_SHOWWINDOW) && !w->Visible()) {
            w->style |= WS_VISIBLE;
            w->shown = next_show_++;
            // A top-level window shown without SWP_NOACTIVATE becomes the foreground window,
            // unless it is one that never activates.
            if (w->TopLevel()) {
                w->shown_inactive =
                    (pos.flags & SWP_NOACTIVATE) != 0 || (w->ex_style & WS_EX_NOACTIVATE) != 0;
                if (!w->shown_inactive) {
                    foreground_ = hwnd;
                }
            }
            Invalidate(hwnd, true, Reach::kAllChildren);
        } else if ((pos.flags & SWP_HIDEWINDOW) && w->Visible()) {
            w->style &= ~static_cast<DWORD>(WS_VISIBLE);
        }
        Send(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
        if (!(pos.flags & SWP_NOMOVE) || !(pos.flags & SWP_NOSIZE)) {
            FollowMonitorDpi(hwnd);
        }
        return LRESULT{0};
    });
    return true;
}

void WindowManager::FollowMonitorDpi(HWND top_level) {
    Window* window = Find(top_level);
    if (!window || window->destroyed || !window->TopLevel() || window->thread == 0 ||
        window->dpi_changing) {
        return;
    }
    const UINT old_dpi = window->dpi;
    const UINT new_dpi = machine_.display().Nearest(window->rect).dpi;
    if (new_dpi == old_dpi) {
        return;
    }
    SetDpiWithChildren(top_level, new_dpi);
    const RECT& rect = window->rect;
    RECT suggested{rect.left, rect.top,
                   rect.left + MulDiv(rect.right - rect.left, static_cast<int>(new_dpi),
                                      static_cast<int>(old_dpi)),
                   rect.top + MulDiv(rect.bottom - rect.top, static_cast<int>(new_dpi),
                                     static_cast<int>(old_dpi))};
    window->dpi_changing = true;
    Send(top_level, WM_DPICHANGED, MAKEWPARAM(new_dpi, new_dpi),
         reinterpret_cast<LPARAM>(&suggested));
    if (Window* after = Find(top_level)) {
        after->dpi_changing = false;
    }
}

void WindowManager::SetDpiWithChildren(HWND hwnd, UINT dpi) {
    if (Window* window = Find(hwnd)) {
        window->dpi = dpi;
    }
    for (HWND child : Children(hwnd)) {
        SetDpiWithChildren(child, dpi);
    }
}

void WindowManager::DisplayChanged() {
    for (HWND hwnd : TopLevelWindows()) {
        const Window* window = Find(hwnd);
        if (window && !window->destroyed && window->thread != 0) {
            RunOnWindowThread(*window, [this, hwnd] {
                FollowMonitorDpi(hwnd);
                return LRESULT{0};
            });
        }
    }
}

bool WindowManager::Enable(HWND hwnd, bool enable) {
    if (!Find(hwnd)) {
        return false;
    }
    // A window being disabled first gives up what it was doing with the mouse.
    if (!enable) {
        Send(hwnd, WM_CANCELMODE, 0, 0);
    }
    Window* window = Find(hwnd);
    if (!window) {
        return false;
    }
    const bool was_disabled = !window->Enabled();
    if (enable == was_disabled) {
        if (enable) {
            window->style &= ~static_cast<DWORD>(WS_DISABLED);
        } else {
            window->style |= WS_DISABLED;
        }
        Send(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    }
    return was_disabled;
}

void WindowManager::SetText(HWND hwnd, std::u16string text) {
    if (Window* window = Find(hwnd)) {
        window->title = std::move(text);
    }
}

void WindowManager::Invalidate(HWND hwnd, bool erase, Reach reach) {
    Window* window = Find(hwnd);
    if (!window) {
        return;
    }
    window->needs_paint = true;
    window->needs_erase = window->needs_erase || erase;
    if (!ReachesChildren(*window, reach)) {
        return;
    }
    for (HWND child : Children(hwnd)) {
        if (Find(child)->Visible()) {
            Invalidate(child, erase, reach);
        }
    }
}

void WindowManager::Validate(HWND hwnd, Reach reach) {
    Window* window = Find(hwnd);
    if (!window) {
        return;
    }
    window->needs_paint = false;
    window->needs_erase = false;
    if (ReachesChildren(*window, reach)) {
        for (HWND child : Children(hwnd)) {
            Validate(child, reach);
        }
    }
}

void WindowManager::UpdateNow(HWND hwnd, Reach reach) {
    const Window* window = Find(hwnd);
    if (!window) {
        return;
    }
    const bool into_children = ReachesChildren(*window, reach);
    if (window->needs_paint && ShownOnScreen(hwnd)) {
        Send(hwnd, WM_PAINT, 0, 0);
    }
    if (into_children && Find(hwnd)) {
        for (HWND child : Children(hwnd)) {
            UpdateNow(child, reach);
        }
    }
}

UINT_PTR WindowManager::SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
    ThreadId thread = Kernel::CurrentThread();
    if (hwnd) {
        const Window* window = Find(hwnd);
        if (!window || window->thread != thread) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
    } else {
        id = 0x7FFF0000 + timers_.size();
    }
    const Millis period = std::max<Millis>(elapse, kMinimumTimerPeriod);
    const Millis due = machine_.kernel().Now() + period;
    for (Timer& timer : timers_) {
        if (timer.hwnd == hwnd && timer.id == id && hwnd) {
            timer = Timer{hwnd, id, thread, period, due, procedure};
            return id ? id : 1;
        }
    }
    timers_.push_back(Timer{hwnd, id, thread, period, due, procedure});
    return id ? id : 1;
}

bool WindowManager::IsTimerProcedureOf(ProcessId process, LPARAM procedure) const {
    return std::any_of(timers_.begin(), timers_.end(), [&](const Timer& timer) {
        return reinterpret_cast<LPARAM>(timer.procedure) == procedure &&
               machine_.kernel().ProcessOf(timer.thread) == process;
    });
}

bool WindowManager::KillTimer(HWND hwnd, UINT_PTR id) {
    auto it = std::find_if(timers_.begin(), timers_.end(),
                           [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == timers_.end()) {
        return false;
    }
    timers_.erase(it);
    return true;
}

HWND WindowManager::Focus(ThreadId thread) const {
    auto it = queues_.find(thread);
    return it == queues_.end() ? nullptr : it->second.focus;
}

void WindowManager::SetFocus(HWND hwnd) {
    Window* window = Find(hwnd);
    if (!window) {
        return;
    }
    Queue& queue = QueueOf(window->thread);
    const HWND previous = queue.focus;
    if (previous == hwnd) {
        return;
    }
    queue.focus = hwnd;
    // Both windows hear of the change; an edit control tells its parent in turn.
    if (previous && Find(previous)) {
        Send(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    }
    if (Find(hwnd)) {
        Send(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
}

HWND WindowManager::Capture(ThreadId thread) const {
    auto it = queues_.find(thread);
    return it == queues_.end() ? nullptr : it->second.capture;
}

void WindowManager::SetCapture(HWND hwnd) {
    const Window* window = Find(hwnd);
    if (!window) {
        return;
    }
    Queue& queue = QueueOf(window->thread);
    const HWND previous = queue.capture;
    queue.capture = hwnd;
    if (previous && previous != hwnd) {
        Send(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    }
}

void WindowManager::ReleaseCapture(HWND hwnd) {
    const Window* window = Find(hwnd);
    if (!window) {
        return;
    }
    Queue& queue = QueueOf(window->thread);
    if (queue.capture != hwnd) {
        return;
    }
    queue.capture = nullptr;
    Send(hwnd, WM_CAPTURECHANGED, 0, 0);
}

}  // namespace sim
