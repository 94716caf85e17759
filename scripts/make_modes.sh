#!/usr/bin/env bash
# Draws docs/modes.png, the README's picture of the interpolation modes, from
# the bundled sample chipset: builds the generator and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target make_modes
build/samples/make_modes samples/chipset.png docs/modes.png
