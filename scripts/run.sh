#!/usr/bin/env bash
# Sets up, builds, and converts the bundled sample pictures into ./out.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build
mkdir -p out
build/cli/pixwright-cli -o out samples/
echo "Written to out/:"
ls -l out
