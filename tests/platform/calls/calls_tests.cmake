# The checks of Windows calls that both builds run: platform_tests on the simulated machine, and
# platform_calls_tests.exe on Windows or Wine. Each build adds its own fixture file.
set(LUMISET_CALLS_TESTS
    ${CMAKE_CURRENT_LIST_DIR}/wine_departures.cpp
    ${CMAKE_CURRENT_LIST_DIR}/control_calls_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialog_calls_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/display_calls_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/menu_calls_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/registry_calls_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/system_event_calls_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/window_calls_test.cpp)
