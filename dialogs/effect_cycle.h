// Automatic effect cycling: a worker thread that shows every effect and frame in turn, 5000 ms
// each, then no effect, and ends.
#pragma once

#include <atomic>

#include "framework/kernel_handle.h"

// The type of EffectCycleThread. The user-interface thread starts and stops cycling; the worker
// asks before every step whether it may go on. Runs are numbered so that a worker can tell it
// has been replaced, even before its handle is stored. At most one worker exists at a time.
class EffectCycle {
public:
    EffectCycle() = default;
    ~EffectCycle();
    EffectCycle(const EffectCycle&) = delete;
    EffectCycle& operator=(const EffectCycle&) = delete;

    // Starts a worker; one that runs already is woken, stopped and waited for first, so that
    // clicks in a row never leave workers piling up.
    void Start();
    // The worker stops at once, even asleep (one between its check and its write still
    // completes that write).
    void Stop();
    // Stops the worker and waits until it has ended: at exit, before COM goes away.
    void StopAndWait();

    // Whether the worker of `run` may take another step.
    bool Continues(unsigned run) const { return current_run_.load() == run; }
    // Waits the time between two steps; cut short by Stop.
    void Pause(DWORD milliseconds) const;

private:
    // Stops the worker and waits for its end; the event stays for the next one.
    void EndWorker();

    std::atomic<unsigned> current_run_{0};  // 0: no worker may go on
    unsigned last_run_ = 0;
    framework::KernelHandle worker_;  // the last worker started, until it is waited for
    framework::KernelHandle stop_;    // set: the worker wakes and ends
};

// The one process-wide effect-cycling state.
extern EffectCycle EffectCycleThread;

// The worker's body; its parameter is its run number.
DWORD WINAPI EffectCycleWorker(LPVOID parameter);
