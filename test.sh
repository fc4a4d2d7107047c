#!/usr/bin/env bash
# Installs what is missing, builds Lithoprism and runs every test headless.
# LP_SANITIZE=ON builds and tests with AddressSanitizer and
# UndefinedBehaviorSanitizer (in its own build folder).
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

sanitize=${LP_SANITIZE:-OFF}
if [ "$sanitize" = "ON" ]; then
  build=build/sanitize
  type=Debug
else
  build=build/test
  type=RelWithDebInfo
fi
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DLP_SANITIZE="$sanitize"
cmake --build "$build" --parallel "$jobs"

# Tests never see the user's settings or data: everything goes to a
# temporary home that is removed afterwards.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" \
  XDG_CACHE_HOME="$scratch/cache" XDG_RUNTIME_DIR="$scratch/runtime" TMPDIR="$scratch/tmp"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR" "$TMPDIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

ctest --test-dir "$build" --output-on-failure --parallel "$jobs" "$@"
