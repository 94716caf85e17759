#!/usr/bin/env bash
# Two builds of pixwright-cli against each other on the bench's pictures,
# runs alternating (before, after, before, ...), so that the drift of a
# shared machine falls on both alike; prints each row's medians and their
# ratio. For checking that a change of structure keeps the speed, where two
# runs of bench/run.sh minutes apart differ by more than the margin.
#
#     bash bench/compare.sh BEFORE_CLI AFTER_CLI [RUNS]      (default 9 pairs)
#
# The rows are those of bench/run.sh: a) the chipset, nearest, with --jobs 1
# and the default jobs; b) the chipset with the defaults, --jobs 1; d) the
# 25-picture folder, nearest, with --jobs 1 and the default jobs; e) the
# 2048 x 2048 picture with --png-filter none and with the default filter.
# The pictures are drawn by build/bench/make_pictures (built when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -lt 2 ]; then
  sed -n '2,/^set -euo/p' "$0" | grep '^#' | sed 's/^# \{0,1\}//'
  exit 2
fi
before=$(realpath "$1")
after=$(realpath "$2")
runs=${3:-9}
[ -x build/bench/make_pictures ] || cmake --build build --target make_pictures >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/bench/make_pictures "$work/p" >/dev/null
p=$work/p
key=FF678B
nearest="--interpolation nearest --sharpen 0 --no-alpha-grid --format png --key $key"
big="--name large --mode nogrid --interpolation nearest --sharpen 0 --outputs natural --key $key"
names=(a1 ad b1 d1 dd en ed)
declare -A label=([a1]="a) chipset nearest, --jobs 1" [ad]="a) chipset nearest, default jobs"
  [b1]="b) chipset defaults, --jobs 1" [d1]="d) 25 pictures nearest, --jobs 1"
  [dd]="d) 25 pictures nearest, default jobs" [en]="e) 2048x2048, --png-filter none"
  [ed]="e) 2048x2048, default filter")
declare -A args=([a1]="--name chip --mode chipset $nearest --jobs 1 $p/chipset.png"
  [ad]="--name chip --mode chipset $nearest $p/chipset.png"
  [b1]="--name chip --mode chipset --format png --key $key --jobs 1 $p/chipset.png"
  [d1]="$nearest --jobs 1 $p/folder" [dd]="$nearest $p/folder"
  [en]="$big --png-filter none $p/large.png" [ed]="$big $p/large.png")

# Wall time of one run in milliseconds, into an emptied output folder.
timed() {
  rm -rf "$work/out"
  local start end
  start=$(date +%s%N)
  # shellcheck disable=SC2086 # the arguments are split on purpose
  "$1" -o "$work/out" ${args[$2]} >/dev/null 2>&1 || { echo "bench: $1 failed on row $2" >&2; exit 1; }
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
median() { sort -n | sed -n "$(((runs + 1) / 2))p"; }

printf '%-40s %10s %10s %7s\n' row "before ms" "after ms" ratio
for row in "${names[@]}"; do
  b=() a=()
  for _ in $(seq "$runs"); do
    b+=("$(timed "$before" "$row")")
    a+=("$(timed "$after" "$row")")
  done
  mb=$(printf '%s\n' "${b[@]}" | median)
  ma=$(printf '%s\n' "${a[@]}" | median)
  printf '%-40s %10s %10s %7s\n' "${label[$row]}" "$mb" "$ma" "$(awk -v a="$ma" -v b="$mb" 'BEGIN { printf "%.2f", a / b }')"
done
