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
section=${1:-examples/example.sec}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
  echo "run.sh: the editor is built ($program), but there is no display to show it on." >&2
  echo "run.sh: start it on a virtual display with:" >&2
  echo "    xvfb-run -s '-screen 0 1400x800x24' $program '$section'" >&2
  exit 2
fi
exec "$program" "$section"
