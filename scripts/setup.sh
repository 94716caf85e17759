#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run,
# and those of the optional groups named on the command line:
#   bash scripts/setup.sh          # the build, the tests and the programs
#   bash scripts/setup.sh bench    # and what bench/run.sh needs
#   bash scripts/setup.sh fuzz     # and the fuzz build (scripts/fuzz.sh)
# Does nothing when all of them are present already.
set -euo pipefail

packages=(
  cmake g++ make pkg-config zlib1g-dev
  libsdl1.2-dev libpng-dev libjpeg62-turbo-dev
  # SDL_image decodes nothing for the engine: the command line's size check
  # links it still, and the readers' tests compare with what it made.
  libsdl-image1.2-dev
  # The PNG writer's small encoding; pngcheck reads its files in the tests.
  libdeflate-dev pngcheck
  libboost-dev libboost-filesystem-dev
  libgtest-dev libbenchmark-dev
  qt6-base-dev fonts-ipafont-gothic fonts-dejavu-core
  # Installing and packaging: the manual page from --help, the icon bitmaps
  # from the SVG, the desktop entry's check, the .deb's dependencies
  # (dpkg-shlibdeps) and man for reading the installed page.
  help2man librsvg2-bin desktop-file-utils dpkg-dev man-db
  # The window's English texts: lrelease compiles them, LinguistTools finds it.
  qt6-l10n-tools qt6-tools-dev
)

for group in "$@"; do
  case "$group" in
    bench)
      packages+=(
        hyperfine     # median wall times with warm-up runs
        time          # /usr/bin/time -f %M: the peak resident memory of a run
        libvips-tools # vips resize: the outside yardstick of the large picture
        jq            # reads hyperfine's JSON and writes the results file
      ) ;;
    fuzz)
      # The fuzz build: clang with libFuzzer and the sanitizer runtimes.
      packages+=(clang-14 libclang-rt-14-dev) ;;
    *)
      echo "setup: unknown package group '$group'" >&2
      exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
