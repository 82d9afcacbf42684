// CWinApp: the application object, and the program's entry AfxWinMain.
#pragma once

#include "framework/cmd_target.h"
#include "framework/message_map.h"
#include "platform/win32.h"

class CWnd;

// The framework's standard help command.
inline constexpr UINT ID_HELP = 0xE146;

class CWinApp : public CCmdTarget {
public:
    // Registers this object as the application; exactly one exists at a time.
    CWinApp();
    ~CWinApp() override;

    // Start-up. FALSE ends the program at once with ExitInstance's code; TRUE runs the message
    // loop until WM_QUIT, or ends at once as well when there is no main window.
    virtual BOOL InitInstance();
    // The program's exit code: WM_QUIT's, or 0 when no loop ran.
    virtual int ExitInstance();
    // The message loop: until WM_QUIT (posted at once without a main window), then ExitInstance.
    virtual int Run();
    // First look at every message a framework loop takes from the queue: the message's window and
    // its parents (owners, for popups) up to the main window.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // Kept for the framework's start-up code: three-dimensional controls are the platform's own.
    BOOL Enable3dControls() { return TRUE; }

    // The help command: there is no help file, so nothing happens.
    void OnHelp() {}

    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = 0;
    // The window that owns dialogs opened without a parent; set by the application.
    CWnd* m_pMainWnd = nullptr;

protected:
    int m_nExitCode = 0;

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// The module whose resources the framework loads: the program's own.
HINSTANCE AfxGetResourceHandle();
// ActiveX control hosting in dialogs: the program's dialogs hold no such controls.
BOOL AfxEnableControlContainer();

// Offers a message taken from the queue to the framework before it is translated and dispatched;
// TRUE when it was consumed.
BOOL AfxPreTranslateMessage(MSG* pMsg);

// The program's entry: initialises the common controls, runs the application's InitInstance and
// then, if it asks for it, the message loop, all with a PostedMessageFilter on the thread (see
// framework/message_origin.h). Returns the exit code.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
