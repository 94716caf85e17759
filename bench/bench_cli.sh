#!/usr/bin/env bash
# Times whole pixwright-cli runs on the sample chipset against ImageMagick's
# plain 2x triangle-filter resize of the same picture, and prints medians.
#
#     bash bench/bench_cli.sh [RUNS]      (default 15 runs each)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-15}

# ImageMagick is only a yardstick here, so it is installed by this script,
# not by the project's set-up.
if ! command -v convert >/dev/null || ! convert -version 2>/dev/null | grep -q ImageMagick; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get install -y --no-install-recommends imagemagick >/dev/null
fi
[ -x build/cli/pixwright-cli ] || bash scripts/build.sh build

cli=build/cli/pixwright-cli
input=samples/chipset.png
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

median_ms() {  # median wall time of "$@" over $runs runs, in milliseconds
  local times=()
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {m=(NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2; printf "%.1f", m/1000}'
}

png=$(median_ms "$cli" -o "$work/png" --format png "$input")
bmp=$(median_ms "$cli" -o "$work/bmp" --format bmp "$input")
magick=$(median_ms convert "$input" -filter Triangle -resize 200% "$work/magick.png")

echo "runs each: $runs (medians, wall clock)"
echo "pixwright-cli chipset, PNG natural+color+alpha (18 cells, 54 files): $png ms"
echo "pixwright-cli chipset, BMP color+alpha (18 cells, 36 files):         $bmp ms"
echo "ImageMagick convert -filter Triangle -resize 200% (one PNG):          $magick ms"
awk -v a="$png" -v b="$bmp" -v m="$magick" 'BEGIN {printf "ratio PNG/ImageMagick: %.2f, BMP/ImageMagick: %.2f\n", a/m, b/m}'
