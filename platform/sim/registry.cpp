#include "platform/sim/registry.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/sim/api/win32_registry.h"
#include "platform/sim/resource_counter.h"

namespace sim {

namespace {

std::string Folded(std::string_view name) {
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return folded;
}

// Splits a key path at its backslashes; nullopt for a path with an empty component.
std::optional<std::vector<std::string_view>> SplitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    if (path.empty()) {
        return parts;
    }
    size_t start = 0;
    while (true) {
        const size_t end = path.find('\\', start);
        const std::string_view part = path.substr(start, end - start);
        if (part.empty()) {
            return std::nullopt;
        }
        parts.push_back(part);
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

constexpr ULONG_PTR kPredefined[] = {0x80000000, 0x80000001, 0x80000002, 0x80000003};

}  // namespace

struct Registry::Key {
    struct NamedValue {
        std::string name;  // as first written; lookups ignore case
        RegistryValue value;
    };

    std::map<std::string, std::shared_ptr<Key>> sub_keys;  // by folded name
    std::vector<NamedValue> values;                        // in the order they were created
    bool deleted = false;

    const NamedValue* FindValue(std::string_view name) const {
        const std::string folded = Folded(name);
        for (const NamedValue& entry : values) {
            if (Folded(entry.name) == folded) {
                return &entry;
            }
        }
        return nullptr;
    }
    NamedValue* FindValue(std::string_view name) {
        return const_cast<NamedValue*>(std::as_const(*this).FindValue(name));
    }
    void PutValue(std::string_view name, RegistryValue value) {
        if (NamedValue* entry = FindValue(name)) {
            entry->value = std::move(value);
        } else {
            values.push_back(NamedValue{std::string(name), std::move(value)});
        }
    }
    bool EraseValue(std::string_view name) {
        NamedValue* entry = FindValue(name);
        if (!entry) {
            return false;
        }
        values.erase(values.begin() + (entry - values.data()));
        return true;
    }

    void MarkDeleted() {
        deleted = true;
        for (auto& [name, sub] : sub_keys) {
            sub->MarkDeleted();
        }
        sub_keys.clear();
        values.clear();
    }
};

std::optional<DWORD> RegistryValue::AsDword() const {
    if (type != REG_DWORD || data.size() != sizeof(DWORD)) {
        return std::nullopt;
    }
    DWORD value = 0;
    std::memcpy(&value, data.data(), sizeof value);
    return value;
}

std::string RegistryValue::AsString() const {
    const auto end = std::find(data.begin(), data.end(), BYTE{0});
    return std::string(data.begin(), end);
}

Registry::Registry(ResourceCounter& resources) : resources_(resources) {
    for (ULONG_PTR root : kPredefined) {
        roots_[root] = std::make_shared<Key>();
    }
}

Registry::~Registry() = default;

std::shared_ptr<Registry::Key> Registry::Root(HKEY root) const {
    auto it = roots_.find(reinterpret_cast<ULONG_PTR>(root));
    return it == roots_.end() ? nullptr : it->second;
}

std::shared_ptr<Registry::Key> Registry::Find(HKEY root, std::string_view path) const {
    auto key = Root(root);
    const auto parts = SplitPath(path);
    if (!key || !parts) {
        return nullptr;
    }
    for (std::string_view part : *parts) {
        auto it = key->sub_keys.find(Folded(part));
        if (it == key->sub_keys.end()) {
            return nullptr;
        }
        key = it->second;
    }
    return key;
}

std::shared_ptr<Registry::Key> Registry::FindOrCreate(HKEY root, std::string_view path) {
    auto key = Root(root);
    const auto parts = SplitPath(path);
    if (!key || !parts) {
        return nullptr;
    }
    for (std::string_view part : *parts) {
        auto& sub = key->sub_keys[Folded(part)];
        if (!sub) {
            sub = std::make_shared<Key>();
        }
        key = sub;
    }
    return key;
}

void Registry::SetValue(HKEY root, std::string_view path, std::string_view name, DWORD type,
                        std::vector<BYTE> data) {
    if (auto key = FindOrCreate(root, path)) {
        key->PutValue(name, RegistryValue{type, std::move(data)});
    }
}

void Registry::SetDword(HKEY root, std::string_view path, std::string_view name, DWORD value) {
    std::vector<BYTE> data(sizeof value);
    std::memcpy(data.data(), &value, sizeof value);
    SetValue(root, path, name, REG_DWORD, std::move(data));
}

void Registry::SetString(HKEY root, std::string_view path, std::string_view name,
                         std::string_view text) {
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    SetValue(root, path, name, REG_SZ, std::move(data));
}

std::optional<RegistryValue> Registry::GetValue(HKEY root, std::string_view path,
                                                std::string_view name) const {
    auto key = Find(root, path);
    if (!key) {
        return std::nullopt;
    }
    const Key::NamedValue* entry = key->FindValue(name);
    if (!entry) {
        return std::nullopt;
    }
    return entry->value;
}

bool Registry::KeyExists(HKEY root, std::string_view path) const {
    return Find(root, path) != nullptr;
}

bool Registry::DeleteValue(HKEY root, std::string_view path, std::string_view name) {
    auto key = Find(root, path);
    return key && key->EraseValue(name);
}

bool Registry::DeleteKey(HKEY root, std::string_view path) {
    const auto parts = SplitPath(path);
    if (!parts || parts->empty()) {
        return false;  // a hive cannot be deleted
    }
    const size_t last = path.rfind('\\');
    auto parent = last == std::string_view::npos ? Root(root) : Find(root, path.substr(0, last));
    if (!parent) {
        return false;
    }
    auto it = parent->sub_keys.find(Folded(parts->back()));
    if (it == parent->sub_keys.end()) {
        return false;
    }
    it->second->MarkDeleted();
    parent->sub_keys.erase(it);
    return true;
}

std::optional<Registry::OpenKey> Registry::Resolve(HKEY key) const {
    if (auto root = Root(key)) {
        return OpenKey{root, KEY_ALL_ACCESS};
    }
    auto it = handles_.find(reinterpret_cast<ULONG_PTR>(key));
    if (it == handles_.end()) {
        return std::nullopt;
    }
    return it->second;
}

HKEY Registry::NewHandle(std::shared_ptr<Key> key, REGSAM access) {
    const ULONG_PTR value = next_handle_;
    next_handle_ += 4;
    handles_[value] = OpenKey{std::move(key), access};
    resources_.Acquired(kinds::kRegistryKey);
    return reinterpret_cast<HKEY>(value);
}

LSTATUS Registry::Open(HKEY parent, LPCSTR sub_key, REGSAM access, HKEY* result) {
    if (!result) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    const auto base = Resolve(parent);
    if (!base) {
        return ERROR_INVALID_HANDLE;
    }
    if (base->key->deleted) {
        return ERROR_KEY_DELETED;
    }
    const auto parts = SplitPath(sub_key ? sub_key : "");
    if (!parts) {
        return ERROR_FILE_NOT_FOUND;
    }
    auto key = base->key;
    for (std::string_view part : *parts) {
        auto it = key->sub_keys.find(Folded(part));
        if (it == key->sub_keys.end()) {
            return ERROR_FILE_NOT_FOUND;
        }
        key = it->second;
    }
    *result = NewHandle(std::move(key), access);
    return ERROR_SUCCESS;
}

LSTATUS Registry::Create(HKEY parent, LPCSTR sub_key, REGSAM access, HKEY* result,
                         DWORD* disposition) {
    if (!result) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    const auto base = Resolve(parent);
    if (!base) {
        return ERROR_INVALID_HANDLE;
    }
    if (base->key->deleted) {
        return ERROR_KEY_DELETED;
    }
    const auto parts = SplitPath(sub_key ? sub_key : "");
    if (!parts) {
        return ERROR_INVALID_PARAMETER;
    }
    auto key = base->key;
    bool created = false;
    for (std::string_view part : *parts) {
        auto& sub = key->sub_keys[Folded(part)];
        if (!sub) {
            sub = std::make_shared<Key>();
            created = true;
        }
        key = sub;
    }
    if (disposition) {
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    *result = NewHandle(std::move(key), access);
    return ERROR_SUCCESS;
}

LSTATUS Registry::ReadableKey(HKEY key, const Key*& readable) const {
    const auto open = Resolve(key);
    if (!open) {
        return ERROR_INVALID_HANDLE;
    }
    if (open->key->deleted) {
        return ERROR_KEY_DELETED;
    }
    if ((open->access & KEY_QUERY_VALUE) == 0) {
        return ERROR_ACCESS_DENIED;
    }
    readable = open->key.get();
    return ERROR_SUCCESS;
}

LSTATUS Registry::Query(HKEY key, LPCSTR name, DWORD* type, BYTE* data, DWORD* size) const {
    if (data && !size) {
        return ERROR_INVALID_PARAMETER;
    }
    const Key* readable = nullptr;
    if (const LSTATUS refused = ReadableKey(key, readable); refused != ERROR_SUCCESS) {
        return refused;
    }
    const Key::NamedValue* entry = readable->FindValue(name ? name : "");
    if (!entry) {
        return ERROR_FILE_NOT_FOUND;
    }
    return CopyValue(entry->value, type, data, size);
}

LSTATUS Registry::Enum(HKEY key, DWORD index, char* name, DWORD* name_chars, DWORD* type,
                       BYTE* data, DWORD* size) const {
    if (!name || !name_chars || (data && !size)) {
        return ERROR_INVALID_PARAMETER;
    }
    const Key* readable = nullptr;
    if (const LSTATUS refused = ReadableKey(key, readable); refused != ERROR_SUCCESS) {
        return refused;
    }
    const auto& values = readable->values;
    if (index >= values.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const Key::NamedValue& entry = values[index];
    // The buffer size counts the terminator; a name that does not fit leaves everything as it was.
    if (entry.name.size() >= *name_chars) {
        return ERROR_MORE_DATA;
    }
    std::copy(entry.name.begin(), entry.name.end(), name);
    name[entry.name.size()] = '\0';
    *name_chars = static_cast<DWORD>(entry.name.size());
    return CopyValue(entry.value, type, data, size);
}

LSTATUS Registry::CopyValue(const RegistryValue& value, DWORD* type, BYTE* data, DWORD* size) {
    const auto needed = static_cast<DWORD>(value.data.size());
    if (type) {
        *type = value.type;
    }
    LSTATUS status = ERROR_SUCCESS;
    if (data) {
        if (*size < needed) {
            status = ERROR_MORE_DATA;
        } else {
            std::copy(value.data.begin(), value.data.end(), data);
        }
    }
    if (size) {
        *size = needed;
    }
    return status;
}

LSTATUS Registry::Set(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) {
    if (!data && size != 0) {
        return ERROR_NOACCESS;
    }
    const auto open = Resolve(key);
    if (!open) {
        return ERROR_INVALID_HANDLE;
    }
    if (open->key->deleted) {
        return ERROR_KEY_DELETED;
    }
    if ((open->access & KEY_SET_VALUE) == 0) {
        return ERROR_ACCESS_DENIED;
    }
    RegistryValue value{type, std::vector<BYTE>(data, data + size)};
    if (on_program_write_) {
        const Key::NamedValue* before = open->key->FindValue(name ? name : "");
        on_program_write_(name ? name : "",
                          before ? std::optional<RegistryValue>(before->value) : std::nullopt,
                          value);
    }
    open->key->PutValue(name ? name : "", std::move(value));
    return ERROR_SUCCESS;
}

LSTATUS Registry::Close(HKEY key) {
    if (Root(key)) {
        return ERROR_SUCCESS;
    }
    auto it = handles_.find(reinterpret_cast<ULONG_PTR>(key));
    if (it == handles_.end()) {
        return ERROR_INVALID_HANDLE;
    }
    handles_.erase(it);
    resources_.Released(kinds::kRegistryKey);
    return ERROR_SUCCESS;
}

std::optional<REGSAM> Registry::HandleAccess(HKEY key) const {
    auto it = handles_.find(reinterpret_cast<ULONG_PTR>(key));
    if (it == handles_.end()) {
        return std::nullopt;
    }
    return it->second.access;
}

}  // namespace sim
