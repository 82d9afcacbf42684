// OleCreatePropertyFrame: the system's modal frame around the property pages of some objects.
// The pages themselves are not simulated; the frame is a window of the caller's thread with a
// nested loop that keeps that thread's messages flowing until the user closes it.
#include <string>
#include <vector>

#include "platform/sim/api/win32_ole.h"
#include "platform/sim/api/win32_user.h"
#include "platform/sim/com/com_object.h"

namespace {

constexpr LONG kFrameWidth = 360;
constexpr LONG kFrameHeight = 420;

// The system's own word for the frame's title, in the user's UI language.
std::u16string FrameTitle(unsigned short ui_language) {
    switch (ui_language) {
        case 2052:
            return u"\u5C5E\u6027";
        case 1028:
            return u"\u5167\u5BB9";
        default:
            return u"Properties";
    }
}

// OK and Cancel end the frame; the dialog class turns WM_CLOSE into Cancel.
INT_PTR CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM /*lparam*/) {
    if (message == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
        sim::Machine::Current().windows().Destroy(hwnd);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

HRESULT WINAPI OleCreatePropertyFrame(HWND hwndOwner, UINT x, UINT y, LPCOLESTR /*lpszCaption*/,
                                      ULONG cObjects, LPUNKNOWN* ppUnk, ULONG cPages,
                                      LPCLSID pPageClsID, LCID /*lcid*/, DWORD /*dwReserved*/,
                                      LPVOID /*pvReserved*/) {
    sim::Machine& machine = sim::Machine::Current();
    machine.trace().Record("OleCreatePropertyFrame");
    if (auto fault = sim::InjectedFault("OleCreatePropertyFrame", E_OUTOFMEMORY)) {
        return *fault;
    }
    if ((cObjects > 0 && !ppUnk) || (cPages > 0 && !pPageClsID)) {
        return E_POINTER;
    }
    for (ULONG i = 0; i < cObjects; ++i) {
        if (!ppUnk[i]) {
            return E_POINTER;
        }
    }

    // The pages hold the objects while the frame is open.
    std::vector<IUnknown*> objects(ppUnk, ppUnk + cObjects);
    for (IUnknown* object : objects) {
        object->AddRef();
    }

    sim::WindowManager& windows = machine.windows();
    const HWND owner = windows.Find(hwndOwner) ? hwndOwner : nullptr;
    const auto left = static_cast<LONG>(x);
    const auto top = static_cast<LONG>(y);
    const HWND frame =
        windows.Create(u"#32770", FrameTitle(machine.locale().ui_language),
                       WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME,
                       owner, 0, RECT{left, top, left + kFrameWidth, top + kFrameHeight}, nullptr);
    windows.Find(frame)->dialog_proc = FrameProc;
    const HWND disabled_owner = windows.Find(frame)->owner;
    // A modal frame disables its owner; one that was disabled already stays so afterwards.
    const bool owner_was_disabled = disabled_owner && windows.Enable(disabled_owner, false);
    windows.Show(frame, SW_SHOWNORMAL);

    // The frame's own loop, as a modal dialog's: every message of the thread is dispatched.
    while (windows.Find(frame)) {
        MSG msg;
        if (windows.Peek(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                windows.PostQuit(static_cast<int>(msg.wParam));
                break;
            }
            if (!machine.dialogs().IsDialogMessage(frame, &msg)) {
                windows.Dispatch(&msg);
            }
            continue;
        }
        windows.WaitForMessage([&windows, frame] { return windows.Find(frame) == nullptr; });
    }

    if (disabled_owner && !owner_was_disabled && windows.Find(disabled_owner)) {
        windows.Enable(disabled_owner, true);
    }
    if (windows.Find(frame)) {
        windows.Destroy(frame);
    }
    for (IUnknown* object : objects) {
        object->Release();
    }
    return S_OK;
}
