#!/usr/bin/env bash
# Installs what is missing, builds Lithoprism and runs every test headless.
# LP_SANITIZE=ON builds and tests with AddressSanitizer and
# UndefinedBehaviorSanitizer (in its own build folder).
# LP_FUZZ=ON builds with clang instead of the default compiler and links the
# fuzz targets with libFuzzer, so that their replay tests run libFuzzer over
# the corpora (installs clang with scripts/install-deps.sh --fuzz). CI runs
# both: LP_SANITIZE=ON LP_FUZZ=ON.
# The tests comparing the program with pyGIMLi run in a Python environment
# made in the build folder (scripts/install-pygimli.sh); when it cannot be
# made, this script says so and fails.
set -euo pipefail
cd "$(dirname "$0")"

sanitize=${LP_SANITIZE:-OFF}
fuzz=${LP_FUZZ:-OFF}
if [ "$fuzz" = "ON" ]; then
  ./scripts/install-deps.sh --fuzz
else
  ./scripts/install-deps.sh
fi

if [ "$sanitize" = "ON" ]; then
  build=build/sanitize
  type=Debug
else
  build=build/test
  type=RelWithDebInfo
fi
compilers=()
if [ "$fuzz" = "ON" ]; then
  build=$build-fuzz
  compilers=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
fi
jobs=$(nproc 2>/dev/null || echo 2)

./scripts/install-pygimli.sh "$build"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DLP_SANITIZE="$sanitize" -DLP_FUZZ="$fuzz" \
  -DLP_PYGIMLI_VENV="$PWD/$build/pyvenv" "${compilers[@]}"
cmake --build "$build" --parallel "$jobs"

. scripts/headless-environment.sh
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

ctest --test-dir "$build" --output-on-failure --parallel "$jobs" "$@"
