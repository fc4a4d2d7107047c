#!/usr/bin/env bash
# Makes the Debian package of Lithoprism: installs what is missing to build,
# builds Release without tests and benchmarks in build/package, and runs
# cpack there. The package is build/package/lithoprism_VERSION_ARCH.deb;
# install it with "sudo apt install ./build/package/lithoprism_*.deb".
# LP_JOBS sets the number of parallel compile jobs (default: all cores).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

build=build/package
jobs=${LP_JOBS:-$(nproc 2>/dev/null || echo 2)}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLP_BUILD_TESTS=OFF -DLP_BUILD_BENCH=OFF
cmake --build "$build" --parallel "$jobs"
rm -f "$build"/lithoprism_*.deb
(cd "$build" && cpack -G DEB)
ls -l "$build"/lithoprism_*.deb
