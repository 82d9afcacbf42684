// The simulated registry: hives of keys holding typed values, and the handles the program opens
// on them. A key deleted while a handle is open leaves the handle pointing at a dead key, so
// every later access through it fails, as on Windows.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/api/win32_types.h"

namespace sim {

class ResourceCounter;

struct RegistryValue {
    DWORD type = 0;
    std::vector<BYTE> data;

    std::optional<DWORD> AsDword() const;
    std::string AsString() const;  // the bytes up to the first NUL
};

class Registry {
public:
    explicit Registry(ResourceCounter& resources);
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // Set-up and inspection for tests and the console. `root` is a predefined key such as
    // HKEY_LOCAL_MACHINE; `path` uses backslashes. Writes create missing keys.
    void SetValue(HKEY root, std::string_view path, std::string_view name, DWORD type,
                  std::vector<BYTE> data);
    void SetDword(HKEY root, std::string_view path, std::string_view name, DWORD value);
    void SetString(HKEY root, std::string_view path, std::string_view name, std::string_view text);
    std::optional<RegistryValue> GetValue(HKEY root, std::string_view path,
                                          std::string_view name) const;
    bool KeyExists(HKEY root, std::string_view path) const;
    bool DeleteValue(HKEY root, std::string_view path, std::string_view name);
    bool DeleteKey(HKEY root, std::string_view path);  // with everything below it

    // The registry functions of the API.
    LSTATUS Open(HKEY parent, LPCSTR sub_key, REGSAM access, HKEY* result);
    LSTATUS Create(HKEY parent, LPCSTR sub_key, REGSAM access, HKEY* result, DWORD* disposition);
    LSTATUS Query(HKEY key, LPCSTR name, DWORD* type, BYTE* data, DWORD* size) const;
    // Value `index` of the key, in the order the values were created.
    LSTATUS Enum(HKEY key, DWORD index, char* name, DWORD* name_chars, DWORD* type, BYTE* data,
                 DWORD* size) const;
    LSTATUS Set(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size);
    LSTATUS Close(HKEY key);

    // Called for every value a program writes, before it takes effect: the value's name, what it
    // held (nullopt: nothing) and what it is given.
    using WriteObserver =
        std::function<void(std::string_view name, const std::optional<RegistryValue>& before,
                           const RegistryValue& after)>;
    void OnProgramWrite(WriteObserver observer) { on_program_write_ = std::move(observer); }

    // The access a handle was opened with, or nullopt for a handle that is not open.
    std::optional<REGSAM> HandleAccess(HKEY key) const;

    struct Key;

private:
    struct OpenKey {
        std::shared_ptr<Key> key;
        REGSAM access;
    };

    std::shared_ptr<Key> Root(HKEY root) const;
    std::shared_ptr<Key> Find(HKEY root, std::string_view path) const;
    std::shared_ptr<Key> FindOrCreate(HKEY root, std::string_view path);
    // The key a handle refers to: a predefined root or an open handle.
    std::optional<OpenKey> Resolve(HKEY key) const;
    // The key behind a handle through which its values may be read, or why they may not.
    LSTATUS ReadableKey(HKEY key, const Key*& readable) const;
    HKEY NewHandle(std::shared_ptr<Key> key, REGSAM access);
    // Type, data and size of a value as the query functions hand them out.
    static LSTATUS CopyValue(const RegistryValue& value, DWORD* type, BYTE* data, DWORD* size);

    ResourceCounter& resources_;
    WriteObserver on_program_write_;
    std::map<ULONG_PTR, std::shared_ptr<Key>> roots_;
    std::map<ULONG_PTR, OpenKey> handles_;
    ULONG_PTR next_handle_ = 0x100;
};

}  // namespace sim
