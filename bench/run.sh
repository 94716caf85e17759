#!/usr/bin/env bash
# The conversion benchmark: pixwright-cli against a floor, in one table.
#
#     bash bench/run.sh [--runs N] [--keep] [--help]
#
# One command does everything: installs the bench packages
# (scripts/setup.sh bench), builds when needed (the RelWithDebInfo tree
# build/ of scripts/build.sh; then only pixwright-cli, bench_floor and
# make_pictures are brought up to date), draws the pictures into a scratch
# folder (bench/make_pictures), proves that the floor writes what the
# converter writes (bench_floor compare), then measures each command's median
# wall time with hyperfine (2 warm-up runs, N timed runs: default 10, at
# least 10) and its peak memory (max RSS from /usr/bin/time -f %M, median of
# 5 runs). Every run writes into an emptied output folder.
#
#   a) one chipset, nearest, no sharpen, no alpha-grid: the converter against
#      bench_floor chipset, which writes the same 54 files
#   b) one chipset with the window's defaults (bilinear, sharpen 2, alpha
#      grid): the converter against bench_floor encode of the same 54 files
#   c) one charset with the defaults: against bench_floor encode of its files,
#      and bench_floor charset (the nearest 24 files) for scale
#   d) a folder of 25 pictures (15 chipsets, 10 charsets), nearest as in a):
#      against bench_floor batch, one thread over the 25 one after the other
#   e) a 2048 x 2048 picture, --mode nogrid --interpolation nearest
#      --sharpen 0 --outputs natural: against bench_floor single and against
#      vips resize IN OUT 2 --kernel nearest, with --png-filter none and with
#      the default filter
#   f) start-up: pixwright-cli --version
#   g) the PNG encodings: the chipset of a) and the folder of d) with
#      --jobs 1 and --png-compression fast, with small, with fast and
#      --png-palette and with --png-palette alone, beside a)'s and d)'s default
#      rows and floors; the picture of e) with fast against vips
#
# Every row also gives the total bytes of the files written.
# Rows a) to d) run the converter with --jobs 1 and with its default number
# of threads. --jobs and --png-filter are used when `pixwright-cli --help`
# lists them; a measurement that needs a missing one prints
# "skipped: option X not available". Then come the targets next to the
# measured ratios, and the results go to bench/results/latest.json.
#
# Rows g) need --png-compression and --png-palette; without them they print
# "skipped: option --png-compression not available".
#
#   --runs N   timed runs per command (at least 10)
#   --keep     keep the scratch folder (pictures and outputs) and print it
#   --help     this text
#
# Exit status: 0 measured, 1 the floor's files differ from the converter's
# or a command failed, 2 bad arguments. Missed targets do not fail the run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

usage() { sed -n '2,/^set -euo/p' "$0" | grep '^#' | sed 's/^# \{0,1\}//'; }

runs=10
warmup=2
rss_runs=5
keep=0
while [ $# -gt 0 ]; do
  case $1 in
    --runs) [ $# -ge 2 ] || { usage >&2; exit 2; }; runs=$2; shift 2 ;;
    --runs=*) runs=${1#--runs=}; shift ;;
    --keep) keep=1; shift ;;
    -h | --help) usage; exit 0 ;;
    *) echo "bench/run.sh: unknown argument '$1'" >&2; usage >&2; exit 2 ;;
  esac
done
if ! [[ $runs =~ ^[0-9]+$ ]] || [ "$runs" -lt 10 ]; then
  echo "bench/run.sh: --runs takes a number of at least 10" >&2
  exit 2
fi

bash scripts/setup.sh bench

# ---------------------------------------------------------------- build
if [ ! -f build/CMakeCache.txt ]; then
  echo "bench: building (scripts/build.sh build)" >&2
  nice bash scripts/build.sh build
fi
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' build/CMakeCache.txt)
if [ "$build_type" != RelWithDebInfo ]; then
  echo "bench: warning: build/ is a '$build_type' build; the figures are meant for RelWithDebInfo" >&2
fi
if ! nice cmake --build build --target pixwright-cli bench_floor make_pictures -j"$(nproc)" \
    >"$root/build/bench-build.log" 2>&1; then
  cat "$root/build/bench-build.log" >&2
  echo "bench/run.sh: the build failed (is build/ configured with PIXWRIGHT_BUILD_BENCH=ON?)" >&2
  exit 1
fi
cli=$root/build/cli/pixwright-cli
floor=$root/build/bench/bench_floor

help_text=$("$cli" --help)
has_jobs=false
has_filter=false
has_compression=false
grep -q -- '--jobs' <<<"$help_text" && has_jobs=true
grep -q -- '--png-filter' <<<"$help_text" && has_filter=true
grep -q -- '--png-compression' <<<"$help_text" && grep -q -- '--png-palette' <<<"$help_text" && has_compression=true

work=$(mktemp -d "${TMPDIR:-/tmp}/pixwright-bench.XXXXXX")
if [ "$keep" = 1 ]; then
  trap 'echo "bench: scratch folder kept: $work" >&2' EXIT
else
  trap 'rm -rf "$work"' EXIT
fi
mkdir -p "$work/json" "$work/out" "$work/raw"
: >"$work/measurements.jsonl"
: >"$work/checks.jsonl"
: >"$work/lines.jsonl"
: >"$work/targets.jsonl"

key=FF678B # the generated pictures' transparent colour, palette entry 0
pictures=$work/pictures
"$root/build/bench/make_pictures" "$pictures" >"$work/pictures.txt"
folder_inputs=("$pictures"/folder/*.png)
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# ---------------------------------------------------------- helpers
declare -A MS KIB BYTES

# A command line as one string hyperfine splits back into the same words.
quoted() { printf '%q ' "$@"; }

median_of() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# measure KEY OUT CMD...: the median wall time and peak memory of CMD, with
# OUT removed before every run.
measure() {
  local key=$1 out=$2
  shift 2
  local json=$work/json/$key.json
  echo "bench: measuring $key" >&2
  if ! hyperfine -N --style none --warmup "$warmup" --runs "$runs" --prepare "$(quoted rm -rf "$out")" \
      --export-json "$json" "$(quoted "$@")" >/dev/null; then
    echo "bench/run.sh: failed: $*" >&2
    exit 1
  fi
  local kib=() i
  for ((i = 0; i < rss_runs; ++i)); do
    rm -rf "$out"
    if ! /usr/bin/time -f %M -o "$work/rss.txt" "$@" >/dev/null 2>"$work/rss.err"; then
      cat "$work/rss.err" >&2
      echo "bench/run.sh: failed: $*" >&2
      exit 1
    fi
    kib+=("$(tail -n 1 "$work/rss.txt")")
  done
  KIB[$key]=$(printf '%s\n' "${kib[@]}" | median_of)
  MS[$key]=$(jq '.results[0].median * 1000' "$json")
  # The files of the last run: a folder's or the one file's bytes.
  # (None for a command that writes nothing, as --version.)
  BYTES[$key]=$({ find "$out" -type f -printf '%s\n' 2>/dev/null || true; } | awk '{b += $1} END {print b + 0}')
  jq -c --arg key "$key" --arg command "$*" --argjson kib "${KIB[$key]}" \
    --argjson bytes "${BYTES[$key]}" \
    '.results[0] | {key: $key, command: $command, bytes: $bytes, median_ms: (.median * 1000), mean_ms: (.mean * 1000),
      stddev_ms: ((.stddev // 0) * 1000), min_ms: (.min * 1000), max_ms: (.max * 1000),
      user_ms: (.user * 1000), system_ms: (.system * 1000), runs: (.times | length), peak_rss_kib: $kib}' \
    "$json" >>"$work/measurements.jsonl"
}

skip() { # skip KEY OPTION
  MS[$1]=skipped
  echo "bench: $1: skipped: option $2 not available"
  jq -nc --arg key "$1" --arg why "option $2 not available" '{key: $key, skipped: $why}' >>"$work/measurements.jsonl"
}

failed_checks=0
# check NAME DIR_A DIR_B [quiet]: the floor's files against the converter's;
# a difference is always shown, a match only without "quiet". With
# COMPARE_PIXELS set, only the pixels count (a palette file may stand for an
# RGBA one).
check() {
  local result status=identical
  if ! result=$("$floor" compare "$2" "$3" ${COMPARE_PIXELS:+--pixels}); then
    status=DIFFER
    failed_checks=$((failed_checks + 1))
    echo "  $1:"
    printf '%s\n' "$result" | head -n 5 | sed 's/^/    /'
  fi
  if [ "$status" = DIFFER ] || [ -z "${4:-}" ]; then
    printf '  %-62s %s%s\n' "$1" "$([ "$status" = DIFFER ] && echo "DIFFER: ")" \
      "$(printf '%s\n' "$result" | tail -n 1 | sed 's/^compare: //')"
  fi
  jq -nc --arg name "$1" --arg status "$status" --arg detail "$(printf '%s\n' "$result" | tail -n 1)" \
    '{name: $name, status: $status, detail: $detail}' >>"$work/checks.jsonl"
}

# line ROW TEXT PRODUCT_KEY YARDSTICK_NAME YARDSTICK_KEY: one line of the table.
declare -a LINES
line() { LINES+=("$1|$2|$3|$4|$5"); }

jobs1=() # the one-thread option, when there is one
$has_jobs && jobs1=(--jobs 1)
nearest=(--interpolation nearest --sharpen 0 --no-alpha-grid --format png --key "$key")
defaults=(--format png --key "$key") # bilinear, sharpen 2, the alpha grid in chipset mode
chip=(--name chip --mode chipset)
char=(--name char --mode charset)
out=$work/out

echo
echo "Pictures (bench/make_pictures, fixed seed):"
grep -E '/(chipset|charset|large)\.png' "$work/pictures.txt" | sed "s|$pictures/|  |"
awk '/folder/ {n++; b += $3} END {printf "  folder: %d pictures, %.0f KB on average\n", n, b / n / 1000}' FS='[ ,]+' \
  "$work/pictures.txt"

# ------------------------------------------- the floor writes what the converter writes
echo
echo "The floor's files against the converter's (bench_floor compare):"
kinds_before=$failed_checks
kinds_total=0
for kind in "$pictures"/kinds/*.png; do
  name=$(basename "$kind" .png)
  "$cli" -o "$out/kind_p" --name k --mode chipset "${nearest[@]}" "$kind" >/dev/null
  "$floor" chipset "$kind" "$out/kind_f" k --key "$key"
  "$cli" -o "$out/kind_sp" --name k --mode nogrid "${nearest[@]}" --outputs natural "$kind" >/dev/null
  "$floor" single "$kind" "$out/kind_sf" k --key "$key"
  check "chipset stored as $name, chipset mode" "$out/kind_p" "$out/kind_f" quiet
  check "chipset stored as $name, nogrid mode" "$out/kind_sp" "$out/kind_sf" quiet
  rm -rf "$out"/kind_*
  kinds_total=$((kinds_total + 1))
done
printf '  %-62s %s\n' "one chipset in $kinds_total PNG kinds (4-bit, interlaced, tRNS, RGB, grey, 16-bit...)" \
  "$([ "$failed_checks" = "$kinds_before" ] && echo "all identical in chipset and nogrid modes" || echo DIFFER)"

chipset=$pictures/chipset.png
charset=$pictures/charset.png
large=$pictures/large.png

# a) one chipset, nearest
if $has_jobs; then
  measure a.product.jobs1 "$out/a_p1" "$cli" -o "$out/a_p1" "${chip[@]}" "${nearest[@]}" "${jobs1[@]}" "$chipset"
else
  skip a.product.jobs1 --jobs
fi
measure a.product.default "$out/a_pd" "$cli" -o "$out/a_pd" "${chip[@]}" "${nearest[@]}" "$chipset"
measure a.floor "$out/a_f" "$floor" chipset "$chipset" "$out/a_f" chip --key "$key"
$has_jobs && check "a) chipset nearest, --jobs 1" "$out/a_p1" "$out/a_f"
check "a) chipset nearest, default jobs" "$out/a_pd" "$out/a_f"
line a "chipset nearest, --jobs 1" a.product.jobs1 "floor chipset" a.floor
line a "chipset nearest, default jobs" a.product.default "floor chipset" a.floor

# b) one chipset, the window's defaults
if $has_jobs; then
  measure b.product.jobs1 "$out/b_p1" "$cli" -o "$out/b_p1" "${chip[@]}" "${defaults[@]}" "${jobs1[@]}" "$chipset"
else
  skip b.product.jobs1 --jobs
fi
measure b.product.default "$out/b_pd" "$cli" -o "$out/b_pd" "${chip[@]}" "${defaults[@]}" "$chipset"
"$floor" dump "$out/b_pd" "$work/raw/b"
measure b.floor "$out/b_f" "$floor" encode "$work/raw/b" "$out/b_f"
$has_jobs && check "b) chipset defaults, --jobs 1: encode of the same files" "$out/b_p1" "$out/b_f"
check "b) chipset defaults, default jobs: encode of the same files" "$out/b_pd" "$out/b_f"
line b "chipset defaults, --jobs 1" b.product.jobs1 "floor encode" b.floor
line b "chipset defaults, default jobs" b.product.default "floor encode" b.floor

# c) one charset, defaults
if $has_jobs; then
  measure c.product.jobs1 "$out/c_p1" "$cli" -o "$out/c_p1" "${char[@]}" "${defaults[@]}" "${jobs1[@]}" "$charset"
else
  skip c.product.jobs1 --jobs
fi
measure c.product.default "$out/c_pd" "$cli" -o "$out/c_pd" "${char[@]}" "${defaults[@]}" "$charset"
"$floor" dump "$out/c_pd" "$work/raw/c"
measure c.floor.encode "$out/c_fe" "$floor" encode "$work/raw/c" "$out/c_fe"
measure c.floor.charset "$out/c_fn" "$floor" charset "$charset" "$out/c_fn" char --key "$key"
"$cli" -o "$out/c_pn" "${char[@]}" "${nearest[@]}" "$charset" >/dev/null
check "c) charset defaults: encode of the same files" "$out/c_pd" "$out/c_fe"
check "c) charset nearest: floor charset" "$out/c_pn" "$out/c_fn"
line c "charset defaults, --jobs 1" c.product.jobs1 "floor encode" c.floor.encode
line c "charset defaults, default jobs" c.product.default "floor encode" c.floor.encode
line c "charset defaults, default jobs" c.product.default "floor charset (nearest)" c.floor.charset

# d) a folder of 25 pictures, nearest
if $has_jobs; then
  measure d.product.jobs1 "$out/d_p1" "$cli" -o "$out/d_p1" "${nearest[@]}" "${jobs1[@]}" "$pictures/folder"
else
  skip d.product.jobs1 --jobs
fi
measure d.product.default "$out/d_pd" "$cli" -o "$out/d_pd" "${nearest[@]}" "$pictures/folder"
measure d.floor "$out/d_f" "$floor" batch "$out/d_f" "${folder_inputs[@]}" --key "$key"
$has_jobs && check "d) 25 pictures nearest, --jobs 1" "$out/d_p1" "$out/d_f"
check "d) 25 pictures nearest, default jobs" "$out/d_pd" "$out/d_f"
line d "25 pictures nearest, --jobs 1" d.product.jobs1 "floor batch" d.floor
line d "25 pictures nearest, default jobs" d.product.default "floor batch" d.floor

# e) the 2048 x 2048 picture
big=(--name large --mode nogrid --interpolation nearest --sharpen 0 --outputs natural --key "$key")
if $has_filter; then
  measure e.product.none "$out/e_pn" "$cli" -o "$out/e_pn" "${big[@]}" --png-filter none "$large"
else
  skip e.product.none --png-filter
fi
measure e.product.default "$out/e_pd" "$cli" -o "$out/e_pd" "${big[@]}" "$large"
measure e.floor.none "$out/e_fn" "$floor" single "$large" "$out/e_fn" large --key "$key" --filter none
measure e.floor.default "$out/e_fd" "$floor" single "$large" "$out/e_fd" large --key "$key"
measure e.vips "$out/e_vips.png" vips resize "$large" "$out/e_vips.png" 2 --kernel nearest
$has_filter && check "e) 2048x2048 nogrid, --png-filter none" "$out/e_pn" "$out/e_fn"
check "e) 2048x2048 nogrid, default filter" "$out/e_pd" "$out/e_fd"
line e "2048x2048 nogrid nearest, --png-filter none" e.product.none "floor single --filter none" e.floor.none
line e "2048x2048 nogrid nearest, --png-filter none" e.product.none "vips resize" e.vips
line e "2048x2048 nogrid nearest, default filter" e.product.default "floor single" e.floor.default
line e "2048x2048 nogrid nearest, default filter" e.product.default "vips resize" e.vips

# g) the PNG encodings, each paired with its default row and floor above
if $has_compression; then
  g_modes=(fast small palette fastpalette)
  declare -A g_args=([fast]="--png-compression fast" [small]="--png-compression small"
    [palette]="--png-palette" [fastpalette]="--png-compression fast --png-palette")
  declare -A g_text=([fast]="--png-compression fast" [small]="--png-compression small"
    [palette]="--png-palette" [fastpalette]="fast --png-palette")
  for mode in "${g_modes[@]}"; do
    read -ra extra <<<"${g_args[$mode]}"
    measure "g.chip.$mode" "$out/g_c_$mode" "$cli" -o "$out/g_c_$mode" "${chip[@]}" "${nearest[@]}" --jobs 1 \
      "${extra[@]}" "$chipset"
    measure "g.folder.$mode" "$out/g_d_$mode" "$cli" -o "$out/g_d_$mode" "${nearest[@]}" --jobs 1 "${extra[@]}" \
      "$pictures/folder"
    # Every encoding writes the default's pixels.
    COMPARE_PIXELS=1 check "g) chipset, ${g_text[$mode]}: the floor's pixels" "$out/g_c_$mode" "$out/a_f"
    COMPARE_PIXELS=1 check "g) 25 pictures, ${g_text[$mode]}: the floor's pixels" "$out/g_d_$mode" "$out/d_f"
  done
  for mode in "${g_modes[@]}"; do
    line g "chipset --jobs 1, ${g_text[$mode]}" "g.chip.$mode" "floor chipset" a.floor
  done
  for mode in "${g_modes[@]}"; do
    line g "25 pictures --jobs 1, ${g_text[$mode]}" "g.folder.$mode" "floor batch" d.floor
  done
  measure g.large.fast "$out/g_e_fast" "$cli" -o "$out/g_e_fast" "${big[@]}" --png-compression fast "$large"
  line g "2048x2048 nogrid nearest, fast" g.large.fast "vips resize" e.vips
else
  for key in g.chip.fast g.folder.fast g.large.fast; do
    skip "$key" --png-compression
  done
  line g "chipset --jobs 1, --png-compression fast" g.chip.fast "floor chipset" a.floor
  line g "25 pictures --jobs 1, --png-compression fast" g.folder.fast "floor batch" d.floor
  line g "2048x2048 nogrid nearest, fast" g.large.fast "vips resize" e.vips
fi

# f) start-up
measure f.product.version "$out/f" "$cli" --version
line f "pixwright-cli --version" f.product.version "" ""

load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# ---------------------------------------------------------- the table
mib() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }
ms() { awk -v m="$1" 'BEGIN {printf (m < 100 ? "%.1f" : "%.0f"), m}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
kb() { awk -v b="$1" 'BEGIN {printf "%.0f", b / 1000}'; }

echo
echo "Medians of $runs runs after $warmup warm-up runs (wall clock, ms); peak memory: median of $rss_runs runs (MiB)."
echo "The machine has $(nproc) cores shared with other work (load average $load_before before, $load_after after):"
echo "expect some noise."
echo
printf '%-2s %-44s %9s %7s %9s   %-27s %9s %7s %9s %7s\n' "" "measurement" "ms" "MiB" "KB" "yardstick" "ms" "MiB" "KB" \
  "ratio"
for entry in "${LINES[@]}"; do
  IFS='|' read -r row text pkey yname ykey <<<"$entry"
  if [ "${MS[$pkey]}" = skipped ]; then
    option=--jobs
    [[ $pkey == e.* ]] && option=--png-filter
    [[ $pkey == g.* ]] && option=--png-compression
    printf '%-2s %-44s %s\n' "$row)" "$text" "skipped: option $option not available"
    jq -nc --arg row "$row" --arg text "$text" --arg skipped "option $option not available" \
      '{row: $row, measurement: $text, skipped: $skipped}' >>"$work/lines.jsonl"
    continue
  fi
  if [ -z "$ykey" ]; then
    printf '%-2s %-44s %9s %7s\n' "$row)" "$text" "$(ms "${MS[$pkey]}")" "$(mib "${KIB[$pkey]}")"
    jq -nc --arg row "$row" --arg text "$text" --argjson ms "${MS[$pkey]}" --argjson kib "${KIB[$pkey]}" \
      --argjson bytes "${BYTES[$pkey]}" \
      '{row: $row, measurement: $text, product_ms: $ms, product_kib: $kib, product_bytes: $bytes}' \
      >>"$work/lines.jsonl"
    continue
  fi
  r=$(ratio "${MS[$pkey]}" "${MS[$ykey]}")
  printf '%-2s %-44s %9s %7s %9s   %-27s %9s %7s %9s %7s\n' "$row)" "$text" "$(ms "${MS[$pkey]}")" \
    "$(mib "${KIB[$pkey]}")" "$(kb "${BYTES[$pkey]}")" "$yname" "$(ms "${MS[$ykey]}")" "$(mib "${KIB[$ykey]}")" \
    "$(kb "${BYTES[$ykey]}")" "$r"
  jq -nc --arg row "$row" --arg text "$text" --arg yard "$yname" --argjson ms "${MS[$pkey]}" \
    --argjson kib "${KIB[$pkey]}" --argjson yms "${MS[$ykey]}" --argjson ykib "${KIB[$ykey]}" --argjson ratio "$r" \
    --argjson bytes "${BYTES[$pkey]}" --argjson ybytes "${BYTES[$ykey]}" \
    '{row: $row, measurement: $text, product_ms: $ms, product_kib: $kib, product_bytes: $bytes, yardstick: $yard,
      yardstick_ms: $yms, yardstick_kib: $ykib, yardstick_bytes: $ybytes, ratio: $ratio}' >>"$work/lines.jsonl"
done
echo "ratio: the converter's median over the yardstick's; KB: total bytes of the files written (1000 bytes)."

# ---------------------------------------------------------- the targets
echo
echo "Targets:"
# target NAME MEASURED LIMIT [NOTE]: met when MEASURED <= LIMIT.
target() {
  local status
  status=$(awk -v m="$2" -v l="$3" 'BEGIN {print (m <= l) ? "met" : "MISSED"}')
  printf '  %-60s %7s  (target <= %s)  %s%s\n' "$1" "$2" "$3" "$status" "${4:+  $4}"
  jq -nc --arg name "$1" --argjson measured "$2" --argjson limit "$3" --arg status "$status" \
    '{target: $name, measured: $measured, limit: $limit, status: $status}' >>"$work/targets.jsonl"
}
target_skipped() { # NAME OPTION NOTE
  printf '  %-60s skipped: option %s not available%s\n' "$1" "$2" "${3:+ ($3)}"
  jq -nc --arg name "$1" --arg why "option $2 not available" '{target: $name, status: "skipped", why: $why}' \
    >>"$work/targets.jsonl"
}
for row in a b; do
  if $has_jobs; then
    target "$row) --jobs 1 / floor" "$(ratio "${MS[$row.product.jobs1]}" "${MS[$row.floor]}")" 1.25
  else
    target_skipped "$row) --jobs 1 / floor" --jobs \
      "with the default jobs the ratio is $(ratio "${MS[$row.product.default]}" "${MS[$row.floor]}")"
  fi
done
target "d) default jobs / one-thread floor" "$(ratio "${MS[d.product.default]}" "${MS[d.floor]}")" 0.7
if $has_filter; then
  target "e) --png-filter none / vips" "$(ratio "${MS[e.product.none]}" "${MS[e.vips]}")" 1.25
else
  target_skipped "e) --png-filter none / vips" --png-filter \
    "with the default filter the ratio is $(ratio "${MS[e.product.default]}" "${MS[e.vips]}")"
fi
target "f) --version (ms)" "$(ms "${MS[f.product.version]}")" 10
# The encodings: time against the floor or vips, bytes against the floor's
# (the default's, byte for byte) or the default row's.
if $has_compression; then
  target "g) chipset fast --jobs 1 / floor (time)" "$(ratio "${MS[g.chip.fast]}" "${MS[a.floor]}")" 0.35
  target "g) chipset fast: bytes / floor's bytes" "$(ratio "${BYTES[g.chip.fast]}" "${BYTES[a.floor]}")" 1.0
  target "g) chipset fast --png-palette: bytes / default's" \
    "$(ratio "${BYTES[g.chip.fastpalette]}" "${BYTES[a.product.jobs1]:-${BYTES[a.product.default]}}")" 0.4
  target "g) chipset --png-palette: bytes / default's" \
    "$(ratio "${BYTES[g.chip.palette]}" "${BYTES[a.product.jobs1]:-${BYTES[a.product.default]}}")" 0.4
  target "g) 2048x2048 fast / vips (time)" "$(ratio "${MS[g.large.fast]}" "${MS[e.vips]}")" 0.8
  for set in chip folder; do
    default_key=a.product.jobs1
    [ "$set" = folder ] && default_key=d.product.jobs1
    [ -n "${MS[$default_key]:-}" ] && [ "${MS[$default_key]}" != skipped ] || default_key=${default_key/jobs1/default}
    target "g) $set small: bytes / default's" "$(ratio "${BYTES[g.$set.small]}" "${BYTES[$default_key]}")" 0.85
    target "g) $set small: time / default's" "$(ratio "${MS[g.$set.small]}" "${MS[$default_key]}")" 10
  done
else
  target_skipped "g) the PNG encodings" --png-compression
fi
# Memory: each converter measurement against its floor.
declare -A seen
for entry in "${LINES[@]}"; do
  IFS='|' read -r row text pkey yname ykey <<<"$entry"
  [ -n "$ykey" ] && [ "$ykey" != e.vips ] && [ "${MS[$pkey]}" != skipped ] || continue
  [ -z "${seen[$pkey]:-}" ] || continue
  seen[$pkey]=1
  limit=$(awk -v f="${KIB[$ykey]}" 'BEGIN {printf "%.1f", (1.25 * f + 10240) / 1024}')
  target "memory $row) $text (MiB)" "$(mib "${KIB[$pkey]}")" "$limit"
done

# ---------------------------------------------------------- the results file
mkdir -p bench/results
jq -n --arg date "$(date -Iseconds)" --arg commit "$(git describe --always --dirty 2>/dev/null || echo unknown)" \
  --argjson cores "$(nproc)" --arg load_before "$load_before" --arg load_after "$load_after" \
  --argjson jobs "$has_jobs" --argjson png_filter "$has_filter" --argjson png_compression "$has_compression" \
  --argjson runs "$runs" --argjson warmup "$warmup" \
  --argjson rss_runs "$rss_runs" --arg pictures "$(cat "$work/pictures.txt")" \
  --slurpfile measurements "$work/measurements.jsonl" --slurpfile checks "$work/checks.jsonl" \
  --slurpfile table "$work/lines.jsonl" --slurpfile targets "$work/targets.jsonl" \
  '{date: $date, commit: $commit, cores: $cores, load_average: {before: $load_before, after: $load_after},
    cli_options: {jobs: $jobs, png_filter: $png_filter, png_compression: $png_compression}, runs: $runs, warmup: $warmup, memory_runs: $rss_runs,
    pictures: ($pictures | split("\n")), checks: $checks, table: $table, targets: $targets,
    measurements: $measurements}' >bench/results/latest.json
echo
echo "Written to bench/results/latest.json."
if [ "$failed_checks" -gt 0 ]; then
  echo "bench/run.sh: $failed_checks comparisons found the floor's files differ from the converter's" >&2
  exit 1
fi
