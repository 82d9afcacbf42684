// The Windows API surface of the simulated machine: the subset Lumiset uses, under the SDK's
// own names, types and constants.
#pragma once

#include "platform/sim/api/win32_com.h"
#include "platform/sim/api/win32_commctrl.h"
#include "platform/sim/api/win32_commdlg.h"
#include "platform/sim/api/win32_dbt.h"
#include "platform/sim/api/win32_dshow.h"
#include "platform/sim/api/win32_hotkeys.h"
#include "platform/sim/api/win32_kernel.h"
#include "platform/sim/api/win32_ole.h"
#include "platform/sim/api/win32_registry.h"
#include "platform/sim/api/win32_security.h"
#include "platform/sim/api/win32_setupapi.h"
#include "platform/sim/api/win32_types.h"
#include "platform/sim/api/win32_user.h"
