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
    for (framework::ThreadHandle& worker : workers_) {
        worker.Release();
    }
}

void EffectCycle::Start() {
    ForgetEnded();
    if (++last_run_ == 0) {
        ++last_run_;
    }
    // Set before the worker exists, so that its first check cannot miss it.
    current_run_.store(last_run_);
    const auto parameter = reinterpret_cast<LPVOID>(static_cast<std::uintptr_t>(last_run_));
    framework::ThreadHandle worker(
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
    for (const framework::ThreadHandle& worker : workers_) {
        WaitForSingleObject(worker.Get(), INFINITE);
    }
    workers_.clear();
}

void EffectCycle::ForgetEnded() {
    std::erase_if(workers_, [](const framework::ThreadHandle& worker) {
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
            Sleep(kStepMilliseconds);
            step = step == kLastEffect ? kNoEffect : step + 1;
        }
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return 1;
}
