// The device-installation functions, on the current machine.
#include "platform/sim/api/win32_setupapi.h"
#include "platform/sim/api_impl/api_support.h"

namespace {

bool Injected(const char* operation, DWORD error) {
    return sim::api::FailsByInjection(operation, error);
}

}  // namespace

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* ClassGuid, PCSTR Enumerator, HWND /*hwndParent*/,
                                     DWORD Flags) {
    auto& machine = sim::Machine::Current();
    if (Injected("SetupDiGetClassDevsA", ERROR_NOT_ENOUGH_MEMORY)) {
        return INVALID_HANDLE_VALUE;
    }
    return machine.devices().GetClassDevs(ClassGuid, Enumerator, Flags);
}

BOOL WINAPI SetupDiEnumDeviceInfo(HDEVINFO DeviceInfoSet, DWORD MemberIndex,
                                  PSP_DEVINFO_DATA DeviceInfoData) {
    auto& machine = sim::Machine::Current();
    if (Injected("SetupDiEnumDeviceInfo", ERROR_NO_MORE_ITEMS)) {
        return FALSE;
    }
    return machine.devices().EnumDeviceInfo(DeviceInfoSet, MemberIndex, DeviceInfoData);
}

BOOL WINAPI SetupDiGetDeviceRegistryPropertyA(HDEVINFO DeviceInfoSet,
                                              PSP_DEVINFO_DATA DeviceInfoData, DWORD Property,
                                              PDWORD PropertyRegDataType, PBYTE PropertyBuffer,
                                              DWORD PropertyBufferSize, PDWORD RequiredSize) {
    auto& machine = sim::Machine::Current();
    if (Injected("SetupDiGetDeviceRegistryPropertyA", ERROR_INVALID_DATA)) {
        return FALSE;
    }
    return machine.devices().GetHardwareIdProperty(DeviceInfoSet, DeviceInfoData, Property,
                                                   PropertyRegDataType, PropertyBuffer,
                                                   PropertyBufferSize, RequiredSize);
}

BOOL WINAPI SetupDiSetClassInstallParamsA(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                          PSP_CLASSINSTALL_HEADER ClassInstallParams,
                                          DWORD ClassInstallParamsSize) {
    auto& machine = sim::Machine::Current();
    if (Injected("SetupDiSetClassInstallParamsA", ERROR_ACCESS_DENIED)) {
        return FALSE;
    }
    return machine.devices().SetClassInstallParams(DeviceInfoSet, DeviceInfoData,
                                                   ClassInstallParams, ClassInstallParamsSize);
}

BOOL WINAPI SetupDiCallClassInstaller(DI_FUNCTION InstallFunction, HDEVINFO DeviceInfoSet,
                                      PSP_DEVINFO_DATA DeviceInfoData) {
    auto& machine = sim::Machine::Current();
    if (Injected("SetupDiCallClassInstaller", ERROR_ACCESS_DENIED)) {
        return FALSE;
    }
    // Changing a device's state is for administrators: a standard user's request is refused
    // and the device stays as it was.
    if (InstallFunction == DIF_PROPERTYCHANGE && !machine.rights().administrator) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return machine.devices().CallClassInstaller(InstallFunction, DeviceInfoSet, DeviceInfoData);
}

BOOL WINAPI SetupDiGetDeviceInstallParamsA(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                           PSP_DEVINSTALL_PARAMS_A DeviceInstallParams) {
    auto& machine = sim::Machine::Current();
    if (Injected("SetupDiGetDeviceInstallParamsA", ERROR_INVALID_PARAMETER)) {
        return FALSE;
    }
    return machine.devices().GetInstallParams(DeviceInfoSet, DeviceInfoData, DeviceInstallParams);
}

BOOL WINAPI SetupDiGetDeviceInstanceIdA(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                        PSTR DeviceInstanceId, DWORD DeviceInstanceIdSize,
                                        PDWORD RequiredSize) {
    auto& machine = sim::Machine::Current();
    if (Injected("SetupDiGetDeviceInstanceIdA", ERROR_INVALID_PARAMETER)) {
        return FALSE;
    }
    return machine.devices().GetInstanceId(DeviceInfoSet, DeviceInfoData, DeviceInstanceId,
                                           DeviceInstanceIdSize, RequiredSize);
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet) {
    auto& machine = sim::Machine::Current();
    if (Injected("SetupDiDestroyDeviceInfoList", ERROR_INVALID_HANDLE)) {
        return FALSE;
    }
    return machine.devices().DestroyList(DeviceInfoSet);
}

CONFIGRET WINAPI CM_Get_DevNode_Status_Ex(PULONG pulStatus, PULONG pulProblemNumber,
                                          DEVINST dnDevInst, ULONG ulFlags, HMACHINE hMachine) {
    auto& machine = sim::Machine::Current();
    if (auto code = machine.faults().Take("CM_Get_DevNode_Status_Ex")) {
        return *code != 0 ? *code : CR_FAILURE;
    }
    if (hMachine) {
        return CR_INVALID_MACHINENAME;
    }
    return machine.devices().GetStatus(pulStatus, pulProblemNumber, dnDevInst, ulFlags);
}
