#include "camera/video_processing.h"

#include "camera/capture_filter.h"
#include "camera/com_ptr.h"
#include "platform/win32.h"

namespace {

constexpr DWORD kSettleMilliseconds = 10;

// Only a negative result counts as failure of the query.
camera::ComPtr<IAMVideoProcAmp> QueryProcAmp(IBaseFilter* filter) {
    camera::ComPtr<IAMVideoProcAmp> procamp;
    if (FAILED(filter->QueryInterface(IID_IAMVideoProcAmp, procamp.OutVoid()))) {
        procamp.Reset();
    }
    return procamp;
}

enum class WriteOutcome { NoCamera, RangeUnreadable, Done };

struct Written {
    WriteOutcome outcome;
    bool accepted;  // the camera took the value
};

Written Write(std::int32_t property, std::int32_t value) {
    auto filter = CaptureFilter.Lock();
    FindCaptureFilter(filter);
    if (!filter) {
        return {WriteOutcome::NoCamera, false};
    }
    bool accepted = false;
    if (camera::ComPtr<IAMVideoProcAmp> procamp = QueryProcAmp(filter.Get())) {
        // A property whose range cannot be read is never written.
        LONG min = 0;
        LONG max = 0;
        LONG step = 0;
        LONG default_value = 0;
        LONG caps = 0;
        if (FAILED(procamp->GetRange(property, &min, &max, &step, &default_value, &caps))) {
            procamp.Reset();
            ReleaseCaptureFilter(filter);
            return {WriteOutcome::RangeUnreadable, false};
        }
        accepted = procamp->Set(property, value, VideoProcAmp_Flags_Auto) == S_OK;
    }
    ReleaseCaptureFilter(filter);
    return {WriteOutcome::Done, accepted};
}

// The pause comes after the lock is given up, so the worker is not held up by it.
Written WriteAndSettle(std::int32_t property, std::int32_t value) {
    const Written written = Write(property, value);
    if (written.outcome == WriteOutcome::Done) {
        Sleep(kSettleMilliseconds);
    }
    return written;
}

}  // namespace

int GetProcAmpValue(std::int32_t property, std::int32_t& value) {
    return GetProcAmpValue(CaptureFilter, property, value);
}

int GetProcAmpValue(SharedCaptureFilter& shared, std::int32_t property, std::int32_t& value) {
    auto filter = shared.Lock();
    FindCaptureFilter(filter);
    if (!filter) {
        return 0;
    }
    camera::ComPtr<IAMVideoProcAmp> procamp = QueryProcAmp(filter.Get());
    if (!procamp) {
        ReleaseCaptureFilter(filter);
        return 1;
    }
    LONG read = 0;
    LONG flags = 0;
    const HRESULT result = procamp->Get(property, &read, &flags);
    procamp.Reset();
    ReleaseCaptureFilter(filter);
    if (result != S_OK) {
        return 0;
    }
    value = read;
    return 1;
}

int SetProcAmpValue(std::int32_t property, std::int32_t value) {
    return WriteAndSettle(property, value).outcome == WriteOutcome::NoCamera ? 0 : 1;
}

bool SetProcAmpValueAccepted(std::int32_t property, std::int32_t value) {
    return WriteAndSettle(property, value).accepted;
}
