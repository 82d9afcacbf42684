// ExclusiveLock: the platform's own slim lock, for state shared between threads. It needs no
// clean-up and brings in none of the C++ runtime's thread support.
#pragma once

#include <utility>

#include "platform/win32.h"

namespace framework {

class ExclusiveLock {
public:
    ExclusiveLock() = default;
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

    // Holds the lock from construction to destruction (or until moved from).
    class Hold {
    public:
        explicit Hold(ExclusiveLock& lock) : lock_(&lock.lock_) { AcquireSRWLockExclusive(lock_); }
        Hold(Hold&& other) noexcept : lock_(std::exchange(other.lock_, nullptr)) {}
        Hold& operator=(Hold&&) = delete;
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
        ~Hold() {
            if (lock_ != nullptr) {
                ReleaseSRWLockExclusive(lock_);
            }
        }

    private:
        SRWLOCK* lock_;
    };

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};

}  // namespace framework
