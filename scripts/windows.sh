#!/usr/bin/env bash
# Builds Pixwright for 64-bit Windows on a Debian 12 machine and tests it
# under Wine:
#   bash scripts/windows.sh
# leaves build-win/pixwright-<version>-windows-x64.zip.
#
# 1. Installs the MinGW-w64 cross compilers, Wine and the other tools from
#    Debian's packages, and enables Debian's source lists for the suites the
#    machine already uses.
# 2. Cross-builds every library Debian does not ship for MinGW from Debian's
#    own source packages (apt-get source), into a cache folder
#    (~/.cache/pixwright-windows, or $PIXWRIGHT_WINDOWS_CACHE) where each
#    library is kept per source version: a second run builds none of them.
# 3. Cross-builds Pixwright and its tests into build-win/.
# 4. Runs the engine's, saver's and command line's tests under wine64.
# 5. Makes the zip, unpacks it into a folder whose path has a space and
#    Japanese characters, and checks that its pixwright-cli.exe writes the
#    files of the Linux build, byte for byte.
# 6. The window: Qt 6 cross-built from Debian's qt6-base source (cached like
#    the libraries; about an hour on two cores the first time), Pixwright.exe
#    and its Qt DLLs in the zip, and a check under Wine on a virtual display
#    that it starts, draws itself and converts a small game.
#    PIXWRIGHT_WINDOWS_WINDOW=0 leaves the window out: a zip of the command
#    line and the libraries only, without the hour of Qt.
# Every stage prints its time. JOBS sets the parallel jobs (default: cores).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

host=x86_64-w64-mingw32
cache=${PIXWRIGHT_WINDOWS_CACHE:-$HOME/.cache/pixwright-windows}
jobs=${JOBS:-$(nproc)}
build=$root/build-win
prefix=$cache/prefix
# Raised when a recipe below changes, so every library is built again.
recipes=1

stage_times=()
stage() {
  local name=$1 start=$SECONDS
  shift
  echo "==> $name"
  "$@"
  local took=$((SECONDS - start))
  stage_times+=("$(printf '%-12s %5d s' "$name" "$took")")
  echo "==> $name: ${took} s"
}

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# --- 1. Debian packages and source lists -----------------------------------

host_packages=(
  cmake make pkg-config g++ dpkg-dev xz-utils zip unzip
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev mingw-w64-tools libz-mingw-w64-dev libz-mingw-w64
  wine64 nasm
  bison # Boost's build engine: Debian's source leaves its grammar to be generated
  ninja-build qt6-base-dev-tools # the stage "qt" only: Qt's build, and its tools of the same version
  qt6-tools-dev qt6-l10n-tools xvfb # the window: its translations, and a display for it under Wine
)

# deb-src entries for every Debian suite the machine installs from.
enable_sources() {
  local list=/etc/apt/sources.list.d/pixwright-windows-src.sources
  [ -f "$list" ] && return 0
  local text=""
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # One deb822 stanza per paragraph: keep those of Debian's archives that
    # name "deb" but not "deb-src", and turn them into source stanzas.
    text+=$(awk 'BEGIN { RS = ""; ORS = "\n\n" }
      /Types:[^\n]*deb/ && !/deb-src/ && /URIs:[^\n]*debian/ {
        sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f")
    text+=$'\n'
  done
  if [ -f /etc/apt/sources.list ]; then
    local lines
    lines=$(awk '$1 == "deb" && $2 ~ /debian/ { $1 = "deb-src"; print }' /etc/apt/sources.list)
    if [ -n "$lines" ]; then
      as_root tee /etc/apt/sources.list.d/pixwright-windows-src.list <<<"$lines" >/dev/null
    fi
  fi
  if [ -n "${text//[$'\n ']/}" ]; then
    as_root tee "$list" <<<"$text" >/dev/null
  else
    as_root touch "$list"
  fi
  as_root apt-get update
}

install_packages() {
  local missing=() p
  for p in "${host_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "windows: installing ${missing[*]}"
    as_root apt-get update
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y --no-install-recommends "${missing[@]}"
  fi
  enable_sources
}

# --- 2. Dependencies from Debian's source packages -------------------------

# The source version to build: the one the Linux build's own library comes
# from when the archive still has it, else the newest the archive serves.
source_versions() {
  local pkg=$1 binary=$2 own=""
  own=$(dpkg-query -W -f='${source:Version}' "$binary" 2>/dev/null || true)
  {
    [ -n "$own" ] && echo "$own"
    apt-cache showsrc "$pkg" | awk '/^Version:/ { print $2 }' | sort -rV
  } | awk '!seen[$0]++'
}

# Fetches and unpacks a source package into $cache/src and prints its tree.
# A version the archive lists but no longer serves is passed over.
fetch_source() {
  local pkg=$1 version=$2
  local dir=$cache/src/${pkg}_${version//:/_}
  if [ ! -f "$dir/.unpacked" ]; then
    rm -rf "$dir"
    mkdir -p "$dir"
    if ! (cd "$dir" && apt-get source "$pkg=$version" >"$dir.log" 2>&1); then
      rm -rf "$dir"
      return 1
    fi
    touch "$dir/.unpacked"
  fi
  find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

toolchain=$root/packaging/windows/toolchain-mingw64.cmake
export PIXWRIGHT_WINDOWS_PREFIX=$prefix
# pkg-config sees the Windows libraries only, never the machine's own.
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig:/usr/$host/lib/pkgconfig
unset PKG_CONFIG_PATH

cmake_dep() {
  local src=$1 dir=$2
  shift 2
  cmake -S "$src" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -Wno-dev "$@" >"$dir.configure.log"
  cmake --build "$dir" -j"$jobs" >"$dir.build.log"
  cmake --install "$dir" >"$dir.install.log"
}

licence() {
  local name=$1
  shift
  mkdir -p "$prefix/licenses/$name"
  cp "$@" "$prefix/licenses/$name/"
}

build_libpng() {
  local src=$1 dir=$2
  cmake_dep "$src" "$dir" -DPNG_SHARED=ON -DPNG_STATIC=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
  licence libpng "$src/LICENSE" "$src/debian/copyright"
}

build_libjpeg_turbo() {
  local src=$1 dir=$2
  # The SIMD code is built as on Linux, so JPEG files come out the same.
  cmake_dep "$src" "$dir" -DENABLE_STATIC=OFF -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON \
    -DCMAKE_ASM_NASM_COMPILER=nasm
  licence libjpeg-turbo "$src/LICENSE.md" "$src/README.ijg" "$src/debian/copyright"
}

build_libsdl() {
  local src=$1 dir=$2
  mkdir -p "$dir"
  # Only surfaces, streams and the dummy video driver are used; no window,
  # sound or joystick. stdio redirection would send a program's output into
  # files, and SDLmain would replace the programs' own main.
  (cd "$dir" && "$src/configure" --host=$host --prefix="$prefix" --disable-static --enable-shared \
      --disable-stdio-redirect --disable-directx --disable-audio --disable-joystick --disable-cdrom \
      --disable-video-opengl --enable-video-dummy >"$dir.configure.log" 2>&1)
  make -C "$dir" -j"$jobs" >"$dir.build.log" 2>&1
  make -C "$dir" install >"$dir.install.log" 2>&1
  # SDL's own flags on Windows rename main() to SDL_main and link SDLmain
  # with the GUI subsystem; the programs keep their main and their console.
  sed -i -e 's/ -Dmain=SDL_main//' -e 's/^Libs:.*/Libs: -L${libdir} -lSDL/' \
    -e 's/^Libs.private:.*/Libs.private:/' "$prefix/lib/pkgconfig/sdl.pc"
  licence SDL "$src/COPYING" "$src/debian/copyright"
}

build_boost() {
  local src=$1 dir=$2
  mkdir -p "$dir"
  echo "using gcc : mingw : $host-g++-posix ;" >"$dir/user-config.jam"
  # The build engine runs here; its grammar is made as Debian's build makes it.
  (cd "$src/tools/build" && bison -y -d -o src/engine/jamgram.cpp src/engine/jamgram.y)
  (cd "$src" && ./bootstrap.sh --with-libraries=filesystem >"$dir.bootstrap.log" 2>&1)
  (cd "$src" && ./b2 --user-config="$dir/user-config.jam" --build-dir="$dir" --prefix="$prefix" \
      --layout=system toolset=gcc-mingw target-os=windows threadapi=win32 address-model=64 \
      architecture=x86 variant=release link=shared runtime-link=shared threading=multi \
      --with-filesystem -j"$jobs" install >"$dir.build.log" 2>&1)
  # Debian's copyright file lists every source file's holders (2 MB); the
  # licence itself is the one text.
  licence boost "$src/LICENSE_1_0.txt"
}

build_googletest() {
  local src=$1 dir=$2
  cmake_dep "$src" "$dir" -DBUILD_GMOCK=ON -DBUILD_SHARED_LIBS=OFF
}

build_libdeflate() {
  local src=$1 dir=$2
  # This version builds with its own Makefile, which knows MinGW but
  # installs no import library: the files are put in place here.
  make -C "$src" CC=$host-gcc-posix libdeflate.dll -j"$jobs" >"$dir.build.log" 2>&1
  mkdir -p "$prefix/bin" "$prefix/lib/pkgconfig" "$prefix/include"
  cp "$src/libdeflate.dll" "$prefix/bin/"
  cp "$src/libdeflate.lib" "$prefix/lib/libdeflate.dll.a"
  cp "$src/libdeflate.h" "$prefix/include/"
  sed -e "s|@PREFIX@|$prefix|" -e "s|@LIBDIR@|$prefix/lib|" -e "s|@INCDIR@|$prefix/include|" \
    -e "s|@VERSION@|$(sed -n 's/^#define LIBDEFLATE_VERSION_STRING[^"]*"\(.*\)"/\1/p' "$src/libdeflate.h")|" \
    "$src/libdeflate.pc.in" >"$prefix/lib/pkgconfig/libdeflate.pc"
  licence libdeflate "$src/COPYING" "$src/debian/copyright"
}

# source package, the Linux build's binary package of it, recipe
dependencies=(
  "libpng1.6 libpng-dev build_libpng"
  "libjpeg-turbo libjpeg62-turbo-dev build_libjpeg_turbo"
  "libsdl1.2 libsdl1.2-dev build_libsdl"
  "boost1.81 - build_boost"
  "googletest libgtest-dev build_googletest"
  "libdeflate libdeflate-dev build_libdeflate"
)

build_dependencies() {
  mkdir -p "$prefix" "$cache/src" "$cache/build"
  local entry pkg binary recipe version src stamp built
  for entry in "${dependencies[@]}"; do
    read -r pkg binary recipe <<<"$entry"
    built=""
    local versions
    versions=$(source_versions "$pkg" "$binary")
    for version in $versions; do
      if [ -f "$prefix/.built/${pkg}_${version//:/_}-r$recipes" ]; then
        echo "windows: $pkg $version (cached)"
        built=yes
        break
      fi
    done
    [ -n "$built" ] && continue
    for version in $versions; do
      stamp=$prefix/.built/${pkg}_${version//:/_}-r$recipes
      src=$(fetch_source "$pkg" "$version") || { echo "windows: $pkg $version is not served, trying another"; continue; }
      local start=$SECONDS dir=$cache/build/${pkg}_${version//:/_}
      echo "windows: building $pkg $version"
      rm -rf "$dir"
      "$recipe" "$src" "$dir"
      mkdir -p "$prefix/.built"
      rm -f "$prefix/.built/${pkg}_"*
      echo "$version" >"$stamp"
      rm -rf "$dir" "$(dirname "$src")"
      echo "windows: $pkg $version built in $((SECONDS - start)) s"
      built=yes
      break
    done
    if [ -z "$built" ]; then
      echo "windows: no version of $pkg could be fetched from Debian's archive" >&2
      exit 1
    fi
  done
  # zlib is Debian's own MinGW build; its licence comes with the package.
  mkdir -p "$prefix/licenses/zlib"
  cp /usr/share/doc/libz-mingw-w64-dev/copyright "$prefix/licenses/zlib/copyright"
}

# --- The window's Qt: the stage "qt" -----------------------------------------
#
# Qt 6 for MinGW from Debian's qt6-base source of the version the machine's
# own Qt tools are (moc, rcc and uic run here): Core, Gui, Widgets,
# Concurrent (the window uses it) and the windows platform plugin. Tablet
# events are left out: the windows plugin reads tablets through the Wintab
# headers of src/3rdparty/wintab, which Debian's repacked source drops.
# Without OpenGL, its run-time choice of OpenGL (dynamicgl) goes too, and
# without Direct2D the DirectWrite font database: the plugin does not build
# with one and not the other. Fonts come through GDI instead. It takes
# about an hour on two cores, once: the build is cached by Qt's version.

# Whether this run makes the window (the default), or leaves it out.
window_wanted() { [ "${PIXWRIGHT_WINDOWS_WINDOW:-1}" = 1 ]; }

# Where the stage "qt" installs Qt; empty when the machine has no Qt tools.
qt_prefix_of() {
  local qt_version
  qt_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev-tools 2>/dev/null) || return 0
  echo "$cache/qt-${qt_version//:/_}"
}

# Whether the stage "qt" has run through: then the window is built, tested
# and zipped too.
have_qt() {
  local p
  p=$(qt_prefix_of)
  [ -n "$p" ] && [ -f "$p/.built" ]
}

build_qt() {
  if ! window_wanted; then
    echo "windows: the window is left out (PIXWRIGHT_WINDOWS_WINDOW=0): no Qt"
    return 0
  fi
  local qt_version qt_prefix
  qt_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev-tools)
  qt_prefix=$(qt_prefix_of)
  if [ -f "$qt_prefix/.built" ]; then
    echo "windows: qt6-base $qt_version (cached)"
    return 0
  fi
  local src dir=$cache/build/qt6-base_${qt_version//:/_}
  src=$(fetch_source qt6-base "$qt_version") || { echo "windows: qt6-base $qt_version is not served" >&2; return 1; }
  mkdir -p "$dir"
  cmake -S "$src" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$qt_prefix" -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_direct2d=OFF -DFEATURE_concurrent=ON \
    -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF \
    -DFEATURE_directwrite=OFF -DFEATURE_directwrite3=OFF -Wno-dev >"$dir.configure.log" 2>&1
  cmake --build "$dir" -j"$jobs" >"$dir.build.log" 2>&1
  cmake --install "$dir" >"$dir.install.log" 2>&1
  mkdir -p "$qt_prefix/licenses"
  cp "$src/LICENSES/"*.txt "$src/debian/copyright" "$qt_prefix/licenses/" 2>/dev/null || true
  touch "$qt_prefix/.built"
}

# --- 3. to 5. Pixwright ----------------------------------------------------

version=$(sed -n 's/^project(Pixwright VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
zip_name=pixwright-$version-windows-x64
# The folder of the compiler's own DLLs (libstdc++, libgcc_s).
gcc_runtime() { dirname "$($host-g++-posix -print-libgcc-file-name)"; }

export WINEPREFIX=$cache/wine
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
wine=/usr/lib/wine/wine64

# Where the test programs find the libraries they link, as Windows paths.
winepath_list() {
  local d out=""
  for d in "$@"; do out+="Z:${d//\//\\};"; done
  echo "${out%;}"
}

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

build_pixwright() {
  # The window needs the cross-built Qt; its translations are compiled by the
  # machine's own Qt tools (lrelease) of the same version.
  local gui=(-DPIXWRIGHT_BUILD_GUI=OFF)
  if window_wanted && have_qt; then
    export PIXWRIGHT_WINDOWS_QT
    PIXWRIGHT_WINDOWS_QT=$(qt_prefix_of)
    gui=(-DPIXWRIGHT_BUILD_GUI=ON -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
         -DQt6LinguistTools_DIR=/usr/lib/x86_64-linux-gnu/cmake/Qt6LinguistTools)
  fi
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "${gui[@]}" -DPIXWRIGHT_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
  cmake --build "$build" -j"$jobs"
}

start_wine() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot --init >/dev/null 2>&1 || true
    # The tests make their folders under /tmp by that name; with the
    # temporary folder (their working folder) on the same drive, /tmp is
    # the machine's own.
    local v
    for v in TEMP TMP; do
      "$wine" reg add 'HKCU\Environment' /v "$v" /t REG_EXPAND_SZ /d 'Z:\tmp' /f >/dev/null 2>&1
    done
    /usr/lib/wine/wineserver -w
  fi
}

run_tests() {
  start_wine
  export WINEPATH
  # tests/windows holds the rm the tests call to remove their folders.
  WINEPATH=$(winepath_list "$build/engine" "$build/saver" "$prefix/bin" "$prefix/lib" "/usr/$host/lib" "$(gcc_runtime)" \
    "$root/tests/windows")
  # A case that hangs under Wine fails after ten minutes instead.
  if window_wanted && have_qt; then
    WINEPATH+=";$(winepath_list "$(qt_prefix_of)/bin")"
  fi
  (cd "$build" && ctest --output-on-failure -j"$jobs" --timeout 600)
}

# The licence folder of the library each bundled DLL comes from.
licence_of() {
  case "$1" in
    SDL.dll) echo SDL ;;
    libpng*.dll) echo libpng ;;
    libjpeg*.dll) echo libjpeg-turbo ;;
    zlib1.dll) echo zlib ;;
    libboost_*.dll) echo boost ;;
    libdeflate.dll) echo libdeflate ;;
    Qt6*.dll) echo qt ;;
    libstdc++-6.dll | libgcc_s_seh-1.dll | libwinpthread-1.dll) echo mingw-w64 ;;
  esac
}

package() {
  local stage_dir=$build/$zip_name
  rm -rf "$stage_dir" "$build/$zip_name.zip"
  mkdir -p "$stage_dir/licenses"
  cp "$build/cli/pixwright-cli.exe" "$build/engine/Pixwright_DLL.dll" "$build/saver/writepix.dll" "$stage_dir/"
  local qt_bin=()
  if window_wanted && have_qt && [ -f "$build/gui/Pixwright.exe" ]; then
    # The window, and the one platform plugin Qt needs to open it, in the
    # folder Qt looks for it beside the program.
    cp "$build/gui/Pixwright.exe" "$stage_dir/"
    mkdir -p "$stage_dir/platforms"
    cp "$(qt_prefix_of)/plugins/platforms/qwindows.dll" "$stage_dir/platforms/"
    qt_bin=("$(qt_prefix_of)/bin")
  fi
  bash "$root/packaging/windows/bundle-dlls.sh" "$stage_dir" "${qt_bin[@]}" "$prefix/bin" "$prefix/lib" "/usr/$host/lib" \
    "$(gcc_runtime)"
  # The debugging information stays in the build tree.
  $host-strip --strip-debug "$stage_dir"/*.exe "$stage_dir"/*.dll
  [ ! -d "$stage_dir/platforms" ] || $host-strip --strip-debug "$stage_dir"/platforms/*.dll
  local dll dir
  for dll in "$stage_dir"/*.dll; do
    dir=$(licence_of "$(basename "$dll")")
    [ -n "$dir" ] || continue
    mkdir -p "$stage_dir/licenses/$dir"
    if [ "$dir" = mingw-w64 ]; then
      cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage_dir/licenses/mingw-w64/gcc-runtime-copyright"
      cp /usr/share/doc/mingw-w64-common/copyright "$stage_dir/licenses/mingw-w64/mingw-w64-copyright"
    elif [ "$dir" = qt ]; then
      cp -r "$(qt_prefix_of)/licenses/." "$stage_dir/licenses/qt/"
    else
      cp -r "$prefix/licenses/$dir/." "$stage_dir/licenses/$dir/"
    fi
  done
  sed 's/$/\r/' "$root/README.md" >"$stage_dir/README.txt"
  (cd "$build" && zip -qr "$zip_name.zip" "$zip_name")
  bash "$root/packaging/windows/check-exports.sh" "$stage_dir/Pixwright_DLL.dll" "$root/engine/Pixwright_DLL.h" PIXWRIGHT_API
  bash "$root/packaging/windows/check-exports.sh" "$stage_dir/writepix.dll" "$root/saver/writepix.h" WPX_EXPORT
  echo "windows: $build/$zip_name.zip ($(du -k "$build/$zip_name.zip" | cut -f1) KiB)"
  unzip -l "$build/$zip_name.zip" | sed 's/^/  /'
}

check_zip() {
  start_wine
  bash "$root/packaging/windows/check-golden.sh" "$build/$zip_name.zip" "$build"
}

# The window under Wine on a virtual display: it starts, draws itself with a
# sample loaded, and converts a small game through its game window, whose
# files are then checked; both pictures go to docs/.
check_window() {
  # Listed first, not piped: grep -q would end the listing early, and the
  # pipe would fail under pipefail.
  local listing
  listing=$(unzip -Z1 "$build/$zip_name.zip")
  if ! grep -q '/Pixwright[.]exe$' <<<"$listing"; then
    if window_wanted; then
      echo "windows: the zip holds no window (it needs the stage \"qt\")" >&2
      return 1
    fi
    echo "windows: the window is left out (PIXWRIGHT_WINDOWS_WINDOW=0)"
    return 0
  fi
  start_wine
  local scratch program
  scratch=$(mktemp -d)
  unzip -q "$build/$zip_name.zip" -d "$scratch/Pixwright テスト 1"
  program="$scratch/Pixwright テスト 1/$zip_name/Pixwright.exe"
  mkdir -p "$scratch/ゲーム 1/ChipSet" "$scratch/ゲーム 1/CharSet"
  cp "$root/samples/chipset.png" "$scratch/ゲーム 1/ChipSet/町 1.png"
  cp "$root/samples/charset.png" "$scratch/ゲーム 1/CharSet/主人公.png"
  local display=:77
  Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
  local xvfb=$!
  sleep 2
  local status=0 shots=/tmp/pixwright-window.$$
  mkdir -p "$shots"
  # Wine hands the programs no QT_* variable of the machine's own: the window
  # draws on the windows platform, the only one it ships.
  DISPLAY=$display timeout 300 "$wine" "$program" --lang en --screenshot "$("$wine" winepath -w "$shots/window.png")" \
    --load "$("$wine" winepath -w "$root/samples/chipset.png")" 2>/dev/null || status=$?
  DISPLAY=$display timeout 300 "$wine" "$program" --lang ja --screenshot "$("$wine" winepath -w "$shots/game.png")" \
    --game "$("$wine" winepath -w "$scratch/ゲーム 1")" --into "$("$wine" winepath -w "$scratch/出力")" 2>/dev/null \
    || status=$?
  kill "$xvfb" 2>/dev/null || true
  local written
  written=$(find "$scratch/出力" -name '*.png' 2>/dev/null | wc -l)
  # Each picture's first file, under its own Japanese or spaced name.
  local expected=0
  [ -f "$scratch/出力/ChipSet/町 1_00.png" ] && [ -f "$scratch/出力/CharSet/主人公_00.png" ] && expected=1
  rm -rf "$scratch"
  if [ "$status" -ne 0 ] || [ ! -s "$shots/window.png" ] || [ ! -s "$shots/game.png" ] || [ "$expected" -ne 1 ]; then
    echo "windows: the window did not run under Wine (status $status, $written files written)" >&2
    return 1
  fi
  echo "windows: the window converted the game: $written files"
  mkdir -p "$root/docs"
  mv "$shots/window.png" "$root/docs/windows-window.png"
  mv "$shots/game.png" "$root/docs/windows-game.png"
  rmdir "$shots"
  echo "windows: docs/windows-window.png and docs/windows-game.png"
}

# The stages named on the command line, or all of them in order.
all_stages=(packages libraries qt build tests zip golden window)
declare -A recipe_of=([packages]=install_packages [libraries]=build_dependencies [build]=build_pixwright
                      [tests]=run_tests [zip]=package [golden]=check_zip [window]=check_window [qt]=build_qt)
chosen=("$@")
[ ${#chosen[@]} -eq 0 ] && chosen=("${all_stages[@]}")
for s in "${chosen[@]}"; do
  if [ -z "${recipe_of[$s]:-}" ]; then
    echo "windows: unknown stage '$s' (stages: ${all_stages[*]})" >&2
    exit 2
  fi
done
for s in "${chosen[@]}"; do
  stage "$s" "${recipe_of[$s]}"
done

echo "==> times"
printf '  %s\n' "${stage_times[@]}"
