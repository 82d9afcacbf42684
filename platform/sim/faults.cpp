#include "platform/sim/faults.h"

#include <algorithm>
#include <array>

namespace sim {

namespace {

// Every operation that consults the injector, by its published name.
constexpr std::array<std::string_view, 74> kKnownOperations = {
    "RegOpenKeyExA",
    "RegCreateKeyExA",
    "RegQueryValueExA",
    "RegSetValueExA",
    "RegEnumValueA",
    "RegCloseKey",
    "SetupDiGetClassDevsA",
    "SetupDiEnumDeviceInfo",
    "SetupDiGetDeviceRegistryPropertyA",
    "SetupDiSetClassInstallParamsA",
    "SetupDiCallClassInstaller",
    "SetupDiDestroyDeviceInfoList",
    "CM_Get_DevNode_Status_Ex",
    "SetupDiGetDeviceInstallParamsA",
    "SetupDiGetDeviceInstanceIdA",
    "RegisterDeviceNotificationA",
    "UnregisterDeviceNotification",
    "OpenProcess",
    "OpenProcessToken",
    "GetTokenInformation",
    "CreateDialogParamA",
    "FindWindowA",
    "PostMessageA",
    "GetMessageA",
    "SetTimer",
    "LoadMenuA",
    "TrackPopupMenu",
    "LoadImageA",
    "LoadBitmapA",
    "Shell_NotifyIconA",
    "GetSubMenu",
    "GetSystemMenu",
    "AppendMenuA",
    "SetMenuItemBitmaps",
    "DestroyMenu",
    "GetCursorPos",
    "LoadStringA",
    "DestroyIcon",
    "DeleteObject",
    "SetForegroundWindow",
    "KillTimer",
    "RegisterWindowMessageA",
    "ChangeWindowMessageFilterEx",
    "CoInitialize",
    "CoCreateInstance",
    "CoTaskMemAlloc",
    "ICreateDevEnum::CreateClassEnumerator",
    "IEnumMoniker::Next",
    "IEnumMoniker::Reset",
    "IMoniker::BindToStorage",
    "IMoniker::BindToObject",
    "IPropertyBag::Read",
    "IBaseFilter::QueryInterface",
    "IKsPropertySet::Get",
    "IKsPropertySet::Set",
    "IKsPropertySet::QuerySupported",
    "IAMVideoProcAmp::GetRange",
    "IAMVideoProcAmp::Set",
    "IAMVideoProcAmp::Get",
    "ISpecifyPropertyPages::GetPages",
    "OleCreatePropertyFrame",
    "WideCharToMultiByte",
    "MultiByteToWideChar",
    "CreateThread",
    "CreateEventA",
    "GetOpenFileNameA",
    "GetProfileStringA",
    "SetWindowsHookExA",
    "RegisterHotKey",
    "UnregisterHotKey",
    "RegisterClassA",
    "CreateWindowExA",
    // SendMessageA to a trackbar (TBM_*) or a button (BM_*): the message is not delivered.
    "SendMessageA(TBM)",
    "SendMessageA(BM)",
};

}  // namespace

bool FaultInjector::IsKnownOperation(std::string_view operation) {
    return std::find(kKnownOperations.begin(), kKnownOperations.end(), operation) !=
           kKnownOperations.end();
}

std::vector<std::string_view> FaultInjector::KnownOperations() {
    return {kKnownOperations.begin(), kKnownOperations.end()};
}

int FaultInjector::Calls(std::string_view operation) const {
    auto it = calls_.find(operation);
    return it == calls_.end() ? 0 : it->second;
}

void FaultInjector::Fail(std::string_view operation, int count, std::optional<std::uint32_t> code,
                         int after) {
    if (count == 0) {
        Clear(operation);
        return;
    }
    faults_[std::string(operation)] = Fault{count, code.value_or(0), after};
}

void FaultInjector::Clear(std::string_view operation) {
    if (auto it = faults_.find(operation); it != faults_.end()) {
        faults_.erase(it);
    }
}

void FaultInjector::ClearAll() {
    faults_.clear();
}

std::optional<std::uint32_t> FaultInjector::Take(std::string_view operation) {
    if (auto counted = calls_.find(operation); counted != calls_.end()) {
        ++counted->second;
    } else {
        calls_.emplace(std::string(operation), 1);
    }
    auto it = faults_.find(operation);
    if (it == faults_.end()) {
        return std::nullopt;
    }
    if (it->second.after > 0) {
        --it->second.after;
        return std::nullopt;
    }
    const std::uint32_t code = it->second.code;
    if (it->second.remaining != kAlways && --it->second.remaining == 0) {
        faults_.erase(it);
    }
    return code;
}

}  // namespace sim
