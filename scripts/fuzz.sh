#!/usr/bin/env bash
# Fuzzes the readers of outside data with libFuzzer (clang, AddressSanitizer
# and UndefinedBehaviorSanitizer).
#
#   scripts/fuzz.sh [-m MINUTES] [-j PARALLEL] [--coverage] [TARGET...]
#
# Builds build/fuzz (LP_FUZZ=ON) and fuzzes each target (all of them when
# none is named; names as in fuzz/CMakeLists.txt) for MINUTES minutes
# (default 5; fractions allowed; 0 only reports on the corpora of earlier
# runs), PARALLEL targets at once (default 4). Each target starts
# from its seeds (written by fuzz_seeds) and its regression corpus
# (fuzz/regression/<target>/) and keeps its growing corpus in
# build/fuzz/corpus/<target>/. Failing inputs go to
# build/fuzz/findings/<target>/ and fuzzing goes on after them (an input
# that runs over 20 s or lets the process grow over 3 GB is a finding as a
# crash is: -timeout, -rss_limit_mb); the log is
# build/fuzz/logs/<target>.log. At the end one line per target: executions,
# libFuzzer's coverage (cov: edges, ft: features), corpus size and findings.
#
# --coverage also builds build/coverage (clang source-based coverage, the
# replay driver), replays every corpus and prints each target's line
# coverage of the units it reads through (llvm-cov).
#
# Needs clang, libclang-rt-14-dev and llvm: scripts/install-deps.sh --fuzz.
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=5
parallel=4
coverage=0
targets=()
while [ $# -gt 0 ]; do
  case $1 in
    -m) minutes=$2; shift 2 ;;
    -j) parallel=$2; shift 2 ;;
    --coverage) coverage=1; shift ;;
    -h|--help) sed -n '2,25p' "$0"; exit 0 ;;
    -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done

all_targets=$(sed -n 's/^  \([a-z_]*\):Fuzz.*/\1/p' fuzz/CMakeLists.txt)
if [ ${#targets[@]} -eq 0 ]; then
  read -r -a targets <<<"$(echo $all_targets)"
fi
for target in "${targets[@]}"; do
  grep -qx "$target" <<<"$all_targets" || { echo "fuzz.sh: no target $target" >&2; exit 2; }
done

for tool in clang clang++; do
  command -v $tool >/dev/null || { echo "fuzz.sh: $tool is missing (scripts/install-deps.sh --fuzz)" >&2; exit 1; }
done

# The source units each target reads through, for the coverage figures.
units_of() {
  case $1 in
    section_block) echo section/editor/SectionFile.cpp ;;
    section_chart) echo section/editor/SectionFile.cpp section/editor/PolygonChartFile.cpp ;;
    chart_file) echo chart/export/PlotChartFile.cpp platform/core/ComponentStream.cpp platform/core/ComponentText.cpp platform/graphics/Picture.cpp ;;
    bmp) echo platform/graphics/Bitmap.cpp ;;
    png|gif) echo platform/graphics/Picture.cpp ;;
    jpeg) echo platform/graphics/Jpeg.cpp ;;
    emf) echo platform/graphics/MetafilePlayer.cpp platform/graphics/MetafileDib.cpp platform/graphics/Metafile.cpp ;;
    wmf) echo platform/graphics/MetafileWmf.cpp ;;
    series_data) echo chart/engine/PlotSeriesData.cpp ;;
    marks_items) echo chart/engine/PlotMarksStream.cpp ;;
    map_polygon) echo chart/engine/PlotMapSeries.cpp chart/engine/PlotSeriesData.cpp ;;
    appearance) echo chart/engine/PlotAppearance.cpp ;;
    series_settings) echo chart/engine/PlotSeriesSettings.cpp ;;
    rich_text) echo chart/canvas/PlotRichText.cpp ;;
    format) echo platform/core/NumberFormat.cpp ;;
    text_to_number) echo section/model/NumberArrays.cpp ;;
    carotage) echo section/editor/Carotage.cpp ;;
    settings) echo platform/ui/Registry.cpp components/RecentFiles.cpp ;;
    wave) echo components/WaveSound.cpp ;;
    date_time_format) echo platform/core/DateTimeFormat.cpp ;;
    pseudo_section) echo section/views/PseudoSection2D.cpp section/views/PseudoSectionRender.cpp ;;
    value_format) echo chart/editors/axis/FormatEditor.cpp ;;
    function_settings) echo chart/engine/PlotFunction.cpp chart/engine/PlotFunctions.cpp chart/editors/functions/PeriodFunctionEditor.cpp chart/editors/functions/CustomFunctionEditor.cpp chart/editors/functions/FunctionPage.cpp chart/extensions/financial/PlotPointFigure.cpp chart/editors/extendedseries/PointFigureSeriesPage.cpp ;;
    typed_number) echo chart/editors/TypedNumberEdit.cpp ;;
    grid_cell) echo chart/editors/data/ChartGrid.cpp chart/editors/TypedNumberEdit.cpp chart/editors/axis/AxisIncrementDialogs.cpp ;;
    axis_dialogs) echo chart/editors/axis/AxisIncrementDialogs.cpp chart/editors/TypedNumberEdit.cpp ;;
    scheme_file) echo section/survey/DataFile.cpp ;;
  esac
}

build=build/fuzz
jobs=$(nproc 2>/dev/null || echo 2)
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLP_FUZZ=ON -DLP_SANITIZE=ON -DLP_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$jobs" --target fuzz_seeds $(printf 'fuzz_%s ' "${targets[@]}")

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/fuzz/lsan.supp}

seeds="$build/fuzz/seeds"
rm -rf "$seeds"
"$build/fuzz/fuzz_seeds" "$seeds" >/dev/null

fuzz_one() {
  local target=$1
  local corpus="$build/corpus/$target" findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings" "$build/logs"
  # Regression inputs stay out of the working corpus: they are read, and
  # what they add is kept as new inputs.
  "$build/fuzz/fuzz_$target" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
    -max_total_time="$(awk -v m="$minutes" 'BEGIN { s = int(m * 60); print (s > 0 ? s : 1) }')" -timeout=20 -rss_limit_mb=3072 -malloc_limit_mb=2048 -max_len=16384 \
    -print_final_stats=1 -artifact_prefix="$findings/" \
    "$corpus" "$seeds/$target" "fuzz/regression/$target" >"$build/logs/$target.log" 2>&1 || true
}

if [ "$minutes" != "0" ]; then
  echo "fuzz.sh: ${#targets[@]} targets, $minutes min each, $parallel at once"
  running=0
  for target in "${targets[@]}"; do
    fuzz_one "$target" &
    running=$((running + 1))
    if [ $running -ge "$parallel" ]; then
      wait -n
      running=$((running - 1))
    fi
  done
  wait
fi

# The last progress line of a fork-mode run: "#N: cov: C ft: F corp: K ...".
printf '%-16s %12s %8s %8s %8s %9s\n' target executions cov ft corpus findings
for target in "${targets[@]}"; do
  log="$build/logs/$target.log"
  last=$(grep -E '^#[0-9]+: cov: ' "$log" | tail -1 || true)
  execs=$(sed -E 's/^#([0-9]+):.*/\1/' <<<"$last")
  cov=$(sed -nE 's/.* cov: ([0-9]+).*/\1/p' <<<"$last")
  ft=$(sed -nE 's/.* ft: ([0-9]+).*/\1/p' <<<"$last")
  corp=$(sed -nE 's/.* corp: ([0-9]+).*/\1/p' <<<"$last")
  found=$(find "$build/findings/$target" -type f | wc -l)
  printf '%-16s %12s %8s %8s %8s %9s\n' "$target" "${execs:-?}" "${cov:-?}" "${ft:-?}" "${corp:-?}" "$found"
done

# The distinct places the findings were reported at (sanitizer reports,
# libFuzzer's timeouts and out-of-memory reports), with their counts.
for target in "${targets[@]}"; do
  sites=$(grep -hoE '[^ ]+\.(cpp|h):[0-9]+:[0-9]+: runtime error: [a-z -]+|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer): [a-z -]+|SUMMARY: AddressSanitizer: [a-z-]+ [^ ]+' \
    "$build/logs/$target.log" | sed -E 's#^.*/(platform|chart|section|fuzz)/#\1/#' | sort | uniq -c | sort -rn | head -8 || true)
  [ -n "$sites" ] && printf '\n%s:\n%s\n' "$target" "$sites"
done

[ "$coverage" = "1" ] || exit 0

# Line coverage: replay each corpus in a coverage build.
cbuild=build/coverage
flags="-fprofile-instr-generate -fcoverage-mapping"
CC=clang CXX=clang++ cmake -S . -B "$cbuild" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLP_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$cbuild" --parallel "$jobs" --target $(printf 'fuzz_%s ' "${targets[@]}")
mkdir -p "$cbuild/profiles"
printf '\n%-16s %10s %10s %8s   %s\n' target lines covered percent units
for target in "${targets[@]}"; do
  profile="$cbuild/profiles/$target"
  LLVM_PROFILE_FILE="$profile.profraw" "$cbuild/fuzz/fuzz_$target" \
    "$build/corpus/$target" "$seeds/$target" "fuzz/regression/$target" >/dev/null 2>&1 || true
  llvm-profdata merge -sparse "$profile.profraw" -o "$profile.profdata"
  units=$(units_of "$target")
  # Lines of the units (matched by path suffix) from llvm-cov's summary.
  llvm-cov export -format=text -summary-only "$cbuild/fuzz/fuzz_$target" -instr-profile="$profile.profdata" |
    python3 -c '
import json, os, sys
units = sys.argv[2:]
lines = covered = 0
for f in json.load(sys.stdin)["data"][0]["files"]:
    if any(os.path.normpath(f["filename"]).endswith("/" + u) for u in units):
        lines += f["summary"]["lines"]["count"]
        covered += f["summary"]["lines"]["covered"]
print("%-16s %10d %10d %7.1f%%   %s" % (sys.argv[1], lines, covered, 100.0 * covered / max(lines, 1), " ".join(units)))
' "$target" $units
done
