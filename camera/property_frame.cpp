#include "camera/property_frame.h"

#include "camera/capture_filter.h"
#include "camera/com_ptr.h"
#include "camera/driver_description.h"
#include "framework/outside_messages.h"
#include "framework/win_app.h"
#include "platform/win32.h"
#include "res/resource.h"

namespace {

constexpr int kTitleSize = 256;
constexpr UINT kFrameX = 30;
constexpr UINT kFrameY = 30;

// The page list GetPages hands out, freed with the task allocator.
struct PageList {
    PageList() = default;
    ~PageList() { CoTaskMemFree(list.pElems); }
    PageList(const PageList&) = delete;
    PageList& operator=(const PageList&) = delete;

    CAUUID list{0, nullptr};
};

// The capture application's window, titled with the driver description. An empty description
// names no window: it would match any untitled one.
HWND FindCaptureWindow() {
    char description[kDriverDescriptionSize] = {};
    ReadDriverDescription(description);
    return description[0] != '\0' ? FindWindowA(nullptr, description) : nullptr;
}

}  // namespace

int IsPropertyFrameOpen() {
    char title[kTitleSize] = {};
    // Without its title the frame cannot be recognised; an empty title would match any
    // untitled window.
    if (LoadStringA(AfxGetResourceHandle(), IDS_PROPERTIES, title, kTitleSize) <= 0) {
        return 0;
    }
    return FindWindowA(nullptr, title) ? 1 : 0;
}

int ShowFilterPropertyFrame() {
    // The frame runs a modal loop, across which CaptureFilter's lock is not held and the binding
    // may change (the tray's "Off" releases it): the frame works on references of its own.
    camera::ComPtr<IBaseFilter> filter;
    camera::ComPtr<ISpecifyPropertyPages> page_source;
    {
        auto bound = CaptureFilter.Lock();
        if (!bound ||
            bound.Get()->QueryInterface(IID_ISpecifyPropertyPages, page_source.OutVoid()) != S_OK) {
            return 0;
        }
        bound.Get()->AddRef();
        filter = camera::ComPtr<IBaseFilter>(bound.Get());
    }
    PageList pages;
    page_source->GetPages(&pages.list);
    const HWND owner = FindCaptureWindow();
    const framework::NestedLoop nested;
    LPUNKNOWN objects[] = {filter.Get()};
    OleCreatePropertyFrame(owner, kFrameX, kFrameY, L"", 1, objects, pages.list.cElems,
                           pages.list.pElems, 0, 0, nullptr);
    return 0;
}
