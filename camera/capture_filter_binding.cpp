#include "camera/capture_filter_binding.h"

#include <utility>

#include "camera/capture_filter.h"

namespace {

constexpr DWORD kRetryMilliseconds = 1000;

// The binding made when none was in force and a filter could be bound; 0 otherwise.
std::uint64_t BindIfUnbound(bool& found) {
    auto filter = CaptureFilter.Lock();
    found = static_cast<bool>(filter);
    if (!filter && !filter.BindingPaused() && FindCaptureFilter(filter)) {
        found = true;
        return filter.Binding();
    }
    return 0;
}

void ReleaseIfStillInForce(std::uint64_t made) {
    if (made == 0) {
        return;
    }
    auto filter = CaptureFilter.Lock();
    if (filter.Binding() == made) {
        ReleaseCaptureFilter(filter);
    }
}

}  // namespace

CaptureFilterBinding::CaptureFilterBinding() {
    bool found = false;
    made_ = BindIfUnbound(found);
}

CaptureFilterBinding::~CaptureFilterBinding() {
    ReleaseIfStillInForce(made_);
}

void KeptCaptureFilterBinding::Ensure() {
    if (CaptureFilter.Bound()) {
        return;
    }
    const DWORD now = GetTickCount();
    if (failed_ && now - failed_at_ < kRetryMilliseconds) {
        return;
    }
    bool found = false;
    if (const std::uint64_t made = BindIfUnbound(found); made != 0) {
        made_ = made;
    }
    failed_ = !found;
    failed_at_ = now;
}

void KeptCaptureFilterBinding::Release() {
    ReleaseIfStillInForce(std::exchange(made_, 0));
}
