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
    # Line tables are all a sanitizer's report needs; full debug information would add a sixth
    # to every compile of this build.
    target_compile_options(vantle_common INTERFACE -g1)
    target_link_options(vantle_common INTERFACE -fsanitize=address,undefined)
endif()
if(VANTLE_FUZZ)
    target_compile_options(vantle_common INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    target_link_options(vantle_common INTERFACE -fsanitize=address,undefined)
endif()

# Precompiled headers per layer and unity builds: vantle_pch_carrier, vantle_reuse_pch,
# vantle_unity, vantle_pie.
include(${CMAKE_CURRENT_LIST_DIR}/VantlePch.cmake)

# vantle_library(NAME DEPS ... PRIVATE_DEPS ... EXCLUDE ... UNITY_SKIP ...): a static library of
# every source in the calling folder but the EXCLUDE ones (a program's main). DEPS are what its
# headers expose to users; PRIVATE_DEPS what it only uses inside. UNITY_SKIP: sources whose
# file-local names clash with another file's, compiled on their own.
function(vantle_library name)
    cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS;EXCLUDE;UNITY_SKIP" ${ARGN})
    file(GLOB srcs CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
         ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    foreach(excluded ${ARG_EXCLUDE})
        list(REMOVE_ITEM srcs ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
    endforeach()
    add_library(vantle_${name} STATIC ${srcs})
    target_include_directories(vantle_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(vantle_${name} PUBLIC ${ARG_DEPS} PRIVATE vantle_common ${ARG_PRIVATE_DEPS})
    if("Qt6::Widgets" IN_LIST ARG_DEPS)
        vantle_reuse_pch(vantle_${name} vantle_pch_widgets)
    else()
        vantle_reuse_pch(vantle_${name} vantle_pch_core)
    endif()
    vantle_unity(vantle_${name} SKIP ${ARG_UNITY_SKIP})
endfunction()

# vantle_tests(DEPS ...): one QtTest executable and one ctest test per tst_*.cpp in the folder.
# Helper sources shared by the folder's suites live in *.cpp files without the tst_ prefix; they
# are compiled once, into the library vantle_FOLDER_test_helpers that every suite links. Qt's test
# macros hold the folder's path, so the folder's suites share a precompiled header of their own.
function(vantle_tests)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB suites CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
    file(GLOB helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    list(REMOVE_ITEM helpers ${suites})
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)

    set(carrier vantle_${folder}_tests_pch)
    list(LENGTH suites suite_count)
    if(VANTLE_PCH AND suite_count GREATER 1)
        if("Qt6::Widgets" IN_LIST ARG_DEPS)
            set(headers ${VANTLE_PCH_WIDGETS_HEADERS})
        else()
            set(headers ${VANTLE_PCH_CORE_HEADERS})
        endif()
        vantle_pch_carrier(${carrier} PIE HEADERS ${headers} ${VANTLE_PCH_TEST_HEADERS}
                           DEPS Qt6::Test ${ARG_DEPS})
    endif()

    set(helper_library)
    if(helpers)
        set(helper_library vantle_${folder}_test_helpers)
        add_library(${helper_library} STATIC ${helpers})
        vantle_pie(${helper_library})
        target_include_directories(${helper_library} PUBLIC ${PROJECT_SOURCE_DIR}/src
                                                            ${PROJECT_SOURCE_DIR}/tests)
        target_compile_definitions(${helper_library} PRIVATE
            VANTLE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
            VANTLE_BIN_DIR="${PROJECT_BINARY_DIR}/bin")
        target_link_libraries(${helper_library} PUBLIC Qt6::Test ${ARG_DEPS} PRIVATE vantle_common)
        vantle_reuse_pch(${helper_library} ${carrier})
    endif()

    foreach(suite ${suites})
        get_filename_component(name ${suite} NAME_WE)
        add_executable(${name} ${suite})
        target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src
                                                   ${PROJECT_SOURCE_DIR}/tests)
        target_compile_definitions(${name} PRIVATE
            VANTLE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
            VANTLE_BIN_DIR="${PROJECT_BINARY_DIR}/bin")
        target_link_libraries(${name} PRIVATE vantle_common Qt6::Test ${ARG_DEPS}
                                              ${helper_library})
        vantle_reuse_pch(${name} ${carrier})
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0"
            TIMEOUT 300)
    endforeach()
endfunction()

# vantle_tool(NAME SOURCES ... DEPS ... UNITY_SKIP ...): a program that lands in bin/ of the build
# folder. UNITY_SKIP as for vantle_library.
function(vantle_tool name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;UNITY_SKIP" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PRIVATE vantle_common ${ARG_DEPS})
    vantle_reuse_pch(${name} vantle_pch_program)
    vantle_unity(${name} SKIP ${ARG_UNITY_SKIP})
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
    vantle_reuse_pch(${name} vantle_pch_program)
    set(work ${PROJECT_BINARY_DIR}/fuzz-work/${name})
    set(seeds ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
    if(NOT DEFINED ENV{VANTLE_FUZZ_SECONDS})
        set(seconds 10)
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
