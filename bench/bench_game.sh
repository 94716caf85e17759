#!/usr/bin/env bash
# pixwright-cli --game over a generated game of 200 pictures (every asset
# folder), with the default jobs and with --jobs 1, against the same pictures
# converted one command each with their kind's options: wall time and peak
# memory (/usr/bin/time -f %M) of each way.
#
#     bash bench/bench_game.sh [RUNS]      (default 3 runs each; the median is kept)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}

bash scripts/setup.sh bench
[ -x build/cli/pixwright-cli ] || bash scripts/build.sh build
cmake --build build --target pixwright-cli make_game >/dev/null

cli=build/cli/pixwright-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/bench/make_game "$work/game" >/dev/null

# The options a picture of each folder converts with alone: the kinds table
# spelled out, as the tests spell it.
alone_options() {
  case "$1" in
    ChipSet) echo "--mode auto --key auto" ;;       # all 480 x 256: the chipset preset
    CharSet) echo "--mode auto --key auto" ;;       # all 288 x 256: the charset preset
    FaceSet|BattleCharSet) echo "--mode custom --grid 48x48 --key auto" ;;
    Battle) echo "--mode custom --grid 96x96 --key auto" ;;
    Battle2) echo "--mode custom --grid 128x128 --key auto" ;;
    BattleWeapon) echo "--mode custom --grid 64x64 --key auto" ;;
    System|System2) echo "--mode custom --grid 8x8 --key auto" ;;
    Monster|Picture|Frame) echo "--mode nogrid --key auto" ;;
    *) echo "--mode nogrid --key none" ;;
  esac
}

# "seconds kilobytes" of one command.
measure() {
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>&1 || true
  # The last line: time puts "Command exited with non-zero status" first.
  tail -n 1 "$work/time"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

game_run() {  # median seconds and the largest peak of runs of --game with "$@"
  local times=() peak=0
  for r in $(seq "$runs"); do
    rm -rf "$work/out"
    read -r s kb < <(measure "$cli" --game "$work/game" -o "$work/out" "$@")
    times+=("$s")
    [ "$kb" -gt "$peak" ] && peak=$kb
  done
  echo "$(printf '%s\n' "${times[@]}" | median) $peak"
}

alone_run() {  # summed seconds and the largest peak of one command per picture
  local total=0 peak=0
  rm -rf "$work/alone"
  mkdir -p "$work/alone"
  for folder in "$work"/game/*/; do
    local kind; kind=$(basename "$folder")
    for picture in "$folder"*; do
      # shellcheck disable=SC2046
      read -r s kb < <(measure "$cli" $(alone_options "$kind") -o "$work/alone/$kind" "$picture")
      total=$(awk -v a="$total" -v b="$s" 'BEGIN {print a + b}')
      [ "$kb" -gt "$peak" ] && peak=$kb
    done
  done
  echo "$total $peak"
}

read -r game_s game_kb < <(game_run)
read -r one_s one_kb < <(game_run --jobs 1)
read -r alone_s alone_kb < <(alone_run)

# The lone commands write exactly the files of the game run.
rm -rf "$work/out"
"$cli" --game "$work/game" -o "$work/out" >/dev/null 2>&1 || { echo "bench_game: the game run failed" >&2; exit 1; }
if ! diff -r -q -x pixwright-report.json "$work/out" "$work/alone" >/dev/null; then
  echo "bench_game: the game run and the lone commands wrote different files" >&2
  exit 1
fi

echo "200 pictures, $(find "$work/out" -type f -name '*.png' | wc -l) files written; $(nproc) cores"
printf '%-44s %8s s %8s MiB peak\n' "--game, default jobs (median of $runs)" "$game_s" "$((game_kb / 1024))"
printf '%-44s %8s s %8s MiB peak\n' "--game --jobs 1 (median of $runs)" "$one_s" "$((one_kb / 1024))"
printf '%-44s %8s s %8s MiB peak\n' "one command per picture (sum, largest peak)" "$alone_s" "$((alone_kb / 1024))"
