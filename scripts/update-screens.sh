#!/usr/bin/env bash
# Renews the pictures in docs/screens/ from the screenshots the tests take
# (each window at the size it opens), after a build in build/test:
#
#   scripts/update-screens.sh [BUILD]
#
# Runs the test programs that photograph windows, each test in a fresh
# settings folder as test.sh does, then copies every picture docs/screens/
# already holds from the tests' screens folder. A few pictures keep names
# of their own: they are copied from the walk over every editor page.
# docs/screens/main-window.png is the main window on the example section as
# the body parameters test photographs it at 1400 x 800.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/test}
screens=$build/test-artifacts/screens

. scripts/headless-environment.sh

rm -rf "$screens"
ctest --test-dir "$build" --parallel "$(nproc 2>/dev/null || echo 2)" \
  -R '^(editors_test|sectiondialogs_test|mainwindow_test|modelling_test)\.' >/dev/null

declare -A alias=(
  [page-legend]=page-TFormPlotLegend [page-panel]=page-TFormPlotPanel
  [page-titles]=page-TFormPlotTitle [page-walls]=page-TFormPlotWall
  [legend-symbol-editor]=page-TSymbolEditor [shape-format-editor]=page-TFormPlotShape
  [main-window]=main-window-example [forward-response]=forward-response-example
)
copied=0
for picture in docs/screens/*.png; do
  name=$(basename "$picture" .png)
  source=$screens/${alias[$name]:-$name}.png
  if [ -f "$source" ]; then
    cp "$source" "$picture"
    copied=$((copied + 1))
  elif [ "$name" != main-window ]; then
    echo "update-screens.sh: no test takes $name.png" >&2
  fi
done
echo "update-screens.sh: $copied pictures renewed"
