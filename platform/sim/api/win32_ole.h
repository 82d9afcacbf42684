// The OLE property frame (olectl.h): a modal frame showing the property pages of objects.
#pragma once

#include "platform/sim/api/win32_com.h"
#include "platform/sim/api/win32_types.h"

using LCID = DWORD;
using LPCLSID = CLSID*;

HRESULT WINAPI OleCreatePropertyFrame(HWND hwndOwner, UINT x, UINT y, LPCOLESTR lpszCaption,
                                      ULONG cObjects, LPUNKNOWN* ppUnk, ULONG cPages,
                                      LPCLSID pPageClsID, LCID lcid, DWORD dwReserved,
                                      LPVOID pvReserved);
