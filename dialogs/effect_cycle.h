// Automatic effect cycling: a worker thread that shows every effect and frame in turn, 5000 ms
// each, then no effect, and ends.
#pragma once

#include <atomic>
#include <vector>

#include "framework/kernel_handle.h"

// The type of EffectCycleThread. The user-interface thread starts and stops cycling; a worker
// asks before every step whether it may go on. Runs are numbered so that a worker can tell it
// has been replaced, even before its handle is stored.
class EffectCycle {
public:
    EffectCycle() = default;
    ~EffectCycle();
    EffectCycle(const EffectCycle&) = delete;
    EffectCycle& operator=(const EffectCycle&) = delete;

    // Starts a worker; one that runs already stops at its next step, so two never write.
    void Start();
    // Every worker stops at its next step (a worker between its check and its write still
    // completes that write).
    void Stop();
    // Stops every worker at once, even one asleep, and waits until they have ended: at exit,
    // before COM goes away.
    void StopAndWait();

    // Whether the worker of `run` may take another step.
    bool Continues(unsigned run) const { return current_run_.load() == run; }
    // Waits the time between two steps; cut short at exit.
    void Pause(DWORD milliseconds) const;

private:
    // Closes the handles of the workers that have ended.
    void ForgetEnded();

    std::atomic<unsigned> current_run_{0};  // 0: no worker may go on
    unsigned last_run_ = 0;
    std::vector<framework::KernelHandle> workers_;  // those that may still run
    framework::KernelHandle exiting_;               // set at exit: the workers wake
};

// The one process-wide effect-cycling state.
extern EffectCycle EffectCycleThread;

// The worker's body; its parameter is its run number.
DWORD WINAPI EffectCycleWorker(LPVOID parameter);
