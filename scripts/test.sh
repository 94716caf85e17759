#!/usr/bin/env bash
# Sets up, builds and runs every test twice: a normal build, then one under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
bash scripts/build.sh build
(cd build && ctest --output-on-failure -j"$(nproc)")

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
bash scripts/build.sh build-asan -DPIXWRIGHT_SANITIZE=ON -DPIXWRIGHT_BUILD_BENCH=OFF
(cd build-asan && ctest --output-on-failure -j"$(nproc)")
