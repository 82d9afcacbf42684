#include "platform/sim/program_module.h"

#include "platform/sim/res/res_file.h"

namespace sim {

ProgramModule::ProgramModule() = default;
ProgramModule::~ProgramModule() = default;

bool ProgramModule::LoadResources(std::span<const unsigned char> bytes) {
    auto parsed = res::ResFile::Parse(bytes);
    if (!parsed) {
        return false;
    }
    resources_ = std::make_unique<res::ResFile>(std::move(*parsed));
    return true;
}

}  // namespace sim
