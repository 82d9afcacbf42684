// The program's own module: its handle and its compiled resources (the .res the build makes),
// which a test or the console hands to the machine before starting the program.
#pragma once

#include <memory>
#include <span>

#include "platform/sim/api/win32_types.h"

namespace sim {

namespace res {
class ResFile;
}

class ProgramModule {
public:
    ProgramModule();
    ~ProgramModule();

    // False when the bytes are not a valid resource file.
    bool LoadResources(std::span<const unsigned char> bytes);
    const res::ResFile* Resources() const { return resources_.get(); }
    HINSTANCE Handle() const {
        return reinterpret_cast<HINSTANCE>(static_cast<ULONG_PTR>(0x400000));
    }
    bool IsProgram(HINSTANCE module) const { return !module || module == Handle(); }

private:
    std::unique_ptr<res::ResFile> resources_;
};

}  // namespace sim
