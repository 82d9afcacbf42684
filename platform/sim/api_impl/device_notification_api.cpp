// Device-event registrations of a window, on the current machine.
#include "platform/sim/api/win32_user.h"
#include "platform/sim/api_impl/api_support.h"

HDEVNOTIFY WINAPI RegisterDeviceNotificationA(HANDLE hRecipient, LPVOID NotificationFilter,
                                              DWORD Flags) {
    sim::Machine& machine = sim::api::M();
    machine.trace().Record("RegisterDeviceNotificationA");
    if (sim::api::FailsByInjection("RegisterDeviceNotificationA", ERROR_NOT_ENOUGH_MEMORY)) {
        return nullptr;
    }
    return machine.system_events().Register(hRecipient, NotificationFilter, Flags);
}

BOOL WINAPI UnregisterDeviceNotification(HDEVNOTIFY Handle) {
    sim::Machine& machine = sim::api::M();
    machine.trace().Record("UnregisterDeviceNotification");
    if (sim::api::FailsByInjection("UnregisterDeviceNotification", ERROR_INVALID_HANDLE)) {
        return FALSE;
    }
    return machine.system_events().Unregister(Handle) ? TRUE : FALSE;
}
