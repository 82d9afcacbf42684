#include "framework/menu_loop_guard.h"

#include "framework/kernel_handle.h"

namespace framework {

namespace {

constexpr DWORD kNudgeIntervalMs = 100;

// The guard of the thread the hook runs on.
thread_local MenuLoopGuard* t_guard = nullptr;

// Taking them with PM_REMOVE gets them out of the queue even when Wine cannot unpack them.
void DropDdeMessages() {
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE)) {
    }
}

}  // namespace

// Sends the menu's owner WM_NULL at every interval until it goes. Nothing it does waits for the
// guarded thread, so the thread can wait for it to stop.
class MenuLoopGuard::Nudger {
public:
    explicit Nudger(HWND owner)
        : m_owner(owner), m_stop(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        if (m_stop.Valid()) {
            m_thread.Reset(::CreateThread(nullptr, 0, &Nudger::Run, this, 0, nullptr));
        }
    }
    ~Nudger() {
        if (m_thread.Valid()) {
            ::SetEvent(m_stop.Get());
            ::WaitForSingleObject(m_thread.Get(), INFINITE);
        }
    }
    Nudger(const Nudger&) = delete;
    Nudger& operator=(const Nudger&) = delete;

private:
    static DWORD WINAPI Run(LPVOID context) {
        const auto* self = static_cast<const Nudger*>(context);
        while (::WaitForSingleObject(self->m_stop.Get(), kNudgeIntervalMs) == WAIT_TIMEOUT) {
            ::SendNotifyMessageA(self->m_owner, WM_NULL, 0, 0);
        }
        return 0;
    }

    HWND m_owner;
    KernelHandle m_stop;
    KernelHandle m_thread;
};

MenuLoopGuard::MenuLoopGuard()
    : m_hook(::SetWindowsHookExA(WH_CALLWNDPROC, &MenuLoopGuard::WatchSentMessage, nullptr,
                                 ::GetCurrentThreadId())) {
    if (m_hook.Valid()) {
        t_guard = this;
    }
}

MenuLoopGuard::~MenuLoopGuard() {
    m_hook.Reset();
    m_nudger.reset();
    if (t_guard == this) {
        t_guard = nullptr;
    }
}

LRESULT CALLBACK MenuLoopGuard::WatchSentMessage(int code, WPARAM wParam, LPARAM lParam) {
    if (const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        code == HC_ACTION && sent != nullptr && t_guard != nullptr) {
        // The menu loop announces itself on its own thread; another program's copy is no loop.
        const bool own_thread = wParam != 0;
        if (sent->message == WM_ENTERMENULOOP && own_thread) {
            t_guard->m_nudger = std::make_unique<Nudger>(sent->hwnd);
        } else if (sent->message == WM_EXITMENULOOP && own_thread) {
            t_guard->m_nudger.reset();
        } else if (sent->message == WM_NULL && !own_thread && t_guard->m_nudger) {
            DropDdeMessages();
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace framework
