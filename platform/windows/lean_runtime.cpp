// What Lumiset.exe takes from the C++ runtime in place of its defaults. The program catches no
// exception, so any the runtime would throw ends it, as std::terminate does; these versions end it
// at once, without the runtime's verbose terminate handler (which brings in its name demangler,
// 46 KB) or its exception classes (which bring in a second std::string, 50 KB). Formatting goes
// to the system's C runtime instead of mingw's own printf (22 KB with its floating-point code).
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

namespace __gnu_cxx {
[[noreturn]] void __verbose_terminate_handler();  // NOLINT: the runtime's own name
[[noreturn]] void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

namespace std {  // NOLINT: the runtime's own names
[[noreturn]] void __throw_bad_alloc() {
    std::abort();
}
[[noreturn]] void __throw_length_error(const char*) {
    std::abort();
}
[[noreturn]] void __throw_logic_error(const char*) {
    std::abort();
}
[[noreturn]] void __throw_invalid_argument(const char*) {
    std::abort();
}
[[noreturn]] void __throw_out_of_range(const char*) {
    std::abort();
}
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) {
    std::abort();
}
}  // namespace std

// vsnprintf as C99 has it (the length the whole text needs, a terminated buffer), from the
// system's _vscprintf and _vsnprintf.
extern "C" int __cdecl __mingw_vsnprintf(char* buffer, std::size_t size, const char* format,
                                         va_list arguments) {
    va_list measure;
    va_copy(measure, arguments);
    const int length = _vscprintf(format, measure);
    va_end(measure);
    if (buffer != nullptr && size > 0) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        _vsnprintf(buffer, size - 1, format, arguments);
#pragma GCC diagnostic pop
        const std::size_t end = length < 0 ? 0 : static_cast<std::size_t>(length);
        buffer[end < size - 1 ? end : size - 1] = '\0';
    }
    return length;
}
