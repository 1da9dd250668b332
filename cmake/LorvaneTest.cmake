# lorvane_add_test(<name> <source> LIBS <targets>...)
# One Qt Test executable per unit, registered with CTest and run headless.
function(lorvane_add_test name source)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    qt_add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test lorvane_options)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
        TIMEOUT 120)
endfunction()
