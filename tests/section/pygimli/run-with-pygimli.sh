#!/bin/sh
# Runs a test script in the Python environment with pyGIMLi:
#   run-with-pygimli.sh VENV SCRIPT [ARGUMENTS...]
# Fails with a plain message when the environment is missing: a cross-check
# that cannot run is a failure, never a pass.
venv=$1
shift
if [ ! -x "$venv/bin/python" ]; then
  echo "The Python environment with pyGIMLi ($venv) is missing: make it with" >&2
  echo "scripts/install-pygimli.sh BUILD_DIR (./test.sh does), or set LP_PYGIMLI_VENV. FAILED." >&2
  exit 1
fi
export PYTHONDONTWRITEBYTECODE=1
exec "$venv/bin/python" "$@"
