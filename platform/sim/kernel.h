// The simulated kernel: program threads are real threads, but only one of them (or the driving
// test) runs at a time. A program thread runs until it blocks in a simulated wait; the driver
// then hands the turn to the next thread that can go on, until none can: the machine is
// quiescent. Every wait and timer runs on a virtual clock that moves only when the driver says.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace sim {

using Millis = std::uint64_t;
using ThreadId = std::uint32_t;
using ProcessId = std::uint32_t;

// What a blocked thread waits for: it may go on once `ready` holds or the clock reaches
// `deadline`. Both are evaluated by the turn holder only, so they may read machine state freely.
struct WaitCondition {
    std::function<bool()> ready;
    std::function<std::optional<Millis>()> deadline;
    // A message loop waiting for input or its next timer; any other wait with a deadline is a
    // pause in which the thread answers nothing.
    bool for_messages = false;
};

// A blocked program thread's next time on the clock, for whoever drives the machine.
struct ClockWait {
    ThreadId thread;
    Millis due;
    bool for_messages;
};

class Kernel {
public:
    Kernel();
    ~Kernel();
    Kernel(const Kernel&) = delete;
    Kernel& operator=(const Kernel&) = delete;

    Millis Now() const { return now_; }

    // Starts a program thread; it first runs at the driver's next Settle.
    ThreadId StartThread(ProcessId process, std::function<void()> body);
    // The same for a body whose return value is the thread's exit code.
    ThreadId StartThreadWithExitCode(ProcessId process, std::function<std::uint32_t()> body);
    ProcessId NewProcess();
    bool ThreadFinished(ThreadId thread) const;
    // What the thread's body returned; 0 for one that ended with its process; nullopt while it
    // can still run.
    std::optional<std::uint32_t> ExitCode(ThreadId thread) const;
    bool ProcessRunning(ProcessId process) const;
    // How many of the process's threads have not ended, whether or not a handle names them.
    std::size_t RunningThreads(ProcessId process) const;
    // The program thread calling, or 0 for the driver (a test or the console).
    static ThreadId CurrentThread();
    ProcessId CurrentProcess() const;
    ProcessId ProcessOf(ThreadId thread) const;
    // Called when a process's last thread has finished.
    void OnProcessExit(std::function<void(ProcessId)> handler) {
        on_process_exit_ = std::move(handler);
    }

    // Handles to threads and events. Each belongs to the process that holds it, as handle
    // tables are per process; values are never reused, so a stale handle stays invalid.
    using Handle = std::uintptr_t;
    struct Event {
        bool manual_reset = false;
        bool signaled = false;
    };
    Handle OpenThreadHandle(ProcessId holder, ThreadId thread);
    Handle OpenEventHandle(ProcessId holder, bool manual_reset, bool signaled);
    // A handle to another process (or the holder's own); nullopt when no such process ran.
    std::optional<Handle> OpenProcessHandle(ProcessId holder, ProcessId process);
    // The process a process handle held by `holder` names; nullopt for any other handle.
    std::optional<ProcessId> ProcessOfHandle(ProcessId holder, Handle handle) const;
    // A process's access token, which keeps the elevation the process had when it was opened.
    Handle OpenTokenHandle(ProcessId holder, bool elevated);
    // The elevation a token handle held by `holder` carries; nullopt for any other handle.
    std::optional<bool> TokenElevation(ProcessId holder, Handle handle) const;
    // The thread a handle held by `holder` refers to; nullopt for one it does not hold.
    std::optional<ThreadId> ThreadOfHandle(ProcessId holder, Handle handle) const;
    // The event a handle held by `holder` refers to; null for one it does not hold.
    std::shared_ptr<Event> EventOfHandle(ProcessId holder, Handle handle) const;
    enum class HandleKind { None, Thread, Event, Token, Process };
    HandleKind KindOfHandle(ProcessId holder, Handle handle) const;
    // Closing a handle leaves the thread running. False for a handle `holder` does not hold.
    bool CloseHandle(ProcessId holder, Handle handle);

    // From a program thread: gives up the turn until `condition` lets it go on. A thread of a
    // process that has ended, or of a machine torn down, never returns from here.
    void Block(WaitCondition condition);
    // From a program thread, Sleep on the virtual clock; from the driver, the clock moves on.
    void Sleep(Millis ms);

    // Driver: runs program threads until every one is blocked (the machine is quiescent).
    void Settle();
    // Driver: moves the clock on by `ms`, running everything that falls due on the way.
    void Advance(Millis ms);

    // Driver: every blocked program thread that will go on at a time on the clock, with that time.
    std::vector<ClockWait> ClockWaits() const;

    // Driver, at machine teardown: threads still blocked are abandoned for good.
    void Shutdown();

private:
    struct Thread;

    Thread* Pick();
    // The thread to run next: one that can go on now, else, moving the clock to the next
    // deadline up to run_until_, one that can go on then; null when none can.
    Thread* NextToRun();
    void RunTurn(Thread* thread);
    std::optional<Millis> NextDeadline() const;

    std::shared_ptr<std::mutex> mutex_;
    std::shared_ptr<std::condition_variable> turn_changed_;
    std::vector<std::shared_ptr<Thread>> threads_;
    // What stays known of a thread that has finished, for the latest kKeptFinished of them; an
    // older one counts as finished with an unknown exit code.
    struct FinishedThread {
        ThreadId id;
        ProcessId process;
        std::uint32_t exit_code;
    };
    static constexpr std::size_t kKeptFinished = 1024;
    const FinishedThread* FindFinished(ThreadId thread) const;
    void Forget(Thread* thread);
    std::deque<FinishedThread> finished_;
    std::vector<ProcessId> processes_;
    struct HandleEntry {
        ProcessId holder;
        ThreadId thread;  // 0 for an event
        std::shared_ptr<Event> event;
        std::optional<bool> token_elevated;  // set for a token
        std::optional<ProcessId> process;    // set for a process handle
    };
    std::map<Handle, HandleEntry> handles_;
    Handle next_handle_ = 0x1004;
    Millis now_ = 0;
    Millis run_until_ = 0;  // how far the driver's Advance lets the clock move
    ThreadId next_thread_ = 1;
    ProcessId next_process_ = 1;
    bool shutting_down_ = false;
    std::function<void(ProcessId)> on_process_exit_;
};

}  // namespace sim
