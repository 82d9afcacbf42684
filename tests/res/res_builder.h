// Builds resource files and resource data byte by byte, for tests of the reader.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/api/win32_types.h"
#include "platform/sim/res/resource_name.h"

namespace res_test {

class Bytes {
public:
    Bytes& Byte(BYTE value) {
        data.push_back(value);
        return *this;
    }
    Bytes& Word(WORD value) { return Byte(static_cast<BYTE>(value)).Byte(value >> 8); }
    Bytes& Dword(DWORD value) {
        return Word(static_cast<WORD>(value)).Word(static_cast<WORD>(value >> 16));
    }
    Bytes& Text(const std::u16string& text) {  // with its terminating zero
        for (const char16_t c : text) {
            Word(c);
        }
        return Word(0);
    }
    Bytes& Name(const sim::res::ResourceName& name) {
        return name.is_ordinal ? Word(0xFFFF).Word(name.ordinal) : Text(name.name);
    }
    Bytes& AlignDword() {
        while (data.size() % 4 != 0) {
            Byte(0);
        }
        return *this;
    }
    Bytes& Append(const std::vector<BYTE>& more) {
        data.insert(data.end(), more.begin(), more.end());
        return *this;
    }

    std::vector<BYTE> data;
};

// A 32-bit .res file: the opening empty record, then one record per Add.
class ResBuilder {
public:
    ResBuilder() { Add(sim::res::ResourceName::Id(0), sim::res::ResourceName::Id(0), 0, {}); }

    ResBuilder& Add(const sim::res::ResourceName& type, const sim::res::ResourceName& name,
                    WORD language, const std::vector<BYTE>& data) {
        Bytes header;
        header.Name(type).AlignDword().Name(name).AlignDword();
        header.Dword(0).Word(0x1030).Word(language).Dword(0).Dword(0);
        Bytes record;
        record.Dword(static_cast<DWORD>(data.size()));
        record.Dword(static_cast<DWORD>(header.data.size() + 8));
        record.Append(header.data).Append(data).AlignDword();
        file.insert(file.end(), record.data.begin(), record.data.end());
        return *this;
    }
    ResBuilder& Add(WORD type, WORD name, WORD language, const std::vector<BYTE>& data) {
        return Add(sim::res::ResourceName::Id(type), sim::res::ResourceName::Id(name), language,
                   data);
    }

    std::vector<BYTE> file;
};

}  // namespace res_test
