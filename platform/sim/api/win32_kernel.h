// Kernel functions (processthreadsapi.h, synchapi.h, sysinfoapi.h, handleapi.h) on the virtual
// clock, and the user's profile (winbase.h).
#pragma once

#include "platform/sim/api/win32_types.h"

using THREAD_START_ROUTINE = DWORD(WINAPI*)(LPVOID lpThreadParameter);
using PTHREAD_START_ROUTINE = THREAD_START_ROUTINE;
using LPTHREAD_START_ROUTINE = THREAD_START_ROUTINE;

#define INFINITE 0xFFFFFFFF
#define WAIT_OBJECT_0 0x00000000L
#define WAIT_TIMEOUT 258L
#define WAIT_FAILED 0xFFFFFFFF
#define STILL_ACTIVE 259L
#define CREATE_SUSPENDED 0x00000004
#define STACK_SIZE_PARAM_IS_A_RESERVATION 0x00010000

void WINAPI Sleep(DWORD dwMilliseconds);
DWORD WINAPI GetTickCount();
DWORD WINAPI GetCurrentThreadId();
DWORD WINAPI GetCurrentProcessId();

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, SIZE_T dwStackSize,
                           LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                           DWORD dwCreationFlags, LPDWORD lpThreadId);
BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);
HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset,
                           BOOL bInitialState, LPCSTR lpName);
BOOL WINAPI SetEvent(HANDLE hEvent);
BOOL WINAPI ResetEvent(HANDLE hEvent);
DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
BOOL WINAPI CloseHandle(HANDLE hObject);

// Slim reader/writer locks, exclusive use only. Nothing on the machine may hold one across a
// wait: only one thread runs at a time, so a lock found held could never be let go.
typedef struct _RTL_SRWLOCK {
    PVOID Ptr;
} RTL_SRWLOCK, SRWLOCK, *PSRWLOCK;
#define RTL_SRWLOCK_INIT \
    { 0 }
#define SRWLOCK_INIT RTL_SRWLOCK_INIT
void WINAPI InitializeSRWLock(PSRWLOCK SRWLock);
void WINAPI AcquireSRWLockExclusive(PSRWLOCK SRWLock);
void WINAPI ReleaseSRWLockExclusive(PSRWLOCK SRWLock);

DWORD WINAPI GetProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                               LPSTR lpReturnedString, DWORD nSize);
