#include "platform/sim/kernel.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace sim {

struct Kernel::Thread {
    enum class State { New, Running, Blocked, Finished };

    ThreadId id = 0;
    ProcessId process = 0;
    std::function<std::uint32_t()> body;
    std::uint32_t exit_code = 0;  // set under the kernel's mutex as the thread finishes
    std::thread handle;
    State state = State::New;
    WaitCondition wait;
    bool has_turn = false;   // guarded by the kernel's mutex
    bool abandoned = false;  // never gets a turn again
};

namespace {

thread_local ThreadId current_thread_id = 0;

[[noreturn]] void Misuse(const char* what) {
    std::fprintf(stderr, "sim::Kernel: %s\n", what);
    std::abort();
}

}  // namespace

Kernel::Kernel()
    : mutex_(std::make_shared<std::mutex>()),
      turn_changed_(std::make_shared<std::condition_variable>()) {}

Kernel::~Kernel() {
    Shutdown();
}

ThreadId Kernel::CurrentThread() {
    return current_thread_id;
}

ProcessId Kernel::NewProcess() {
    processes_.push_back(next_process_);
    return next_process_++;
}

ProcessId Kernel::ProcessOf(ThreadId thread) const {
    for (const auto& t : threads_) {
        if (t->id == thread) {
            return t->process;
        }
    }
    const FinishedThread* finished = FindFinished(thread);
    return finished ? finished->process : 0;
}

const Kernel::FinishedThread* Kernel::FindFinished(ThreadId thread) const {
    auto it = std::find_if(finished_.begin(), finished_.end(),
                           [thread](const FinishedThread& f) { return f.id == thread; });
    return it == finished_.end() ? nullptr : &*it;
}

void Kernel::Forget(Thread* thread) {
    finished_.push_back(FinishedThread{thread->id, thread->process, thread->exit_code});
    while (finished_.size() > kKeptFinished) {
        finished_.pop_front();
    }
    threads_.erase(std::find_if(threads_.begin(), threads_.end(),
                                [thread](const auto& t) { return t.get() == thread; }));
}

ProcessId Kernel::CurrentProcess() const {
    return ProcessOf(CurrentThread());
}

bool Kernel::ThreadFinished(ThreadId thread) const {
    for (const auto& t : threads_) {
        if (t->id == thread) {
            return t->state == Thread::State::Finished || t->abandoned;
        }
    }
    return true;
}

bool Kernel::ProcessRunning(ProcessId process) const {
    return std::any_of(threads_.begin(), threads_.end(), [process](const auto& t) {
        return t->process == process && t->state != Thread::State::Finished && !t->abandoned;
    });
}

std::size_t Kernel::RunningThreads(ProcessId process) const {
    return static_cast<std::size_t>(
        std::count_if(threads_.begin(), threads_.end(), [process](const auto& t) {
            return t->process == process && t->state != Thread::State::Finished && !t->abandoned;
        }));
}

std::optional<std::uint32_t> Kernel::ExitCode(ThreadId thread) const {
    for (const auto& t : threads_) {
        if (t->id == thread) {
            if (t->state == Thread::State::Finished) {
                return t->exit_code;
            }
            if (t->abandoned) {
                return 0;
            }
            return std::nullopt;
        }
    }
    if (const FinishedThread* finished = FindFinished(thread)) {
        return finished->exit_code;
    }
    return std::nullopt;
}

Kernel::Handle Kernel::OpenThreadHandle(ProcessId holder, ThreadId thread) {
    const Handle handle = next_handle_;
    next_handle_ += 4;
    handles_[handle] = HandleEntry{holder, thread, nullptr, std::nullopt, std::nullopt};
    return handle;
}

Kernel::Handle Kernel::OpenEventHandle(ProcessId holder, bool manual_reset, bool signaled) {
    const Handle handle = next_handle_;
    next_handle_ += 4;
    handles_[handle] =
        HandleEntry{holder, 0, std::make_shared<Event>(Event{manual_reset, signaled}), std::nullopt,
                    std::nullopt};
    return handle;
}

std::optional<Kernel::Handle> Kernel::OpenProcessHandle(ProcessId holder, ProcessId process) {
    if (std::find(processes_.begin(), processes_.end(), process) == processes_.end()) {
        return std::nullopt;
    }
    const Handle handle = next_handle_;
    next_handle_ += 4;
    handles_[handle] = HandleEntry{holder, 0, nullptr, std::nullopt, process};
    return handle;
}

std::optional<ProcessId> Kernel::ProcessOfHandle(ProcessId holder, Handle handle) const {
    auto it = handles_.find(handle);
    if (it == handles_.end() || it->second.holder != holder) {
        return std::nullopt;
    }
    return it->second.process;
}

Kernel::Handle Kernel::OpenTokenHandle(ProcessId holder, bool elevated) {
    const Handle handle = next_handle_;
    next_handle_ += 4;
    handles_[handle] = HandleEntry{holder, 0, nullptr, elevated, std::nullopt};
    return handle;
}

std::optional<bool> Kernel::TokenElevation(ProcessId holder, Handle handle) const {
    auto it = handles_.find(handle);
    if (it == handles_.end() || it->second.holder != holder) {
        return std::nullopt;
    }
    return it->second.token_elevated;
}

std::shared_ptr<Kernel::Event> Kernel::EventOfHandle(ProcessId holder, Handle handle) const {
    auto it = handles_.find(handle);
    if (it == handles_.end() || it->second.holder != holder) {
        return nullptr;
    }
    return it->second.event;
}

Kernel::HandleKind Kernel::KindOfHandle(ProcessId holder, Handle handle) const {
    auto it = handles_.find(handle);
    if (it == handles_.end() || it->second.holder != holder) {
        return HandleKind::None;
    }
    if (it->second.token_elevated) {
        return HandleKind::Token;
    }
    if (it->second.process) {
        return HandleKind::Process;
    }
    return it->second.event ? HandleKind::Event : HandleKind::Thread;
}

std::optional<ThreadId> Kernel::ThreadOfHandle(ProcessId holder, Handle handle) const {
    auto it = handles_.find(handle);
    if (it == handles_.end() || it->second.holder != holder || it->second.event ||
        it->second.token_elevated || it->second.process) {
        return std::nullopt;
    }
    return it->second.thread;
}

bool Kernel::CloseHandle(ProcessId holder, Handle handle) {
    auto it = handles_.find(handle);
    if (it == handles_.end() || it->second.holder != holder) {
        return false;
    }
    handles_.erase(it);
    return true;
}

ThreadId Kernel::StartThread(ProcessId process, std::function<void()> body) {
    return StartThreadWithExitCode(process, [body = std::move(body)] {
        body();
        return std::uint32_t{0};
    });
}

ThreadId Kernel::StartThreadWithExitCode(ProcessId process, std::function<std::uint32_t()> body) {
    auto thread = std::make_shared<Thread>();
    thread->id = next_thread_++;
    thread->process = process;
    thread->body = std::move(body);
    // The thread keeps what it waits on alive by itself, so an abandoned one outlives the kernel.
    thread->handle = std::thread([thread, mutex = mutex_, turn_changed = turn_changed_] {
        current_thread_id = thread->id;
        {
            std::unique_lock lock(*mutex);
            turn_changed->wait(lock, [&] { return thread->has_turn; });
        }
        const std::uint32_t exit_code = thread->body();
        std::lock_guard lock(*mutex);
        thread->exit_code = exit_code;
        thread->state = Thread::State::Finished;
        thread->has_turn = false;
        turn_changed->notify_all();
    });
    threads_.push_back(std::move(thread));
    return threads_.back()->id;
}

void Kernel::Block(WaitCondition condition) {
    const ThreadId me = CurrentThread();
    auto it =
        std::find_if(threads_.begin(), threads_.end(), [me](const auto& t) { return t->id == me; });
    if (me == 0 || it == threads_.end()) {
        Misuse("Block called outside a program thread");
    }
    std::shared_ptr<Thread> thread = *it;
    thread->wait = std::move(condition);
    thread->state = Thread::State::Blocked;
    // The turn holder schedules: when this thread is the one the driver would run next, it goes
    // on at once instead of handing the turn there and back (a day of ticks is 86400 turns).
    if (NextToRun() == thread.get()) {
        thread->state = Thread::State::Running;
        return;
    }
    std::unique_lock lock(*mutex_);
    thread->has_turn = false;
    turn_changed_->notify_all();
    turn_changed_->wait(lock, [&] { return thread->has_turn; });
    thread->state = Thread::State::Running;
}

void Kernel::Sleep(Millis ms) {
    if (CurrentThread() == 0) {
        Advance(ms);
        return;
    }
    const Millis due = now_ + ms;
    Block(WaitCondition{[this, due] { return now_ >= due; },
                        [due]() -> std::optional<Millis> { return due; }});
}

Kernel::Thread* Kernel::Pick() {
    for (const auto& thread : threads_) {
        if (thread->abandoned) {
            continue;
        }
        if (thread->state == Thread::State::New) {
            return thread.get();
        }
        if (thread->state == Thread::State::Blocked) {
            if (thread->wait.ready && thread->wait.ready()) {
                return thread.get();
            }
            if (thread->wait.deadline) {
                if (auto due = thread->wait.deadline(); due && *due <= now_) {
                    return thread.get();
                }
            }
        }
    }
    return nullptr;
}

void Kernel::RunTurn(Thread* thread) {
    {
        std::unique_lock lock(*mutex_);
        thread->has_turn = true;
        turn_changed_->notify_all();
        turn_changed_->wait(lock, [&] { return !thread->has_turn; });
    }
    if (thread->state != Thread::State::Finished) {
        return;
    }
    thread->handle.join();
    // A process ends with its first thread: the others never run again, as under ExitProcess.
    const ProcessId process = thread->process;
    auto first = std::find_if(threads_.begin(), threads_.end(),
                              [process](const auto& t) { return t->process == process; });
    const bool process_ends = first->get() == thread;
    // What a finished thread held (its body, its last wait) goes; its id, process and exit code
    // stay known.
    Forget(thread);
    if (!process_ends) {
        return;
    }
    for (auto& other : threads_) {
        if (other->process == process && other->state != Thread::State::Finished) {
            other->abandoned = true;
        }
    }
    if (on_process_exit_) {
        on_process_exit_(process);
    }
}

void Kernel::Settle() {
    if (CurrentThread() != 0) {
        Misuse("Settle called from a program thread");
    }
    while (Thread* thread = NextToRun()) {
        RunTurn(thread);
    }
}

Kernel::Thread* Kernel::NextToRun() {
    while (true) {
        if (Thread* thread = Pick()) {
            return thread;
        }
        const auto next = NextDeadline();
        if (!next || *next > run_until_) {
            return nullptr;
        }
        now_ = std::max(now_, *next);
    }
}

std::optional<Millis> Kernel::NextDeadline() const {
    std::optional<Millis> next;
    for (const auto& thread : threads_) {
        if (thread->abandoned || thread->state != Thread::State::Blocked ||
            !thread->wait.deadline) {
            continue;
        }
        if (auto due = thread->wait.deadline(); due && (!next || *due < *next)) {
            next = due;
        }
    }
    return next;
}

std::vector<ClockWait> Kernel::ClockWaits() const {
    std::vector<ClockWait> waits;
    for (const auto& thread : threads_) {
        if (thread->abandoned || thread->state != Thread::State::Blocked ||
            !thread->wait.deadline) {
            continue;
        }
        if (auto due = thread->wait.deadline()) {
            waits.push_back({thread->id, *due, thread->wait.for_messages});
        }
    }
    return waits;
}

void Kernel::Advance(Millis ms) {
    const Millis target = now_ + ms;
    run_until_ = target;
    Settle();
    now_ = target;
    Settle();
}

void Kernel::Shutdown() {
    if (shutting_down_) {
        return;
    }
    shutting_down_ = true;
    for (auto& thread : threads_) {
        if (thread->handle.joinable()) {
            if (thread->state == Thread::State::Finished) {
                thread->handle.join();
            } else {
                thread->abandoned = true;
                thread->handle.detach();
            }
        }
    }
}

}  // namespace sim
