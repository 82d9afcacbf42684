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
#include <setupapi.h>
