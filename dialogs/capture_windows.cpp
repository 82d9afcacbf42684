#include "dialogs/capture_windows.h"

#include <string>

#include "camera/driver_description.h"

namespace {

constexpr std::size_t kTitleLength = 255;
constexpr DWORD kProfileValueSize = 256;

HWND FindTitled(const char* title) {
    return FindWindowA(nullptr, title);
}

}  // namespace

void CaptureWindows::EnableCaptureWindows(BOOL enable) {
    if (const HWND vidcap = FindTitled("VidCap")) {
        EnableWindow(vidcap, enable);
        return;
    }
    if (const HWND amcap = FindTitled("AMCAP")) {
        m_rememberedAmcap = amcap;
        EnableWindow(amcap, enable);
        return;
    }
    // AMCAP titles its window with the file it captures to.
    char capture_file[kProfileValueSize] = {};
    GetProfileStringA("annie", "CaptureFile", "", capture_file, kProfileValueSize);
    std::string title = "AMCAP - ";
    title += std::string(capture_file).substr(0, kTitleLength - title.size());
    if (const HWND amcap = FindTitled(title.c_str())) {
        EnableWindow(amcap, enable);
        return;
    }
    char description[kDriverDescriptionSize] = {};
    ReadDriverDescription(description);
    if (description[0] != '\0') {
        if (const HWND preview = FindTitled(description)) {
            EnableWindow(preview, enable);
        }
    }
    if (m_rememberedAmcap) {
        EnableWindow(m_rememberedAmcap, enable);
    }
}
