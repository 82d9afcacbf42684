// Resource ids of Floor.exe.
#pragma once

#define IDD_FLOOR 102
#define IDI_FLOOR_TRAY 160
