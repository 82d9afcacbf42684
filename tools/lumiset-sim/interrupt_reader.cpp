#include "tools/lumiset-sim/interrupt_reader.h"

#include <sys/signalfd.h>
#include <unistd.h>

namespace console {

InterruptReader::InterruptReader() {
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    pthread_sigmask(SIG_BLOCK, &interrupt, &previous_mask_);
    fd_ = signalfd(-1, &interrupt, SFD_CLOEXEC | SFD_NONBLOCK);
}

InterruptReader::~InterruptReader() {
    if (fd_ >= 0) {
        close(fd_);
    }
    pthread_sigmask(SIG_SETMASK, &previous_mask_, nullptr);
}

bool InterruptReader::Take() const {
    signalfd_siginfo info;
    return fd_ >= 0 && read(fd_, &info, sizeof info) == sizeof info;
}

}  // namespace console
