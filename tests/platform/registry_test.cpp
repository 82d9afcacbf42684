// The simulated registry beyond the calls checked on both builds (calls/registry_calls_test.cpp):
// handle accounting, injected faults, the order of values and the camera's driver keys.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/camera/driver_registry.h"
#include "platform/sim/machine.h"
#include "platform/win32.h"
#include "tests/platform/calls/registry_value_names.h"

namespace {

using calls::ValueNames;

constexpr const char* kKey = "SOFTWARE\\Test\\Key";

class RegistryTest : public ::testing::Test {
protected:
    sim::Machine machine;

    HKEY OpenKey(REGSAM access) {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, access, &key), ERROR_SUCCESS);
        return key;
    }
};

TEST_F(RegistryTest, OpenMissingKeyFailsAndLeavesNoHandle) {
    HKEY key = reinterpret_cast<HKEY>(0x1234);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(machine.resources().Open(sim::kinds::kRegistryKey), 0);
}

TEST_F(RegistryTest, CreateReportsDispositionAndNamesAreCaseInsensitive) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "software\\TEST\\key", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    const DWORD one = 1;
    EXPECT_EQ(RegSetValueExA(key, "Value", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4),
              ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(machine.registry().GetValue(HKEY_LOCAL_MACHINE, kKey, "VALUE")->AsDword(), 1u);
    EXPECT_EQ(machine.resources().Open(sim::kinds::kRegistryKey), 0);
}

TEST_F(RegistryTest, QueryReportsTypeSizeAndMoreData) {
    machine.registry().SetString(HKEY_LOCAL_MACHINE, kKey, "Text", "hello");
    HKEY key = OpenKey(KEY_READ);

    DWORD type = 0;
    DWORD size = 4;
    BYTE buffer[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_EQ(RegQueryValueExA(key, "Text", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(buffer[0], 0xAA) << "a value that does not fit is not copied";

    size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Text", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);

    EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, nullptr, buffer, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExA(key, "Text", nullptr, nullptr, buffer, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, InjectedFaultsFailTheNamedCallOnly) {
    machine.registry().SetDword(HKEY_LOCAL_MACHINE, kKey, "Value", 1);
    machine.faults().Fail("RegOpenKeyExA", 2);
    HKEY key = reinterpret_cast<HKEY>(0x1234);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key, nullptr);
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);

    machine.faults().Fail("RegQueryValueExA", sim::FaultInjector::kAlways, ERROR_GEN_FAILURE);
    DWORD value = 0;
    DWORD size = sizeof value;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(RegQueryValueExA(key, "Value", nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                                   &size),
                  ERROR_GEN_FAILURE);
    }
    machine.faults().Clear("RegQueryValueExA");
    EXPECT_EQ(
        RegQueryValueExA(key, "Value", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
        ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(RegistryTest, EnumValueListsInCreationOrderAndLeavesShortBuffersAlone) {
    sim::Registry& registry = machine.registry();
    registry.SetDword(HKEY_LOCAL_MACHINE, kKey, "Zeta", 1);
    registry.SetString(HKEY_LOCAL_MACHINE, kKey, "Alpha", "hello");
    registry.SetDword(HKEY_LOCAL_MACHINE, kKey, "ZETA", 5);  // keeps its place and its name
    HKEY key = OpenKey(KEY_READ);
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"Zeta", "Alpha"}));

    // A name that does not fit changes neither the buffer nor the count.
    char name[8];
    std::memset(name, 'x', sizeof name);
    DWORD chars = 5;
    EXPECT_EQ(RegEnumValueA(key, 1, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    EXPECT_EQ(chars, 5u);
    EXPECT_EQ(name[0], 'x');

    registry.DeleteValue(HKEY_LOCAL_MACHINE, kKey, "zeta");
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"Alpha"}));
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, EnumValueNeedsQueryAccessALiveKeyAndTakesFaults) {
    machine.registry().SetDword(HKEY_LOCAL_MACHINE, kKey, "Value", 1);
    char name[16];
    DWORD chars = sizeof name;
    HKEY writer = OpenKey(KEY_SET_VALUE);
    EXPECT_EQ(RegEnumValueA(writer, 0, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(writer), ERROR_SUCCESS);
    EXPECT_EQ(RegEnumValueA(writer, 0, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);

    HKEY key = OpenKey(KEY_READ);
    machine.faults().Fail("RegEnumValueA");
    EXPECT_EQ(RegEnumValueA(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_ACCESS_DENIED);
    machine.faults().Fail("RegEnumValueA", 1, ERROR_GEN_FAILURE);
    EXPECT_EQ(RegEnumValueA(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_GEN_FAILURE);
    EXPECT_EQ(RegEnumValueA(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);

    ASSERT_TRUE(machine.registry().DeleteKey(HKEY_LOCAL_MACHINE, kKey));
    chars = sizeof name;
    EXPECT_EQ(RegEnumValueA(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(machine.resources().Open(sim::kinds::kRegistryKey), 0);
}

TEST_F(RegistryTest, StandardUserReadsButCannotChangeTheMachinesKeys) {
    machine.registry().SetDword(HKEY_LOCAL_MACHINE, kKey, "Value", 1);
    machine.rights().administrator = false;
    HKEY key = reinterpret_cast<HKEY>(0x1234);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(key, nullptr);
    key = reinterpret_cast<HKEY>(0x1234);
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test\\New", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(key, nullptr);
    EXPECT_FALSE(machine.registry().KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test\\New"));
    key = OpenKey(KEY_READ);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    // The user's own hive stays theirs.
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    machine.rights().administrator = true;
    key = OpenKey(KEY_ALL_ACCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(machine.resources().Open(sim::kinds::kRegistryKey), 0);
}

TEST_F(RegistryTest, PluggedInCameraBringsItsDriverKeys) {
    namespace driver = sim::driver_registry;
    const std::string driver_key(driver::kDriverKey);
    const std::string instance_key(driver::kInstanceKey);
    EXPECT_FALSE(machine.registry().KeyExists(HKEY_LOCAL_MACHINE, driver_key));
    machine.video().PlugInCamera();

    // Read as the program reads them: through the API.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, driver_key.c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"InstanceIndex", "ii0001"}));
    DWORD type = 0;
    DWORD count = 0;
    DWORD size = sizeof count;
    EXPECT_EQ(RegQueryValueExA(key, "InstanceIndex", nullptr, &type,
                               reinterpret_cast<BYTE*>(&count), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(count, 1u);
    char path[256] = {};
    size = sizeof path;
    EXPECT_EQ(RegQueryValueExA(key, "ii0001", nullptr, &type, reinterpret_cast<BYTE*>(path), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(path,
                 "\\Registry\\MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\"
                 "{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0000\\Settings");
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, instance_key.c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    char description[64] = {};
    size = sizeof description;
    EXPECT_EQ(RegQueryValueExA(key, "DriverDesc", nullptr, &type,
                               reinterpret_cast<BYTE*>(description), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(description, "CV Lumen Webcam Driver");
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

}  // namespace
