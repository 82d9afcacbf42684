#include "platform/sim/tray.h"

#include <algorithm>
#include <cstring>

#include "platform/sim/codepage.h"
#include "platform/sim/machine.h"

namespace sim {

namespace {

bool KnownSize(DWORD size) {
    return size == NOTIFYICONDATAA_V1_SIZE || size == NOTIFYICONDATAA_V2_SIZE ||
           size == NOTIFYICONDATAA_V3_SIZE || size == sizeof(NOTIFYICONDATAA);
}

std::u16string AnsiField(const char* field, size_t room, unsigned code_page) {
    return AnsiToUtf16(std::string_view(field, strnlen(field, room - 1)), code_page);
}

}  // namespace

TrayIcon* Tray::Find(HWND hwnd, UINT id) {
    auto it = std::find_if(icons_.begin(), icons_.end(), [&](const TrayIcon& icon) {
        return icon.hwnd == hwnd && icon.id == id;
    });
    return it == icons_.end() ? nullptr : &*it;
}

BOOL Tray::Notify(DWORD message, const NOTIFYICONDATAA* data) {
    if (!data) {
        return FALSE;
    }
    TrayRequest request{message, data->cbSize, data->uFlags, data->hWnd, data->uID, false};
    TrayIcon* existing = Find(data->hWnd, data->uID);
    const bool valid = KnownSize(data->cbSize) && machine_.windows().Find(data->hWnd);
    TrayIcon updated;
    if (valid && (message == NIM_ADD || message == NIM_MODIFY)) {
        if (existing) {
            updated = *existing;
        } else {
            updated.hwnd = data->hWnd;
            updated.id = data->uID;
        }
        if (data->uFlags & NIF_MESSAGE) {
            updated.callback_message = data->uCallbackMessage;
            updated.has_callback = true;
        }
        if (data->uFlags & NIF_ICON) {
            updated.icon_resource.reset();
            if (auto icon = machine_.gdi().Find(data->hIcon);
                icon && icon->kind == GdiObject::Kind::Icon) {
                updated.icon_resource = icon->resource_id;
                updated.icon_width = icon->width;
                updated.icon_height = icon->height;
            }
        }
        if (data->uFlags & NIF_TIP) {
            const size_t room = data->cbSize == NOTIFYICONDATAA_V1_SIZE ? 64 : 128;
            const size_t length = strnlen(data->szTip, room - 1);
            updated.tip = AnsiToUtf16(std::string_view(data->szTip, length),
                                      machine_.locale().ansi_code_page);
        }
        // The first version of the record ends before the balloon's fields.
        if ((data->uFlags & NIF_INFO) && data->cbSize != NOTIFYICONDATAA_V1_SIZE) {
            const unsigned code_page = machine_.locale().ansi_code_page;
            TrayBalloon balloon{AnsiField(data->szInfoTitle, sizeof data->szInfoTitle, code_page),
                                AnsiField(data->szInfo, sizeof data->szInfo, code_page),
                                data->dwInfoFlags};
            updated.balloon.reset();
            if (!balloon.text.empty()) {
                updated.balloon = std::move(balloon);
            }
        } else if (message == NIM_MODIFY) {
            updated.balloon.reset();
        }
    }
    switch (message) {
        case NIM_ADD:
            request.succeeded = valid && !existing;
            if (request.succeeded) {
                icons_.push_back(updated);
                RecordBalloon(updated, data->uFlags);
            }
            break;
        case NIM_MODIFY:
            request.succeeded = valid && existing;
            if (request.succeeded) {
                *existing = updated;
                RecordBalloon(updated, data->uFlags);
            }
            break;
        case NIM_DELETE:
            request.succeeded = existing != nullptr;
            if (existing) {
                icons_.erase(icons_.begin() + (existing - icons_.data()));
            }
            break;
        default:
            break;
    }
    requests_.Add(request);
    ++request_counts_[message];
    return request.succeeded ? TRUE : FALSE;
}

void Tray::RecordBalloon(const TrayIcon& icon, UINT flags) {
    if ((flags & NIF_INFO) && icon.balloon) {
        balloons_.Add(ShownBalloon{icon.hwnd, icon.id, *icon.balloon});
    }
}

int Tray::RequestCount(DWORD message) const {
    auto it = request_counts_.find(message);
    return it == request_counts_.end() ? 0 : it->second;
}

bool Tray::MouseEvent(HWND hwnd, UINT id, UINT mouse_message) {
    TrayIcon* icon = Find(hwnd, id);
    if (!icon) {
        return false;
    }
    if (!machine_.windows().Find(hwnd)) {
        icons_.erase(icons_.begin() + (icon - icons_.data()));
        return true;
    }
    // The shell posts the event: it reaches the window through whatever loop is running there.
    if (icon->has_callback) {
        machine_.windows().Post(hwnd, icon->callback_message, id, mouse_message);
    }
    machine_.kernel().Settle();
    return true;
}

void Tray::Restart() {
    icons_.clear();
    WindowManager& windows = machine_.windows();
    const UINT created = windows.RegisterMessage(u"TaskbarCreated");
    for (HWND hwnd : windows.TopLevelWindows()) {
        windows.SendNotify(hwnd, created, 0, 0);
    }
    machine_.kernel().Settle();
}

}  // namespace sim
