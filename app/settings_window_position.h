// Where the user last left the settings window: its top-left corner on the virtual screen, kept
// for the user as REG_BINARY "SettingsWindowPosition" (two little-endian 32-bit integers, x then
// y) beside the remembered frequency.
#pragma once

#include <optional>

#include "platform/win32.h"

// Nothing when none is kept, or the value is not one this program wrote.
std::optional<POINT> ReadSettingsWindowPosition();
void KeepSettingsWindowPosition(POINT corner);
