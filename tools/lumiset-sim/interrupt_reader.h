// Ctrl-C as something the console reads: SIGINT is held back and read from a descriptor, so that
// it ends the console as "quit" does, wherever it comes (the line editor's own handler, which
// would pass it on to the whole process group, never sees it). Made before the machine starts
// its threads, which inherit the held-back signal; the simulated machine's threads would
// otherwise take it.
#pragma once

#include <signal.h>

namespace console {

class InterruptReader {
public:
    InterruptReader();
    ~InterruptReader();
    InterruptReader(const InterruptReader&) = delete;
    InterruptReader& operator=(const InterruptReader&) = delete;

    // For poll; -1 when the system gave none (Ctrl-C then waits until the console ends).
    int fd() const { return fd_; }
    // Whether Ctrl-C came since the last call.
    bool Take() const;

private:
    sigset_t previous_mask_;
    int fd_ = -1;
};

}  // namespace console
