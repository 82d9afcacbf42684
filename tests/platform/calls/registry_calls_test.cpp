// The registry calls the program makes, on a key of the test's own: return values and error codes
// as Windows gives them.
#include <cstring>
#include <string>
#include <vector>

#include "tests/platform/calls/calls_test.h"
#include "tests/platform/calls/registry_value_names.h"

namespace calls {
namespace {

const std::string kKey = std::string(kScratchKey) + "\\Key";

class RegistryCalls : public CallsTest {
protected:
    HKEY Open(REGSAM access) {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey.c_str(), 0, access, &key), ERROR_SUCCESS);
        return key;
    }

    void Set(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    }
    void SetDword(const char* name, DWORD value) { Set(name, REG_DWORD, &value, sizeof value); }
};

TEST_F(RegistryCalls, MissingKeysValuesAndHandles) {
    HKEY key = reinterpret_cast<HKEY>(0x1234);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey.c_str(), 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr) << "a failed open leaves no handle behind";

    SetDword("Value", 1);
    key = Open(KEY_READ);
    DWORD value = 0;
    DWORD size = sizeof value;
    auto* data = reinterpret_cast<BYTE*>(&value);
    EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, nullptr, data, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExA(key, "Value", nullptr, nullptr, data, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(nullptr, "Value", nullptr, nullptr, data, &size),
              ERROR_INVALID_HANDLE);
}

TEST_F(RegistryCalls, CreateReportsDispositionAndNamesIgnoreCase) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    std::string other_case = kKey;
    for (char& c : other_case) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    }
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, other_case.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    const DWORD one = 1;
    EXPECT_EQ(RegSetValueExA(key, "Value", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4),
              ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    key = Open(KEY_READ);
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    EXPECT_EQ(
        RegQueryValueExA(key, "VALUE", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryCalls, QueryReportsTypeAndSizeAndCopiesOnlyTheValuesBytes) {
    Set("Text", REG_SZ, "hello", 6);
    const BYTE two[] = {0x07, 0x00};
    Set("Two", REG_BINARY, two, sizeof two);
    HKEY key = Open(KEY_READ);

    DWORD type = 0;
    DWORD size = 4;
    BYTE buffer[4] = {};
    EXPECT_EQ(RegQueryValueExA(key, "Text", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 6u);
    size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Text", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);

    DWORD value = 0x11111111;
    size = sizeof value;
    EXPECT_EQ(
        RegQueryValueExA(key, "Two", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(value, 0x11110007u);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryCalls, AccessRightsOfTheHandleDecide) {
    SetDword("Value", 1);
    HKEY reader = Open(KEY_READ);
    const DWORD zero = 0;
    EXPECT_EQ(
        RegSetValueExA(reader, "Value", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), 4),
        ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(reader), ERROR_SUCCESS);

    HKEY writer = Open(KEY_SET_VALUE);
    char name[16];
    DWORD chars = sizeof name;
    EXPECT_EQ(RegEnumValueA(writer, 0, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_ACCESS_DENIED);
    DWORD value = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(
        RegQueryValueExA(writer, "Value", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
        ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(writer), ERROR_SUCCESS);
}

TEST_F(RegistryCalls, HandleOfADeletedKeyStaysDead) {
    SetDword("Value", 1);
    HKEY key = Open(KEY_READ);
    DWORD value = 0;
    DWORD size = sizeof value;
    auto* data = reinterpret_cast<BYTE*>(&value);
    ASSERT_EQ(RegQueryValueExA(key, "Value", nullptr, nullptr, data, &size), ERROR_SUCCESS);

    DeleteScratchKey("Key");
    size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, "Value", nullptr, nullptr, data, &size), ERROR_KEY_DELETED);
    char name[16];
    DWORD chars = sizeof name;
    EXPECT_EQ(RegEnumValueA(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_KEY_DELETED);

    // A key of the same name made later is another key.
    SetDword("Value", 1);
    size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, "Value", nullptr, nullptr, data, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryCalls, EnumValueNamesSizesAndData) {
    // Windows promises no order; these names are in the order of creation and of the alphabet.
    SetDword("First", 1);
    Set("Second", REG_SZ, "hello", 6);
    const BYTE three[] = {1, 2, 3};
    Set("third", REG_BINARY, three, sizeof three);
    SetDword("FIRST", 5);  // the same value: its name keeps its case
    HKEY key = Open(KEY_READ);
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"First", "Second", "third"}));

    // The name buffer counts the terminator.
    char name[8];
    DWORD chars = 6;
    DWORD type = 0;
    EXPECT_EQ(RegEnumValueA(key, 1, name, &chars, nullptr, &type, nullptr, nullptr),
              ERROR_MORE_DATA);
    chars = 7;
    DWORD size = 0;
    EXPECT_EQ(RegEnumValueA(key, 1, name, &chars, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Second");
    EXPECT_EQ(chars, 6u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 6u) << "without a data buffer the size is reported";

    // Data: too small a buffer reports the size needed, a large enough one gets the bytes.
    BYTE data[8] = {};
    chars = sizeof name;
    size = 2;
    EXPECT_EQ(RegEnumValueA(key, 2, name, &chars, nullptr, nullptr, data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 3u);
    chars = sizeof name;
    EXPECT_EQ(RegEnumValueA(key, 2, name, &chars, nullptr, &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(std::vector<BYTE>(data, data + size), (std::vector<BYTE>{1, 2, 3}));
    chars = sizeof name;
    size = sizeof data;
    EXPECT_EQ(RegEnumValueA(key, 0, name, &chars, nullptr, nullptr, data, &size), ERROR_SUCCESS);
    DWORD first = 0;
    std::memcpy(&first, data, sizeof first);
    EXPECT_EQ(first, 5u);

    chars = sizeof name;
    EXPECT_EQ(RegEnumValueA(key, 3, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    chars = sizeof name;
    EXPECT_EQ(RegEnumValueA(key, 0, name, &chars, nullptr, nullptr, data, nullptr),
              ERROR_INVALID_PARAMETER);

    // Another program deletes a value: the later ones move up, seen through the open handle.
    DeleteScratchValue("Key", "SECOND");
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"First", "third"}));
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

}  // namespace
}  // namespace calls
