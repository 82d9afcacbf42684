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
    worker_.Release();
    stop_.Release();
}

void EffectCycle::Start() {
    EndWorker();
    if (!stop_) {
        stop_.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    }
    if (++last_run_ == 0) {
        ++last_run_;
    }
    // Set before the worker exists, so that its first check cannot miss it.
    current_run_.store(last_run_);
    const auto parameter = reinterpret_cast<LPVOID>(static_cast<std::uintptr_t>(last_run_));
    worker_.Reset(CreateThread(nullptr, 0, &EffectCycleWorker, parameter, 0, nullptr));
    if (!worker_) {
        current_run_.store(0);
    }
}

void EffectCycle::Stop() {
    current_run_.store(0);
    if (stop_) {
        SetEvent(stop_.Get());
    }
    if (worker_ && WaitForSingleObject(worker_.Get(), 0) != WAIT_TIMEOUT) {
        worker_.Reset();
    }
}

void EffectCycle::StopAndWait() {
    EndWorker();
    stop_.Reset();
}

void EffectCycle::EndWorker() {
    Stop();
    if (worker_) {
        WaitForSingleObject(worker_.Get(), INFINITE);
        worker_.Reset();
    }
    // Cleared only once no worker can miss it.
    if (stop_) {
        ResetEvent(stop_.Get());
    }
}

void EffectCycle::Pause(DWORD milliseconds) const {
    // Without the event (it could not be made) the pause is a plain sleep.
    if (!stop_) {
        Sleep(milliseconds);
        return;
    }
    WaitForSingleObject(stop_.Get(), milliseconds);
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
