#include "dialogs/effect_cycle.h"

#include <cstdint>

#include "camera/capture_filter_binding.h"
#include "camera/vendor_properties.h"
#include "dialogs/effect_ids.h"

EffectCycle EffectCycleThread;

namespace {

constexpr DWORD kStepMilliseconds = 5000;
constexpr EffectId kFirstStep = 1;

}  // namespace

EffectCycle::~EffectCycle() {
    // At process end the platform may be gone already: the handles are left to the process.
    for (framework::KernelHandle& worker : workers_) {
        worker.Release();
    }
    exiting_.Release();
}

void EffectCycle::Start() {
    ForgetEnded();
    if (!exiting_) {
        exiting_.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    }
    if (++last_run_ == 0) {
        ++last_run_;
    }
    // Set before the worker exists, so that its first check cannot miss it.
    current_run_.store(last_run_);
    const auto parameter = reinterpret_cast<LPVOID>(static_cast<std::uintptr_t>(last_run_));
    framework::KernelHandle worker(
        CreateThread(nullptr, 0, &EffectCycleWorker, parameter, 0, nullptr));
    if (!worker) {
        current_run_.store(0);
        return;
    }
    workers_.push_back(std::move(worker));
}

void EffectCycle::Stop() {
    current_run_.store(0);
    ForgetEnded();
}

void EffectCycle::StopAndWait() {
    current_run_.store(0);
    if (exiting_) {
        SetEvent(exiting_.Get());
    }
    for (const framework::KernelHandle& worker : workers_) {
        WaitForSingleObject(worker.Get(), INFINITE);
    }
    workers_.clear();
    exiting_.Reset();
}

void EffectCycle::Pause(DWORD milliseconds) const {
    // Without the event (it could not be made) the pause is a plain sleep.
    if (!exiting_) {
        Sleep(milliseconds);
        return;
    }
    WaitForSingleObject(exiting_.Get(), milliseconds);
}

void EffectCycle::ForgetEnded() {
    std::erase_if(workers_, [](const framework::KernelHandle& worker) {
        return WaitForSingleObject(worker.Get(), 0) != WAIT_TIMEOUT;
    });
}

DWORD WINAPI EffectCycleWorker(LPVOID parameter) {
    const auto run = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(parameter));
    const HRESULT com = CoInitialize(nullptr);
    {
        KeptCaptureFilterBinding binding;
        EffectId step = kFirstStep;
        while (EffectCycleThread.Continues(run)) {
            binding.Ensure();
            // After the last frame comes "no effect"; reading it back at the next step means
            // the run is over, or that somebody chose no effect meanwhile.
            if (step != kNoEffect && GetCameraControl(ImageChannel::Effect) == kNoEffect) {
                break;
            }
            SetCameraControl(ImageChannel::Effect, step);
            EffectCycleThread.Pause(kStepMilliseconds);
            step = step == kLastEffect ? kNoEffect : step + 1;
        }
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return 1;
}
