# Compiler settings shared by every target of the project.

find_program(LP_CCACHE ccache)
if(LP_CCACHE)
  # Paths relative to the source folder, and no hash of the working folder:
  # a fresh clone in another folder (CI's, a second work tree) reuses what
  # an earlier build of the same sources compiled.
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${PROJECT_SOURCE_DIR}
      CCACHE_NOHASHDIR=true ${LP_CCACHE})
endif()

# lld links the large test programs (hundreds of megabytes with the
# sanitizers) several times faster than the default linker; used where the
# compiler is clang and lld is installed (scripts/install-deps.sh --fuzz).
find_program(LP_LLD ld.lld)
if(LP_LLD AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_link_options(-fuse-ld=lld)
endif()

add_library(lp_options INTERFACE)
target_compile_options(lp_options INTERFACE -Wall -Wextra -Wno-unused-parameter)
target_include_directories(lp_options INTERFACE ${PROJECT_SOURCE_DIR})

if(LP_SANITIZE)
  set(_lp_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(lp_options INTERFACE ${_lp_san})
  target_link_options(lp_options INTERFACE ${_lp_san})
  # Debug sanitizer builds compile at -O1 (the sanitizers' own advice):
  # the numeric templates (Eigen's products, kernels) of every unit must be
  # optimised, as the linker keeps any one unit's copy of an inline
  # function, and an unoptimised copy made the inversions tens of times
  # slower than the optimised libraries alone would run.
  # Set as the configuration's flags, ahead of every target's own, so that
  # the libraries optimised further (-O2) keep their level.
  string(APPEND CMAKE_CXX_FLAGS_DEBUG " -O1")
  # UndefinedBehaviorSanitizer adds its checks before the optimiser runs, so
  # each of Eigen's small inline functions (an element's load, a packet's
  # multiply-add) looks too large to inline even at -O2 and stays a call in
  # the innermost loops. Forced inline, the checks stay and the calls go.
  target_compile_definitions(lp_options INTERFACE "EIGEN_STRONG_INLINE=__attribute__((always_inline)) inline")
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
  # targets link the engine itself (fuzz/CMakeLists.txt). A target whose
  # property LP_NO_FUZZ_COVERAGE is set compiles without it (lp_forward's
  # and lp_inversion's numeric loops, which no fuzz target reaches: the
  # counters and comparison hooks slowed them several times over), and a
  # source of it that a fuzz target does reach takes it back with the
  # source property COMPILE_OPTIONS ${LP_FUZZ_COVERAGE}. The property is
  # read on the target compiled, not on lp_options: the flag is never given
  # to it at all, as a negating flag among the target's own options would
  # come ahead of the interface's and lose.
  set(LP_FUZZ_COVERAGE -fsanitize=fuzzer-no-link)
  target_compile_options(lp_options INTERFACE
    $<$<NOT:$<BOOL:$<TARGET_PROPERTY:LP_NO_FUZZ_COVERAGE>>>:${LP_FUZZ_COVERAGE}>)
  target_link_options(lp_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

# The libraries' sources compile in batches of eight (a unity build): the
# headers each source includes are parsed once per batch, which more than
# halves a full build. LP_UNITY_LIBRARIES=OFF compiles each source alone.
option(LP_UNITY_LIBRARIES "Compile the libraries' sources in batches (unity build)" ON)

# lp_add_library(<name> <sources...>): one static library of a layer.
function(lp_add_library name)
  add_library(${name} STATIC ${ARGN})
  target_link_libraries(${name} PUBLIC lp_options)
  set_target_properties(${name} PROPERTIES UNITY_BUILD ${LP_UNITY_LIBRARIES} UNITY_BUILD_BATCH_SIZE 8)
endfunction()

# Qt-using targets share one precompiled header of the Qt modules they use.
function(lp_use_qt_pch target)
  target_precompile_headers(${target} PRIVATE
    <QtCore/QObject> <QtCore/QString> <QtCore/QVariant> <QtCore/QMetaObject>
    <QtCore/QList> <QtCore/QHash> <QtGui/QImage> <QtGui/QPainter> <QtGui/QPainterPath>)
endfunction()
