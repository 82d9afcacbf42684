// System-wide keys (winuser.h): RegisterHotKey and the virtual-key codes their names use.
#pragma once

#include "platform/sim/api/win32_user.h"

#define WM_HOTKEY 0x0312

#define MOD_ALT 0x0001
#define MOD_CONTROL 0x0002
#define MOD_SHIFT 0x0004
#define MOD_WIN 0x0008
#define MOD_NOREPEAT 0x4000

#define ERROR_WINDOW_OF_OTHER_THREAD 1408L
#define ERROR_HOTKEY_ALREADY_REGISTERED 1409L
#define ERROR_HOTKEY_NOT_REGISTERED 1419L

#define VK_BACK 0x08
#define VK_PAUSE 0x13
#define VK_SNAPSHOT 0x2C
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_LWIN 0x5B
#define VK_F1 0x70
#define VK_F9 0x78
#define VK_F10 0x79
#define VK_F12 0x7B
#define VK_F24 0x87
#define VK_NUMLOCK 0x90
#define VK_SCROLL 0x91

// One owner per combination on the desktop; a window must be the calling thread's own. With a
// null window the key belongs to the calling thread, whose queue gets WM_HOTKEY without a window.
BOOL WINAPI RegisterHotKey(HWND hWnd, int id, UINT fsModifiers, UINT vk);
BOOL WINAPI UnregisterHotKey(HWND hWnd, int id);
