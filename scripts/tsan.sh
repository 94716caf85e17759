#!/usr/bin/env bash
# Builds the engine, the savers and the command line under ThreadSanitizer
# and runs their tests: every test that runs conversions on several threads
# must pass without a race report. Not part of CI (it doubles its time).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build-tsan -DPIXWRIGHT_TSAN=ON -DPIXWRIGHT_BUILD_GUI=OFF -DPIXWRIGHT_BUILD_BENCH=OFF
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
(cd build-tsan && ctest --output-on-failure -j"$(nproc)" -R "RowPath|Settings|Cli|Convert|PngWriter")
