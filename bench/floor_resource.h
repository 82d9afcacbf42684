// Resource ids of Floor.exe.
#pragma once

#define IDD_FLOOR 102
#define IDB_FLOOR_MARK 138
#define IDI_FLOOR_TRAY 160
#define IDR_FLOOR_MENU 174
#define IDD_FLOOR_SETTINGS 200
#define IDC_FLOOR_TAB 1200
#define IDC_FLOOR_CLOSE 1201

#define ID_FLOOR_EXIT 32772
#define ID_FLOOR_ON 32827
#define ID_FLOOR_OFF 32828
#define ID_FLOOR_50HZ 32830
#define ID_FLOOR_60HZ 32831
