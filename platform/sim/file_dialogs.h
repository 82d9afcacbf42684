// The system's file-open dialog: a modal window of the calling thread whose nested loop keeps
// that thread's messages flowing until the desktop's user picks a file or cancels. There is no
// file system behind it: the path the user gives is the file chosen.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/api/win32_user.h"

namespace sim {

class Machine;

class FileDialogs {
public:
    explicit FileDialogs(Machine& machine) : machine_(machine) {}

    // Shows the dialog, owned by `owner` (which stays disabled meanwhile) or by nobody, and runs
    // its loop. The chosen path, or nullopt when the user cancelled, the window went away or
    // WM_QUIT ended the loop (it is posted again for the loop outside).
    std::optional<std::u16string> Run(HWND owner, std::u16string title);

    // The desktop's side, acting on the dialog shown last.
    bool IsOpen() const;
    // Picks `path` (nullopt cancels); false when no dialog is open or the path is empty.
    bool Answer(std::optional<std::u16string> path);

private:
    struct Open {
        HWND window = nullptr;
        bool ended = false;
        std::optional<std::u16string> choice;
    };

    Open* Top() const;
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

    Machine& machine_;
    std::vector<std::shared_ptr<Open>> open_;
};

}  // namespace sim
