#!/usr/bin/env bash
# Installs what is missing, builds Lithoprism (Release) and starts the editor
# on the given section file, or on the bundled example section.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLP_BUILD_TESTS=OFF -DLP_BUILD_BENCH=OFF
cmake --build "$build" --parallel "$(nproc 2>/dev/null || echo 2)"

program="$build/section/lithoprism"
if [ ! -x "$program" ]; then
  echo "run.sh: the libraries are built, but the editor's main window does not exist yet;" >&2
  echo "run.sh: there is no program to start in this version." >&2
  exit 2
fi
exec "$program" "${1:-examples/example.sec}"
