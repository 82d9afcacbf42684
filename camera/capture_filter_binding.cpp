#include "camera/capture_filter_binding.h"

#include "camera/capture_filter.h"

CaptureFilterBinding::CaptureFilterBinding() {
    auto filter = CaptureFilter.Lock();
    if (!filter && FindCaptureFilter(filter)) {
        made_ = filter.Binding();
    }
}

CaptureFilterBinding::~CaptureFilterBinding() {
    if (made_ == 0) {
        return;
    }
    auto filter = CaptureFilter.Lock();
    if (filter.Binding() == made_) {
        ReleaseCaptureFilter(filter);
    }
}
