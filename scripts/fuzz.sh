#!/usr/bin/env bash
# Fuzzes every reader (or the TARGETs named) with libFuzzer for SECONDS each
# (default 60):
#
#   bash scripts/fuzz.sh [SECONDS [TARGET...]]
#
# Sets up the fuzz package group, builds the fuzz targets with clang-14 in
# build-fuzz (-DPIXWRIGHT_FUZZ=ON), draws their seed corpora and runs each
# target on its working corpus (build-fuzz/fuzz/corpus/TARGET, kept between
# runs), its seeds and its regression inputs (fuzz/regressions/TARGET). A
# crash, hang, leak or sanitizer report keeps its input in
# fuzz/crashes/TARGET/ and fuzzing goes on for the time left. Prints one line
# per target: seconds fuzzed, inputs executed, corpus size, crashes found.
# Exits 1 when any target crashed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [SECONDS [TARGET...]]" >&2
  exit 2
fi
bash scripts/setup.sh fuzz

root=$PWD
build=$root/build-fuzz
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIXWRIGHT_FUZZ=ON \
  -DPIXWRIGHT_BUILD_TESTS=OFF -DPIXWRIGHT_BUILD_BENCH=OFF >/dev/null
if [ $# -gt 1 ]; then
  targets=("${@:2}")
  # Only the targets named, and the seeds they start from.
  builds=("${targets[@]}" fuzz_make_seeds)
  if [[ " ${targets[*]} " == *" fuzz_settings "* ]]; then builds+=(fuzz_make_settings_seeds); fi
else
  targets=(fuzz_convert fuzz_png_loader fuzz_bmp_loader fuzz_jpeg_loader fuzz_picture_format fuzz_savers
    fuzz_cli_options fuzz_settings)
  builds=(fuzz_targets)
fi
nice cmake --build "$build" --target "${builds[@]}" -j"$(nproc)"

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

seeds=$build/fuzz/seeds
"$build/fuzz/fuzz_make_seeds" "$seeds"
if [ -x "$build/fuzz/fuzz_make_settings_seeds" ]; then
  "$build/fuzz/fuzz_make_settings_seeds" "$seeds"
fi

# libFuzzer's count of one run's executed inputs, and its last corpus size.
executed() {
  local n
  n=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$1" | tail -n 1)
  echo "${n:-0}"
}
corpusSize() { sed -n 's/.* corp: \([0-9]*\)\/.*/\1/p' "$1" | tail -n 1; }
# The input a failing run kept (crash-, timeout-, leak- or oom-), or nothing.
keptInput() { sed -n '/slow-unit-/!s/.*Test unit written to \(.*\)$/\1/p' "$1" | tail -n 1; }

summary=()
failed=0
for target in "${targets[@]}"; do
  program=$build/fuzz/$target
  [ -x "$program" ] || continue
  corpus=$build/fuzz/corpus/$target
  crashes=$root/fuzz/crashes/$target
  work=$build/fuzz/work/$target
  logs=$build/fuzz/logs/$target
  rm -rf "$work" "$logs"
  mkdir -p "$corpus" "$crashes" "$work/tmp" "$logs"
  corpora=("$corpus" "$seeds/$target")
  if [ -d "$root/fuzz/regressions/$target" ]; then
    corpora+=("$root/fuzz/regressions/$target")
  fi

  start=$SECONDS
  deadline=$((SECONDS + seconds))
  runs=0 executions=0 found=0 size=0
  kept=()
  while [ $((deadline - SECONDS)) -gt 0 ]; do
    runs=$((runs + 1))
    log=$logs/run$runs.log
    # The targets make their scratch folders under TMPDIR; a failed run
    # leaves its folder there until this script runs the target again.
    set +e
    (cd "$work" && TMPDIR="$work/tmp" "$program" -max_total_time=$((deadline - SECONDS)) -timeout=30 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$crashes/" "${corpora[@]}") >"$log" 2>&1
    status=$?
    set -e
    executions=$((executions + $(executed "$log")))
    size=$(corpusSize "$log")
    if [ "$status" -eq 0 ]; then
      break
    fi
    input=$(keptInput "$log")
    if [ -z "$input" ]; then
      echo "fuzz: $target ended with status $status and kept no input; see $log" >&2
      exit 1
    fi
    echo "fuzz: $target failed on ${input#"$root"/}; log $log" >&2
    # An input of the corpora itself fails again at every start.
    if [[ " ${kept[*]} " == *" $input "* ]]; then
      break
    fi
    kept+=("$input")
    found=$((found + 1))
  done
  [ "$found" -eq 0 ] || failed=1
  summary+=("$(printf '%-18s %8d %12d %8s %8d' "$target" $((SECONDS - start)) "$executions" "${size:-0}" "$found")")
done

printf '%-18s %8s %12s %8s %8s\n' target seconds executions corpus crashes
printf '%s\n' "${summary[@]}"
exit $failed
