# vantle_common: the configuration every library, program, test, benchmark and fuzz target links
# (PRIVATE, so each target states it once for itself). Qt's include folders come in as system
# includes from its imported targets, so its own headers are not held to these warnings.
add_library(vantle_common INTERFACE)
target_compile_features(vantle_common INTERFACE cxx_std_20)
target_compile_options(vantle_common INTERFACE
    -Wall -Wextra -Werror -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
    -Wpedantic)
target_compile_definitions(vantle_common INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING QT_USE_QSTRINGBUILDER)
if(VANTLE_SANITIZE)
    target_compile_options(vantle_common INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(vantle_common INTERFACE -fsanitize=address,undefined)
endif()
if(VANTLE_FUZZ)
    target_compile_options(vantle_common INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    target_link_options(vantle_common INTERFACE -fsanitize=address,undefined)
endif()

# vantle_library(NAME DEPS ... PRIVATE_DEPS ... EXCLUDE ...): a static library of every source in
# the calling folder but the EXCLUDE ones (a program's main). DEPS are what its headers expose to
# users; PRIVATE_DEPS what it only uses inside.
function(vantle_library name)
    cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS;EXCLUDE" ${ARGN})
    file(GLOB srcs CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
         ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    foreach(excluded ${ARG_EXCLUDE})
        list(REMOVE_ITEM srcs ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
    endforeach()
    add_library(vantle_${name} STATIC ${srcs})
    target_include_directories(vantle_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(vantle_${name} PUBLIC ${ARG_DEPS} PRIVATE vantle_common ${ARG_PRIVATE_DEPS})
endfunction()

# vantle_tests(DEPS ...): one QtTest executable and one ctest test per tst_*.cpp in the folder.
# Helper sources shared by the folder's suites live in *.cpp files without the tst_ prefix.
function(vantle_tests)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB suites CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
    file(GLOB helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    list(REMOVE_ITEM helpers ${suites})
    foreach(suite ${suites})
        get_filename_component(name ${suite} NAME_WE)
        add_executable(${name} ${suite} ${helpers})
        target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src
                                                   ${PROJECT_SOURCE_DIR}/tests)
        target_compile_definitions(${name} PRIVATE
            VANTLE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
            VANTLE_BIN_DIR="${PROJECT_BINARY_DIR}/bin")
        target_link_libraries(${name} PRIVATE vantle_common Qt6::Test ${ARG_DEPS})
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0"
            TIMEOUT 300)
    endforeach()
endfunction()

# vantle_tool(NAME SOURCES ... DEPS ...): a program that lands in bin/ of the build folder.
function(vantle_tool name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PRIVATE vantle_common ${ARG_DEPS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
endfunction()

# vantle_fuzzer(NAME SOURCE DEPS ...): a libFuzzer target, run for a bounded time as a ctest test
# with its seed corpus from fuzz/corpus/NAME.
function(vantle_fuzzer name source)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    add_executable(${name} ${source})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PRIVATE vantle_common ${ARG_DEPS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set(work ${PROJECT_BINARY_DIR}/fuzz-work/${name})
    set(seeds ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
    if(NOT DEFINED ENV{VANTLE_FUZZ_SECONDS})
        set(seconds 20)
    else()
        set(seconds $ENV{VANTLE_FUZZ_SECONDS})
    endif()
    add_test(NAME ${name}
             COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen
                     $<TARGET_FILE:${name}> -max_total_time=${seconds} -timeout=10
                     -rss_limit_mb=2048 -print_final_stats=1 ${work} ${seeds})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
    file(MAKE_DIRECTORY ${work} ${seeds})
    add_dependencies(fuzz_all ${name})
endfunction()

# vantle_libraries_below_app(OUT): the libraries that tools, fuzz targets and benchmarks may link.
function(vantle_libraries_below_app out)
    set(libs)
    foreach(lib platform support net files transfer)
        if(TARGET vantle_${lib})
            list(APPEND libs vantle_${lib})
        endif()
    endforeach()
    set(${out} ${libs} PARENT_SCOPE)
endfunction()
