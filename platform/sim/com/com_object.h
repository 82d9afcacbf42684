// Reference counting shared by the simulated COM objects. Every reference is one "COM
// reference" in the machine's resource accounting, so a test can assert that the program
// released all it obtained.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/sim/apartments.h"
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
        Called("AddRef");
        const ULONG count = ++references_;
        if (Machine* machine = Home()) {
            machine->resources().Acquired(kinds::kComReference);
        }
        return count;
    }

    ULONG STDMETHODCALLTYPE Release() override {
        Called("Release");
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
    // Starts with the one reference its creator hands out, in the apartment in force on the
    // creating thread.
    ComObject()
        : serial_(Machine::Current().video().serial()),
          apartment_(Machine::Current().apartments().Current(Kernel::CurrentThread())) {
        Machine::Current().resources().Acquired(kinds::kComReference);
    }
    virtual ~ComObject() = default;

    // The interface the object is known by, for what the machine records of its calls.
    virtual std::string_view InterfaceName() const = 0;
    // Every call on the object comes here first: a call once its apartment has ended (after the
    // creating thread's last CoUninitialize) is recorded, as COM would have refused it.
    void Called(std::string_view method) const {
        Machine* machine = Home();
        if (machine && machine->apartments().Ended(apartment_)) {
            machine->apartments().RecordCallAfterUninitialize(std::string(InterfaceName()) +
                                                              "::" + std::string(method));
        }
    }
    // The same for a method of another of the object's interfaces: "IKsPropertySet::Get".
    void CalledAs(std::string_view call) const {
        Machine* machine = Home();
        if (machine && machine->apartments().Ended(apartment_)) {
            machine->apartments().RecordCallAfterUninitialize(std::string(call));
        }
    }

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
    const Apartments::ApartmentId apartment_;
};

}  // namespace sim
