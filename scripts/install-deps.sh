#!/usr/bin/env bash
# Installs the Debian packages Lithoprism needs to build, test and run
# (the gmsh program only for the tests; the forward computation links the
# Gmsh library, Eigen and SuiteSparse's CHOLMOD).
# Packages already present are skipped; apt-get update runs once, only when
# something is missing. Works as root or through sudo.
#
# --fuzz (or LP_FUZZ_DEPS=1) adds what fuzzing needs (scripts/fuzz.sh):
# clang, its libFuzzer and sanitizer runtimes, llvm-cov, and lld (which
# links the sanitizer tree's large programs several times faster). Never by
# default.
set -euo pipefail

fuzz=${LP_FUZZ_DEPS:-0}
for argument in "$@"; do
  case $argument in
    --fuzz) fuzz=1 ;;
    *) echo "usage: install-deps.sh [--fuzz]" >&2; exit 2 ;;
  esac
done

packages=(
  cmake ninja-build g++ ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-multimedia-dev libgl-dev
  libjpeg62-turbo-dev libx11-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2
  xvfb xauth
  poppler-utils
  libgmsh-dev libeigen3-dev libsuitesparse-dev
)
# Test dependencies: gmsh meshes the exported model geometry in the tests;
# python3-venv makes the tests' Python environment with pyGIMLi
# (scripts/install-pygimli.sh).
packages+=(gmsh python3-venv)
if [ "$fuzz" = "1" ]; then
  packages+=(clang libclang-rt-14-dev llvm lld)
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages are installed."
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  as_root=(sudo -n)
elif command -v sudo >/dev/null 2>&1 && [ -t 0 ]; then
  as_root=(sudo)
else
  echo "install-deps: these packages are missing: ${missing[*]}" >&2
  echo "install-deps: installing them needs root; run this script as root or with sudo rights." >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
