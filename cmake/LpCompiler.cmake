# Compiler settings shared by every target of the project.

find_program(LP_CCACHE ccache)
if(LP_CCACHE)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${LP_CCACHE})
endif()

add_library(lp_options INTERFACE)
target_compile_options(lp_options INTERFACE -Wall -Wextra -Wno-unused-parameter)
target_include_directories(lp_options INTERFACE ${PROJECT_SOURCE_DIR})

if(LP_SANITIZE)
  set(_lp_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(lp_options INTERFACE ${_lp_san})
  target_link_options(lp_options INTERFACE ${_lp_san})
  # A sanitizer report needs file and line of each frame, nothing more: line
  # tables instead of full debug info halve the compile and link time of the
  # sanitizer tree. LP_FULL_DEBUG_INFO=ON keeps the full information for a
  # debugger.
  option(LP_FULL_DEBUG_INFO "Full debug information in sanitizer builds (line tables only otherwise)" OFF)
  if(NOT LP_FULL_DEBUG_INFO)
    target_compile_options(lp_options INTERFACE $<$<CONFIG:Debug,RelWithDebInfo>:-g1>)
  endif()
endif()

if(LP_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "LP_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++)")
  endif()
  # Coverage instrumentation for libFuzzer in every library; the fuzz
  # targets link the engine itself (fuzz/CMakeLists.txt).
  target_compile_options(lp_options INTERFACE -fsanitize=fuzzer-no-link)
  target_link_options(lp_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

# lp_add_library(<name> <sources...>): one static library of a layer.
function(lp_add_library name)
  add_library(${name} STATIC ${ARGN})
  target_link_libraries(${name} PUBLIC lp_options)
endfunction()

# Qt-using targets share one precompiled header of the Qt modules they use.
function(lp_use_qt_pch target)
  target_precompile_headers(${target} PRIVATE
    <QtCore/QObject> <QtCore/QString> <QtCore/QVariant> <QtCore/QMetaObject>
    <QtCore/QList> <QtCore/QHash> <QtGui/QImage> <QtGui/QPainter> <QtGui/QPainterPath>)
endfunction()
