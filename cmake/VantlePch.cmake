# Compile less: the Qt headers are precompiled once per layer and reused by every target of that
# layer, and a library's or program's sources are compiled in batches (unity build). Both can be
# turned off, e.g. to check that every file includes what it uses.
option(VANTLE_PCH "Precompile the Qt headers once per layer" ON)
option(VANTLE_UNITY_BUILD "Compile each library's and program's sources in batches" ON)
set(VANTLE_UNITY_BATCH_SIZE 8 CACHE STRING "Sources per batch of a unity build")

# The headers most sources include. Below app/ and ui/ nothing sees a widget header.
set(VANTLE_PCH_CORE_HEADERS
    <QByteArray> <QCoreApplication> <QDateTime> <QDir> <QElapsedTimer> <QFile> <QFileInfo>
    <QHash> <QList> <QMap> <QObject> <QPointer> <QString> <QStringList> <QThread> <QTimer>
    <QUrl> <QVariant> <QVariantMap>
    <algorithm> <functional> <memory> <optional> <utility> <vector>)
set(VANTLE_PCH_WIDGETS_HEADERS ${VANTLE_PCH_CORE_HEADERS}
    <QAction> <QApplication> <QDialog> <QHBoxLayout> <QIcon> <QImage> <QLabel> <QMenu>
    <QPainter> <QProgressBar> <QPushButton> <QToolButton> <QVBoxLayout> <QWidget>)
set(VANTLE_PCH_TEST_HEADERS <QSignalSpy> <QTest>)

# A precompiled header is only used where it was made with the same code model and a subset of
# the user's macros: each one is made by a carrier that has nothing but vantle_common and the Qt
# modules it names, so every target of its layer (which links at least those) can reuse it.
# Libraries are position-independent code, programs position-independent executables.
set(vantle_pch_empty_source ${CMAKE_BINARY_DIR}/vantle_pch_carrier.cpp)
file(CONFIGURE OUTPUT ${vantle_pch_empty_source} CONTENT "// Only carries a precompiled header.\n")

# vantle_pie(TARGET): compiled as an executable's code (-fPIE) though it is a library, because it
# is only ever linked into executables (test helpers, precompiled-header carriers for programs).
function(vantle_pie target)
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE OFF)
    target_compile_options(${target} PRIVATE ${CMAKE_CXX_COMPILE_OPTIONS_PIE})
endfunction()

# vantle_pch_carrier(NAME PIE|PIC HEADERS ... DEPS ...)
function(vantle_pch_carrier name model)
    cmake_parse_arguments(ARG "" "" "HEADERS;DEPS" ${ARGN})
    add_library(${name} OBJECT ${vantle_pch_empty_source})
    set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTORCC OFF AUTOUIC OFF)
    target_link_libraries(${name} PRIVATE vantle_common ${ARG_DEPS})
    target_precompile_headers(${name} PRIVATE ${ARG_HEADERS})
    if(model STREQUAL "PIE")
        vantle_pie(${name})
    endif()
endfunction()

if(VANTLE_PCH)
    vantle_pch_carrier(vantle_pch_core PIC HEADERS ${VANTLE_PCH_CORE_HEADERS} DEPS Qt6::Core)
    vantle_pch_carrier(vantle_pch_widgets PIC HEADERS ${VANTLE_PCH_WIDGETS_HEADERS}
                       DEPS Qt6::Widgets)
    vantle_pch_carrier(vantle_pch_program PIE HEADERS ${VANTLE_PCH_CORE_HEADERS} DEPS Qt6::Core)
endif()

# vantle_reuse_pch(TARGET CARRIER): TARGET compiles with CARRIER's precompiled header.
function(vantle_reuse_pch target carrier)
    if(VANTLE_PCH AND TARGET ${carrier})
        target_precompile_headers(${target} REUSE_FROM ${carrier})
    endif()
endfunction()

# vantle_unity(TARGET [SKIP sources...]): TARGET's sources compiled in batches; the SKIP ones
# (whose file-local names clash with another file's) on their own.
function(vantle_unity target)
    cmake_parse_arguments(ARG "" "" "SKIP" ${ARGN})
    if(NOT VANTLE_UNITY_BUILD)
        return()
    endif()
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON
                          UNITY_BUILD_BATCH_SIZE ${VANTLE_UNITY_BATCH_SIZE})
    if(ARG_SKIP)
        set_source_files_properties(${ARG_SKIP} TARGET_DIRECTORY ${target}
                                    PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
    endif()
endfunction()
