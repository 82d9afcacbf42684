// Process tokens (processthreadsapi.h, securitybaseapi.h, winnt.h): only what tells whether a
// process runs with administrator rights.
#pragma once

#include "platform/sim/api/win32_types.h"

#define TOKEN_QUERY 0x0008
#define PROCESS_QUERY_LIMITED_INFORMATION 0x1000

// The SDK's enumeration, of which the simulated machine answers only TokenElevation.
enum TOKEN_INFORMATION_CLASS {
    TokenUser = 1,
    TokenElevationType = 18,
    TokenLinkedToken = 19,
    TokenElevation = 20,
};

struct TOKEN_ELEVATION {
    DWORD TokenIsElevated;
};
using PTOKEN_ELEVATION = TOKEN_ELEVATION*;

// The pseudo handle of the calling process; it needs no closing.
HANDLE WINAPI GetCurrentProcess();
// A handle to a process for asking after it (PROCESS_QUERY_LIMITED_INFORMATION only), closed with
// CloseHandle.
HANDLE WINAPI OpenProcess(DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwProcessId);
// The token of the calling process (GetCurrentProcess) or of a process handle. Every program on
// the machine runs with the rights the machine gives (sim::Machine::rights).
BOOL WINAPI OpenProcessToken(HANDLE ProcessHandle, DWORD DesiredAccess, PHANDLE TokenHandle);
BOOL WINAPI GetTokenInformation(HANDLE TokenHandle, TOKEN_INFORMATION_CLASS TokenInformationClass,
                                LPVOID TokenInformation, DWORD TokenInformationLength,
                                PDWORD ReturnLength);
