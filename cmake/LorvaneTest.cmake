# lorvane_add_test(<name> <source> [POSIX] LIBS <targets>...)
# One Qt Test executable per unit, registered with CTest and run headless. POSIX marks a
# test that needs a Unix terminal or file call; the Windows build leaves it out.
if(WIN32)
    # Run under Wine, which hands QT_* variables to Qt as WINEQT_*; Qt Test's output
    # otherwise goes to the debugger channel. The DLLs come from the cached Qt and the
    # MinGW runtime.
    get_filename_component(_lorvane_qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
        OUTPUT_VARIABLE _lorvane_stdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libwinpthread-1.dll
        OUTPUT_VARIABLE _lorvane_pthread OUTPUT_STRIP_TRAILING_WHITESPACE)
    # The offscreen platform finds fonts only in one folder and knows no "monospace"
    # alias: a folder with one fixed-pitch family gives the grid its font, as Windows
    # itself would.
    file(GLOB _lorvane_test_fonts /usr/share/fonts/truetype/dejavu/DejaVuSansMono*.ttf)
    file(COPY ${_lorvane_test_fonts} DESTINATION ${CMAKE_BINARY_DIR}/test-fonts)
    get_filename_component(_lorvane_stdcxx_dir "${_lorvane_stdcxx}" DIRECTORY)
    get_filename_component(_lorvane_pthread_dir "${_lorvane_pthread}" DIRECTORY)
    set(LORVANE_TEST_ENVIRONMENT
        "WINEQT_QPA_PLATFORM=offscreen"
        "WINEQT_FORCE_STDERR_LOGGING=1"
        "WINEQT_QPA_FONTDIR=Z:${CMAKE_BINARY_DIR}/test-fonts"
        "WINEDEBUG=-all"
        "WINEPATH=Z:${_lorvane_qt_prefix}/bin\\;Z:${_lorvane_stdcxx_dir}\\;Z:${_lorvane_pthread_dir}")
    # Each takes seconds; a Wine process that hangs after its test is tried again soon
    # (scripts/windows/test.sh).
    set(LORVANE_TEST_TIMEOUT 30)
else()
    set(LORVANE_TEST_ENVIRONMENT
        "QT_QPA_PLATFORM=offscreen"
        "ASAN_OPTIONS=detect_leaks=1"
        "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
    set(LORVANE_TEST_TIMEOUT 120)
endif()

function(lorvane_add_test name source)
    cmake_parse_arguments(ARG "POSIX" "" "LIBS" ${ARGN})
    if(ARG_POSIX AND WIN32)
        return()
    endif()
    qt_add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test lorvane_options)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${LORVANE_TEST_ENVIRONMENT}" TIMEOUT ${LORVANE_TEST_TIMEOUT})
endfunction()
