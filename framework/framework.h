// The application framework in one include.
#pragma once

#include "framework/bitmap.h"
#include "framework/controls.h"
#include "framework/cstring.h"
#include "framework/data_exchange.h"
#include "framework/dialog.h"
#include "framework/icon_handle.h"
#include "framework/menu.h"
#include "framework/message_map.h"
#include "framework/paint_dc.h"
#include "framework/win_app.h"
#include "framework/wnd.h"
