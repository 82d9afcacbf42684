// The camera's DirectShow capture filter: finding it among the video input devices by friendly
// name, and the one process-wide reference to it.
#pragma once

#include <cstdint>

#include "camera/com_ptr.h"
#include "framework/exclusive_lock.h"
#include "platform/win32.h"

// The reference to the bound capture filter, shared by the UI thread and the effect-cycling
// worker. One lock serialises every use and every change of it, so a release can never pull the
// filter from under a call that is using it. Hold an Access only for plain calls on the filter:
// never across a wait, a sleep or a modal loop.
class SharedCaptureFilter {
public:
    // Exclusive use of the filter, which cannot change or go away while the Access lives.
    class Access {
    public:
        // The bound filter, or null.
        IBaseFilter* Get() const { return shared_->filter_.Get(); }
        explicit operator bool() const { return Get() != nullptr; }
        // Names the binding in force: a new number at every successful bind, 0 while unbound.
        std::uint64_t Binding() const { return Get() ? shared_->binding_ : 0; }
        // Whether binding is held back (see BindingPause): only the power-line operations bind
        // then.
        bool BindingPaused() const { return shared_->paused_ > 0; }

    private:
        friend class SharedCaptureFilter;
        friend int FindCaptureFilter(Access& access);
        friend void ReleaseCaptureFilter(Access& access);

        explicit Access(SharedCaptureFilter& shared) : shared_(&shared), lock_(shared.lock_) {}
        camera::ComPtr<IBaseFilter>& Filter() { return shared_->filter_; }
        void NewBinding() { shared_->binding_ = ++shared_->bindings_made_; }

        SharedCaptureFilter* shared_;
        framework::ExclusiveLock::Hold lock_;
    };

    // While it lives, the bindings that the pages, the Zoom dialog, the window commands and the
    // effect worker make when they find none are held back: "Off" releases the filter and
    // disables the device in between, and a filter bound again would hold the device open.
    class BindingPause {
    public:
        explicit BindingPause(SharedCaptureFilter& shared);
        ~BindingPause();
        BindingPause(const BindingPause&) = delete;
        BindingPause& operator=(const BindingPause&) = delete;

    private:
        SharedCaptureFilter& shared_;
    };

    SharedCaptureFilter() = default;
    // COM may already be gone when the process ends: the reference is left to the process.
    ~SharedCaptureFilter() { filter_.Detach(); }
    SharedCaptureFilter(const SharedCaptureFilter&) = delete;
    SharedCaptureFilter& operator=(const SharedCaptureFilter&) = delete;

    Access Lock() { return Access(*this); }
    bool Bound() { return static_cast<bool>(Lock()); }

private:
    framework::ExclusiveLock lock_;
    camera::ComPtr<IBaseFilter> filter_;
    std::uint64_t binding_ = 0;
    std::uint64_t bindings_made_ = 0;
    int paused_ = 0;
};

// The one process-wide reference to the camera's capture filter; null (unbound) at start.
extern SharedCaptureFilter CaptureFilter;

// Searches the video input devices in their order and binds the first whose friendly name
// matches and that binds. Returns 1 when a filter was bound, 0 otherwise. When the search ran,
// a reference held before is released and CaptureFilter holds the new one or null; when the
// device category cannot be enumerated (or is empty), CaptureFilter is left as it was.
int FindCaptureFilter();
// Releases the bound filter, if any; CaptureFilter is null after.
void ReleaseCaptureFilter();

// The same, for a caller that already holds the lock.
int FindCaptureFilter(SharedCaptureFilter::Access& access);
void ReleaseCaptureFilter(SharedCaptureFilter::Access& access);
