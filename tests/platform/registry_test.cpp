// The simulated registry against the Windows behaviour the program relies on: return values and
// error codes of each call.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/sim/machine.h"
#include "platform/win32.h"

namespace {

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

TEST_F(RegistryTest, ShortValueFillsOnlyItsBytes) {
    machine.registry().SetValue(HKEY_LOCAL_MACHINE, kKey, "Two", REG_BINARY, {0x07, 0x00});
    HKEY key = OpenKey(KEY_READ);
    DWORD value = 0x11111111;
    DWORD size = sizeof value;
    EXPECT_EQ(
        RegQueryValueExA(key, "Two", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(value, 0x11110007u);
    RegCloseKey(key);
}

TEST_F(RegistryTest, ReadsThroughHandleOfDeletedKeyFail) {
    machine.registry().SetDword(HKEY_LOCAL_MACHINE, kKey, "Value", 1);
    HKEY key = OpenKey(KEY_READ);
    DWORD value = 0;
    DWORD size = sizeof value;
    ASSERT_EQ(
        RegQueryValueExA(key, "Value", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
        ERROR_SUCCESS);

    ASSERT_TRUE(machine.registry().DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test"));
    size = sizeof value;
    EXPECT_EQ(
        RegQueryValueExA(key, "Value", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
        ERROR_KEY_DELETED);

    // A key of the same name created later is a different key: the old handle stays dead.
    machine.registry().SetDword(HKEY_LOCAL_MACHINE, kKey, "Value", 1);
    EXPECT_EQ(
        RegQueryValueExA(key, "Value", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
        ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, AccessRightsAndInvalidHandles) {
    machine.registry().SetDword(HKEY_LOCAL_MACHINE, kKey, "Value", 1);
    HKEY key = OpenKey(KEY_READ);
    const DWORD zero = 0;
    EXPECT_EQ(RegSetValueExA(key, "Value", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), 4),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);

    DWORD value = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(nullptr, "Value", nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                               &size),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(machine.registry().GetValue(HKEY_LOCAL_MACHINE, kKey, "Value")->AsDword(), 1u);
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

}  // namespace
