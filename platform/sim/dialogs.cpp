#include "platform/sim/dialogs.h"

#include "platform/sim/machine.h"
#include "platform/sim/res/res_file.h"

namespace sim {

namespace {

// Messages whose result a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message) {
    switch (message) {
        case WM_INITDIALOG:
        case WM_QUERYDRAGICON:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            return true;
        default:
            return message >= 0x0132 && message <= 0x0138;  // the other WM_CTLCOLOR messages
    }
}

constexpr DWORD kButtonTypeMask = BS_TYPEMASK;

}  // namespace

Dialogs::Dialogs(Machine& machine) : machine_(machine) {
    WindowManager& windows = machine_.windows();
    windows.RegisterClassProcedure(u"#32770", [this](HWND h, UINT m, WPARAM w, LPARAM l) {
        return DialogProcedure(h, m, w, l);
    });
}

RECT Dialogs::ToPixels(short x, short y, short cx, short cy, UINT dpi) {
    // The font's base units grow with the scale: 6 x 12 pixels at 100 %.
    const long long scale = static_cast<long long>(dpi);
    auto px = [scale](int du) { return static_cast<LONG>(du * 6 * scale / (4 * 96)); };
    auto py = [scale](int du) { return static_cast<LONG>(du * 12 * scale / (8 * 96)); };
    return RECT{px(x), py(y), px(x + cx), py(y + cy)};
}

HWND Dialogs::Create(WORD template_id, HWND parent, DLGPROC procedure, LPARAM param) {
    const res::ResFile* resources = machine_.program().Resources();
    const auto dialog =
        resources ? resources->Dialog(template_id, machine_.locale().ui_language) : std::nullopt;
    if (!dialog) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    WindowManager& windows = machine_.windows();
    if (parent && !windows.Find(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if ((dialog->style & WS_CHILD) && !parent) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    const std::u16string class_name = dialog->class_name.empty() ? u"#32770" : dialog->class_name;
    const bool visible = (dialog->style & WS_VISIBLE) != 0;
    // A child dialog takes its parent's scale; a top-level one the monitor's where it opens.
    const bool child = (dialog->style & WS_CHILD) != 0;
    const UINT dpi = child ? windows.Find(parent)->dpi
                           : machine_.display()
                                 .Nearest(ToPixels(dialog->x, dialog->y, dialog->cx, dialog->cy))
                                 .dpi;
    const HWND hwnd = windows.Create(
        class_name, dialog->title, dialog->style & ~WS_VISIBLE, dialog->ex_style, parent, 0,
        ToPixels(dialog->x, dialog->y, dialog->cx, dialog->cy, dpi), nullptr);
    windows.Find(hwnd)->dialog_proc = procedure;
    HWND first_tab_stop = nullptr;
    for (const auto& item : dialog->items) {
        const HWND control =
            windows.Create(item.class_name, item.text_is_ordinal ? std::u16string() : item.text,
                           item.style | WS_CHILD, item.ex_style, hwnd, static_cast<int>(item.id),
                           ToPixels(item.x, item.y, item.cx, item.cy, dpi), nullptr);
        if (!first_tab_stop && (item.style & WS_TABSTOP) && !(item.style & WS_DISABLED)) {
            first_tab_stop = control;
        }
    }
    if (windows.CallProcedure(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(first_tab_stop),
                              param) &&
        windows.Find(hwnd)) {
        // The procedure may have changed the tab stops: the first is looked for again.
        const HWND focus = machine_.navigation().NextTabItem(hwnd, nullptr, false);
        if (focus) {
            windows.SetFocus(focus);
        }
    }
    if (visible && windows.Find(hwnd)) {
        windows.Show(hwnd, SW_SHOWNORMAL);
    }
    return windows.Find(hwnd) ? hwnd : nullptr;
}

std::optional<LRESULT> Dialogs::DialogProcedure(HWND hwnd, UINT message, WPARAM wparam,
                                                LPARAM lparam) {
    WindowManager& windows = machine_.windows();
    Window* window = windows.Find(hwnd);
    if (!window) {
        return LRESULT{0};
    }
    if (DLGPROC procedure = window->dialog_proc) {
        window->dialog_result = 0;
        const INT_PTR handled = procedure(hwnd, message, wparam, lparam);
        if (handled) {
            if (ReturnsDirectly(message)) {
                return handled;
            }
            const Window* after = windows.Find(hwnd);
            return after ? after->dialog_result : 0;
        }
        if (message == WM_INITDIALOG) {
            return LRESULT{0};
        }
        if (Window* after = windows.Find(hwnd)) {
            ++after->counts[message].defaulted;
        }
    }
    switch (message) {
        case WM_CLOSE: {
            const HWND cancel = Item(hwnd, IDCANCEL);
            if (!cancel || windows.Find(cancel)->Enabled()) {
                windows.Post(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                             reinterpret_cast<LPARAM>(cancel));
            }
            return LRESULT{0};
        }
        case WM_NEXTDLGCTL:
            machine_.navigation().NextDialogControl(hwnd, wparam, lparam);
            return LRESULT{0};
        case DM_GETDEFID:
            for (HWND child : windows.Children(hwnd)) {
                const Window* control = windows.Find(child);
                if (SameTextIgnoringCase(control->class_name, u"Button") &&
                    (control->style & kButtonTypeMask) == BS_DEFPUSHBUTTON) {
                    return static_cast<LRESULT>(MAKELPARAM(control->id, 0x534B));
                }
            }
            return static_cast<LRESULT>(MAKELPARAM(IDOK, 0x534B));
        case WM_DPICHANGED:
            // The dialog manager scales a dialog whose scale the system has just changed. The
            // rectangle is not copied between programs (Wine packs no WM_DPICHANGED; Windows
            // documents none), so another program's message carries its own pointer: it moves
            // nothing.
            if (const Window* dialog = windows.Find(hwnd); dialog && dialog->dpi_changing) {
                FollowDpi(hwnd, reinterpret_cast<const RECT*>(lparam));
            }
            return LRESULT{0};
        default:
            return std::nullopt;
    }
}

void Dialogs::FollowDpi(HWND dialog, const RECT* suggested) {
    WindowManager& windows = machine_.windows();
    const Window* window = windows.Find(dialog);
    if (!window || !window->TopLevel()) {
        return;
    }
    const UINT dpi = window->dpi;
    if (suggested) {
        windows.SetPosition(dialog, nullptr, suggested->left, suggested->top,
                            suggested->right - suggested->left, suggested->bottom - suggested->top,
                            SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Relayout(dialog, dpi);
}

void Dialogs::Relayout(HWND dialog, UINT dpi) {
    WindowManager& windows = machine_.windows();
    Window* window = windows.Find(dialog);
    if (!window || window->layout_dpi == dpi) {
        return;
    }
    const int from = static_cast<int>(window->layout_dpi);
    const int to = static_cast<int>(dpi);
    window->layout_dpi = dpi;
    for (HWND child : windows.Children(dialog)) {
        Window* control = windows.Find(child);
        const RECT& r = control->rect;
        control->rect = RECT{MulDiv(r.left, to, from), MulDiv(r.top, to, from),
                             MulDiv(r.right, to, from), MulDiv(r.bottom, to, from)};
        if (control->class_name == u"#32770") {
            Relayout(child, dpi);
        }
    }
}

HWND Dialogs::Item(HWND dialog, int id) const {
    for (HWND child : machine_.windows().Children(dialog)) {
        if (machine_.windows().Find(child)->id == id) {
            return child;
        }
    }
    return nullptr;
}

BOOL Dialogs::IsDialogMessage(HWND dialog, MSG* msg) {
    WindowManager& windows = machine_.windows();
    if (!msg || !windows.Find(dialog) ||
        (msg->hwnd != dialog && !windows.IsDescendant(dialog, msg->hwnd))) {
        return FALSE;
    }
    // A page that holds controls of its own leaves the keyboard to the dialog it sits in.
    dialog = machine_.navigation().Destination(dialog);
    if (machine_.navigation().HandleKey(dialog, *msg)) {
        return TRUE;
    }
    if (msg->message == WM_KEYDOWN) {
        if (msg->wParam == VK_ESCAPE) {
            windows.Send(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(Item(dialog, IDCANCEL)));
            return TRUE;
        }
        if (msg->wParam == VK_RETURN) {
            const int id = LOWORD(windows.Send(dialog, DM_GETDEFID, 0, 0));
            windows.Send(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(Item(dialog, id)));
            return TRUE;
        }
    }
    windows.Dispatch(msg);
    return TRUE;
}

}  // namespace sim
