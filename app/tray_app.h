// CTrayApp: the application object. It refuses to run beside a running copy and otherwise runs
// the hidden host window for the whole life of the process.
#pragma once

#include "framework/win_app.h"

class CTrayApp : public CWinApp {
public:
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

// The one application object.
extern CTrayApp theApp;
