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
# The tests run side by side under ctest: pyGIMLi and its BLAS take two
# threads each unless told otherwise, instead of one per core, so that
# parallel tests do not crowd each other out.
export GIMLI_NUM_THREADS="${GIMLI_NUM_THREADS:-2}" OMP_NUM_THREADS="${OMP_NUM_THREADS:-2}"
export OPENBLAS_NUM_THREADS="${OPENBLAS_NUM_THREADS:-2}"
exec "$venv/bin/python" "$@"
