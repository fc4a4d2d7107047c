#!/usr/bin/env bash
# Makes BUILD_DIR/pyvenv: a Python virtual environment with pyGIMLi pinned to
# tests/section/pygimli/requirements.txt, for the tests that read the
# program's files in pyGIMLi and compare its forward response with pyGIMLi's.
# Nothing the program needs comes from it. Quick when the environment holds
# the pinned versions already; remade when the pins change. Exits 1 with a
# plain message when pyGIMLi cannot be installed: the tests comparing with it
# would fail, never pass unchecked.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -ne 1 ]; then
  echo "usage: install-pygimli.sh BUILD_DIR" >&2
  exit 2
fi
venv=$1/pyvenv
requirements=tests/section/pygimli/requirements.txt
stamp=$venv/lithoprism-requirements.txt

fail() {
  echo "install-pygimli: $1" >&2
  echo "install-pygimli: pyGIMLi is not installed in $venv; the tests comparing the program with pyGIMLi cannot run and FAIL." >&2
  exit 1
}

if [ -x "$venv/bin/python" ] && [ -f "$stamp" ] && cmp -s "$stamp" "$requirements"; then
  echo "install-pygimli: $venv holds the pinned pyGIMLi."
  exit 0
fi

mkdir -p "$1"
python3 -m venv --clear "$venv" ||
  fail "python3 -m venv failed (Debian's python3-venv package, installed by scripts/install-deps.sh, provides it)"
echo "install-pygimli: installing $(grep -v '^#' "$requirements" | tr '\n' ' ')into $venv"
"$venv/bin/python" -m pip install --quiet --disable-pip-version-check --no-input -r "$requirements" ||
  fail "pip could not install the pinned versions of $requirements (is PyPI reachable?)"
"$venv/bin/python" -c "from pygimli.physics import ert" ||
  fail "pyGIMLi was installed but does not import"
cp "$requirements" "$stamp"
echo "install-pygimli: $venv is ready."
