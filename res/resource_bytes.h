// The compiled resources of the simulated build: the .res file windres makes from lumiset.rc,
// for the simulated machine to load as the program's module resources.
#pragma once

#include <span>

std::span<const unsigned char> LumisetResourceBytes();
