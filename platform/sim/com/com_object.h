// Reference counting shared by the simulated COM objects. Every reference is one "COM
// reference" in the machine's resource accounting, so a test can assert that the program
// released all it obtained.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/sim/api/win32_com.h"
#include "platform/sim/machine.h"

namespace sim {

namespace kinds {
inline constexpr std::string_view kComReference = "COM reference";
inline constexpr std::string_view kTaskMemory = "COM task memory";
inline constexpr std::string_view kBstr = "BSTR";
}  // namespace kinds

// The error an injected fault makes `operation` report, or nullopt when it runs normally.
inline std::optional<HRESULT> InjectedFault(std::string_view operation, HRESULT fallback) {
    if (auto code = Machine::Current().faults().Take(operation)) {
        return *code != 0 ? static_cast<HRESULT>(*code) : fallback;
    }
    return std::nullopt;
}

// Hands out one more reference to `object` through a QueryInterface-style out parameter.
template <typename Interface>
HRESULT GiveReference(Interface* object, void** out) {
    object->AddRef();
    *out = object;
    return S_OK;
}

template <typename... Interfaces>
class ComObject : public Interfaces... {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() override {
        const ULONG count = ++references_;
        if (Machine* machine = Home()) {
            machine->resources().Acquired(kinds::kComReference);
        }
        return count;
    }

    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG count = --references_;
        if (Machine* machine = Home()) {
            machine->resources().Released(kinds::kComReference);
        }
        if (count == 0) {
            delete this;
        }
        return count;
    }

protected:
    // Starts with the one reference its creator hands out.
    ComObject() : serial_(Machine::Current().video().serial()) {
        Machine::Current().resources().Acquired(kinds::kComReference);
    }
    virtual ~ComObject() = default;

    // The machine the object was made on, or null when that machine is gone: an object a test
    // leaked then still counts its references but reaches nothing.
    Machine* Home() const {
        if (!Machine::Exists()) {
            return nullptr;
        }
        Machine& machine = Machine::Current();
        return machine.video().serial() == serial_ ? &machine : nullptr;
    }

private:
    std::atomic<ULONG> references_{1};
    const std::uint64_t serial_;
};

}  // namespace sim
