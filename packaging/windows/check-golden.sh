#!/usr/bin/env bash
# Unpacks the Windows zip into a folder whose path has spaces and Japanese
# characters and checks under Wine that its pixwright-cli.exe writes the
# bytes of the Linux build:
#   - make_samples.exe draws the bundled chipset and charset afresh, and the
#     files equal the committed samples;
#   - the program converts those drawn pictures, and the committed ones,
#     under the options of every kept run of tests/cli/test_Golden.cpp, with
#     --jobs 1 and with the default jobs, and every file's SHA-256 equals
#     its golden sum in tests/cli/golden/.
#   check-golden.sh ZIP BUILD_FOLDER
set -euo pipefail
zip=$1 build=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
wine=/usr/lib/wine/wine64
export WINEDEBUG=-all
unset WINEPATH DISPLAY

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
home="$scratch/Pixwright テスト 1"
mkdir -p "$home"
unzip -q "$zip" -d "$home"
program=$(ls -d "$home"/*/)pixwright-cli.exe
[ -f "$program" ] || { echo "golden: no pixwright-cli.exe in $zip" >&2; exit 1; }
win() { "$wine" winepath -w "$1" 2>/dev/null; }

failures=0
fail() { echo "golden: $*" >&2; failures=$((failures + 1)); }

# The samples drawn by the Windows build. make_samples.exe finds its DLLs
# beside the zip's program.
drawn="$scratch/drawn"
mkdir -p "$drawn"
cp "$build/samples/make_samples.exe" "$(dirname "$program")/"
(cd "$drawn" && "$wine" "$(dirname "$program")/make_samples.exe" "$(win "$drawn")")
rm "$(dirname "$program")/make_samples.exe"
for f in chipset.png charset.png; do
  cmp -s "$drawn/$f" "$root/samples/$f" || fail "the drawn $f differs from samples/$f"
done

# The kept runs, read from the test that keeps them: {"name", "options", "inputs"}.
mapfile -t runs < <(sed -n 's/^[[:space:]]*{"\([a-z]*\)", "\([^"]*\)", "\([^"]*\)"},$/\1|\2|\3/p' \
  "$root/tests/cli/test_Golden.cpp")
sums=$(ls "$root"/tests/cli/golden/*.sha256 | wc -l)
[ "${#runs[@]}" -eq "$sums" ] || fail "${#runs[@]} runs read from test_Golden.cpp for $sums golden files"

checked=0
for source in committed drawn; do
  [ "$source" = committed ] && pictures="$root/samples" || pictures=$drawn
  for entry in "${runs[@]}"; do
    IFS='|' read -r name options inputs <<<"$entry"
    for jobs in 1 default; do
      out="$home/出力 $name $jobs $source"
      mkdir -p "$out"
      args=(--key 007575 -o "$(win "$out")")
      [ "$jobs" = default ] || args+=(-j "$jobs")
      read -r -a opts <<<"$options"
      args+=("${opts[@]}")
      for input in $inputs; do args+=("$(win "$pictures/$input")"); done
      printed=$(cd "$home" && "$wine" "$program" "${args[@]}" 2>&1) ||
        fail "$name ($jobs jobs, $source samples): exit status $?: $printed"
      [ -z "$printed" ] || fail "$name ($jobs jobs, $source samples) printed: $printed"
      if ! diff <(cd "$out" && LC_ALL=C sha256sum -- *) "$root/tests/cli/golden/$name.sha256" >/dev/null; then
        fail "$name ($jobs jobs, $source samples): the files differ from tests/cli/golden/$name.sha256"
        (cd "$out" && LC_ALL=C sha256sum -- *) | diff - "$root/tests/cli/golden/$name.sha256" | head -n 10 >&2
      fi
      checked=$((checked + $(ls "$out" | wc -l)))
    done
  done
done

if [ "$failures" -ne 0 ]; then
  echo "golden: $failures failed"
  exit 1
fi
echo "golden: $checked files in ${#runs[@]} runs × 2 job counts × 2 sample sets, all with the Linux build's bytes"
