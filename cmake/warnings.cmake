# Warnings for every target of ours; the presets turn them into errors.
add_library(lumiset_warnings INTERFACE)
target_compile_options(lumiset_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Wunused
    -Woverloaded-virtual -Wnull-dereference -Wformat=2 -Wimplicit-fallthrough)
if(LUMISET_WARNINGS_AS_ERRORS)
    target_compile_options(lumiset_warnings INTERFACE -Werror)
endif()
