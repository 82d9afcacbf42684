// The real Windows SDK headers, in the order they need each other.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h comes first; the rest build on it.
#include <cfgmgr32.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dbt.h>
#include <dde.h>
#include <setupapi.h>
#include <shellapi.h>
// COM and DirectShow; ks.h comes before ksmedia.h and ksproxy.h. The kernel-streaming GUIDs of
// ksmedia.h (such as PROPSETID_VIDCAP_VIDEOCONTROL) are only declared there: libksguid defines
// them.
#include <dshow.h>
#include <ks.h>
#include <ksmedia.h>
#include <ksproxy.h>
#include <olectl.h>
