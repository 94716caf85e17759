#!/usr/bin/env bash
# Sets up, builds, and makes the Debian package pixwright_VERSION_ARCH.deb in
# the build tree: scripts/package.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
bash scripts/setup.sh
bash scripts/build.sh "$dir"
(cd "$dir" && cpack -G DEB)
ls -l "$dir"/pixwright_*.deb
