#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own.
# Layers from the bottom: platform/base, section/model, section/survey, section/forward,
# section/inversion, platform, chart/canvas,
# ..., chart/export, components, chart/editors, section/views, ...
# (see docs/ARCHITECTURE.md). Each entry lists the folders a layer may include.
set -u
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2

declare -A allowed=(
  [platform/base]="platform/base"
  [section/model]="platform/base section/model"
  [section/survey]="platform/base section/model section/survey"
  [section/forward]="platform/base section/model section/survey section/forward"
  [section/inversion]="platform/base section/model section/survey section/forward section/inversion"
  [section/site]="platform/base section/model section/survey section/forward section/inversion section/site"
  [platform/core]="platform/base platform/core"
  [platform/graphics]="platform/base platform/core platform/graphics"
  [platform/ui]="platform/base platform/core platform/graphics platform/ui"
  [chart/canvas]="platform chart/canvas"
  [chart/engine]="platform chart/canvas chart/engine"
  [chart/extensions]="platform chart/canvas chart/engine chart/extensions"
  [chart/export]="platform chart/canvas chart/engine chart/extensions chart/export"
  [components]="platform components"
  [chart/editors]="platform chart/canvas chart/engine chart/extensions chart/export components chart/editors"
  [section/views]="platform chart components section/model section/views"
  [section/editor]="platform chart components section/model section/views section/editor"
  [section/dialogs]="platform chart components section/model section/views section/editor section/dialogs"
  [section/modelling]="platform chart components section/model section/survey section/forward section/inversion section/site section/views section/editor section/dialogs section/modelling"
  [section/main]="platform chart components section/model section/survey section/forward section/inversion section/site section/views section/editor section/dialogs section/modelling section/main"
)

status=0
for layer in "${!allowed[@]}"; do
  [ -d "$layer" ] || continue
  while IFS= read -r hit; do
    file=${hit%%:*}
    header=$(sed -E 's/.*#include[[:space:]]*"([^"]+)".*/\1/' <<<"${hit#*:}")
    ok=0
    for dir in ${allowed[$layer]}; do
      [[ $header == "$dir"/* ]] && ok=1
    done
    # Headers beside the source (private headers) are always allowed.
    [[ $header != */* ]] && ok=1
    if [ $ok -eq 0 ]; then
      echo "layering: $file includes $header, which $layer may not use"
      status=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' '#include[[:space:]]*"' "$layer")
done
# The model, the survey, the forward computation and the inversion stay free
# of Qt.
for layer in section/model section/survey section/forward section/inversion section/site; do
  if grep -rn --include='*.h' --include='*.cpp' -E '#include[[:space:]]*<Q' "$layer"; then
    echo "layering: $layer must not use Qt"
    status=1
  fi
done
exit $status
