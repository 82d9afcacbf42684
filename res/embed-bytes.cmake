# cmake -DINPUT=lumiset.res -DOUTPUT=resource_bytes.cpp -P embed-bytes.cmake
# Writes a C++ source that returns the bytes of INPUT from LumisetResourceBytes().
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 line_of_bytes)
string(REGEX REPLACE "(${line_of_bytes})" "\\1\n    " bytes "${bytes}")
file(SIZE ${INPUT} size)
file(WRITE ${OUTPUT}
"// Generated at build time from lumiset.res by res/embed-bytes.cmake.
#include \"res/resource_bytes.h\"

namespace {

const unsigned char kResourceBytes[${size}] = {
    ${bytes}
};

}  // namespace

std::span<const unsigned char> LumisetResourceBytes() { return kResourceBytes; }
")
