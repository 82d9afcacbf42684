// Device-installation services (setupapi.h) and the configuration manager (cfgmgr32.h).
#pragma once

#include "platform/sim/api/win32_types.h"

using HDEVINFO = PVOID;
using DEVINST = DWORD;
using DI_FUNCTION = UINT;
using CONFIGRET = DWORD;
using HMACHINE = HANDLE;

struct SP_DEVINFO_DATA {
    DWORD cbSize;
    GUID ClassGuid;
    DWORD DevInst;
    ULONG_PTR Reserved;
};
using PSP_DEVINFO_DATA = SP_DEVINFO_DATA*;

using HSPFILEQ = PVOID;
using PSP_FILE_CALLBACK_A = UINT(CALLBACK*)(PVOID Context, UINT Notification, UINT_PTR Param1,
                                            UINT_PTR Param2);

// A device-info element's installation parameters; Flags tells whether a change the class
// installer made waits for a restart.
struct SP_DEVINSTALL_PARAMS_A {
    DWORD cbSize;
    DWORD Flags;
    DWORD FlagsEx;
    HWND hwndParent;
    PSP_FILE_CALLBACK_A InstallMsgHandler;
    PVOID InstallMsgHandlerContext;
    HSPFILEQ FileQueue;
    ULONG_PTR ClassInstallReserved;
    DWORD Reserved;
    CHAR DriverPath[MAX_PATH];
};
using PSP_DEVINSTALL_PARAMS_A = SP_DEVINSTALL_PARAMS_A*;

// The longest device instance ID, without its terminating zero (cfgmgr32.h).
#define MAX_DEVICE_ID_LEN 200

#define DI_NEEDRESTART 0x00000080L
#define DI_NEEDREBOOT 0x00000100L

struct SP_CLASSINSTALL_HEADER {
    DWORD cbSize;
    DI_FUNCTION InstallFunction;
};
using PSP_CLASSINSTALL_HEADER = SP_CLASSINSTALL_HEADER*;

struct SP_PROPCHANGE_PARAMS {
    SP_CLASSINSTALL_HEADER ClassInstallHeader;
    DWORD StateChange;
    DWORD Scope;
    DWORD HwProfile;
};

#define DIGCF_DEFAULT 0x00000001
#define DIGCF_PRESENT 0x00000002
#define DIGCF_ALLCLASSES 0x00000004
#define DIGCF_PROFILE 0x00000008
#define DIGCF_DEVICEINTERFACE 0x00000010

#define SPDRP_DEVICEDESC 0x00000000
#define SPDRP_HARDWAREID 0x00000001
#define SPDRP_FRIENDLYNAME 0x0000000C

#define DIF_PROPERTYCHANGE 0x00000012

#define DICS_ENABLE 0x00000001
#define DICS_DISABLE 0x00000002
#define DICS_PROPCHANGE 0x00000003
#define DICS_START 0x00000004
#define DICS_STOP 0x00000005
#define DICS_FLAG_GLOBAL 0x00000001
#define DICS_FLAG_CONFIGSPECIFIC 0x00000002

#define DN_DRIVER_LOADED 0x00000002
#define DN_STARTED 0x00000008
#define DN_DISABLEABLE 0x00002000
#define DN_NEED_RESTART 0x00000100
#define DN_HAS_PROBLEM 0x00000400
#define DN_PRIVATE_PROBLEM 0x00008000
#define DN_NT_ENUMERATOR 0x00800000
#define DN_NT_DRIVER 0x01000000

#define CM_PROB_NEED_RESTART 0x0000000E
#define CM_PROB_DISABLED 0x00000016

#define CR_SUCCESS 0x00000000
#define CR_INVALID_POINTER 0x00000003
#define CR_INVALID_FLAG 0x0000000B
#define CR_FAILURE 0x00000013
#define CR_INVALID_MACHINENAME 0x0000002F
#define CR_INVALID_DEVNODE 0x00000005
#define CR_NO_SUCH_DEVNODE 0x0000000D
#define CR_NO_SUCH_DEVINST CR_NO_SUCH_DEVNODE

#define ERROR_NO_SUCH_DEVINST 0xE000020BL
#define ERROR_INVALID_USER_BUFFER 1784L
#define ERROR_INVALID_FLAGS 1004L
#define ERROR_DI_DO_DEFAULT 0xE000020EL

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* ClassGuid, PCSTR Enumerator, HWND hwndParent,
                                     DWORD Flags);
BOOL WINAPI SetupDiEnumDeviceInfo(HDEVINFO DeviceInfoSet, DWORD MemberIndex,
                                  PSP_DEVINFO_DATA DeviceInfoData);
BOOL WINAPI SetupDiGetDeviceRegistryPropertyA(HDEVINFO DeviceInfoSet,
                                              PSP_DEVINFO_DATA DeviceInfoData, DWORD Property,
                                              PDWORD PropertyRegDataType, PBYTE PropertyBuffer,
                                              DWORD PropertyBufferSize, PDWORD RequiredSize);
BOOL WINAPI SetupDiSetClassInstallParamsA(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                          PSP_CLASSINSTALL_HEADER ClassInstallParams,
                                          DWORD ClassInstallParamsSize);
BOOL WINAPI SetupDiCallClassInstaller(DI_FUNCTION InstallFunction, HDEVINFO DeviceInfoSet,
                                      PSP_DEVINFO_DATA DeviceInfoData);
BOOL WINAPI SetupDiGetDeviceInstallParamsA(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                           PSP_DEVINSTALL_PARAMS_A DeviceInstallParams);
BOOL WINAPI SetupDiGetDeviceInstanceIdA(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                        PSTR DeviceInstanceId, DWORD DeviceInstanceIdSize,
                                        PDWORD RequiredSize);
BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet);
CONFIGRET WINAPI CM_Get_DevNode_Status_Ex(PULONG pulStatus, PULONG pulProblemNumber,
                                          DEVINST dnDevInst, ULONG ulFlags, HMACHINE hMachine);
