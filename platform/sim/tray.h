// The shell's notification area: icons by window and uID, as Shell_NotifyIcon leaves them, and
// the mouse events the shell delivers to their windows. The area can lose all its icons, as when
// the shell restarts; it then announces itself with the registered "TaskbarCreated" message.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/api/win32_user.h"
#include "platform/sim/recent_records.h"

namespace sim {

class Machine;

// A notification balloon on an icon (NIF_INFO): its title, its text and its icon flags
// (NIIF_*).
struct TrayBalloon {
    std::u16string title;
    std::u16string text;
    DWORD flags = 0;
    bool operator==(const TrayBalloon&) const = default;
};

struct TrayIcon {
    HWND hwnd = nullptr;
    UINT id = 0;
    UINT callback_message = 0;
    bool has_callback = false;
    std::optional<int> icon_resource;  // the shell keeps its own copy of the image
    int icon_width = 0;
    int icon_height = 0;
    std::u16string tip;
    // The balloon the icon shows, until a NIM_MODIFY without NIF_INFO (the program's next
    // refresh) or with an empty text takes it away.
    std::optional<TrayBalloon> balloon;
};

// A balloon as it was shown, on which icon.
struct ShownBalloon {
    HWND hwnd = nullptr;
    UINT id = 0;
    TrayBalloon balloon;
};

// One Shell_NotifyIconA call as the shell received it.
struct TrayRequest {
    DWORD message;
    DWORD size;
    UINT flags;
    HWND hwnd;
    UINT id;
    bool succeeded;
};

class Tray {
public:
    explicit Tray(Machine& machine) : machine_(machine) {}

    BOOL Notify(DWORD message, const NOTIFYICONDATAA* data);
    const std::vector<TrayIcon>& Icons() const { return icons_; }
    // The latest requests (at least the last kKeptRequests), and how many of each message came.
    static constexpr std::size_t kKeptRequests = 256;
    const std::vector<TrayRequest>& Requests() const { return requests_.Entries(); }
    int RequestCount(DWORD message) const;
    // The latest balloons shown (at least kKeptRequests), and how many were shown in all.
    const std::vector<ShownBalloon>& Balloons() const { return balloons_.Entries(); }
    std::uint64_t BalloonCount() const { return balloons_.Added(); }

    // Delivers a mouse event on the icon as the shell does. An icon whose window is gone
    // disappears when the mouse touches it. False when there is no such icon.
    bool MouseEvent(HWND hwnd, UINT id, UINT mouse_message);
    void Restart();

private:
    TrayIcon* Find(HWND hwnd, UINT id);
    void RecordBalloon(const TrayIcon& icon, UINT flags);

    Machine& machine_;
    std::vector<TrayIcon> icons_;
    RecentRecords<TrayRequest> requests_{kKeptRequests};
    RecentRecords<ShownBalloon> balloons_{kKeptRequests};
    std::map<DWORD, int> request_counts_;
};

}  // namespace sim
