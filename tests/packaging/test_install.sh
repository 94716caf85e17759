#!/usr/bin/env bash
# Installs the build tree into a scratch prefix and checks what a user of the
# installed files gets: every file by name, the desktop entry, the libraries'
# exports, SONAMEs and search paths, a C program built through pkg-config,
# and the installed programs.
#
#   test_install.sh SOURCE_DIR BUILD_DIR C_COMPILER WITH_GUI(ON|OFF)
set -euo pipefail
src=$1 build=$2 cc=$3 gui=$4

scratch=$(mktemp -d "${TMPDIR:-/tmp}/pixwright-install-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# same WHAT EXPECTED ACTUAL
same() {
    if [ "$2" != "$3" ]; then
        fail "$1"
        diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | sed 's/^/    /' || true
    fi
}

cached() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
bindir=$(cached CMAKE_INSTALL_BINDIR)
libdir=$(cached CMAKE_INSTALL_LIBDIR)
includedir=$(cached CMAKE_INSTALL_INCLUDEDIR)
datadir=$(cached CMAKE_INSTALL_DATADIR)
mandir=$(cached CMAKE_INSTALL_MANDIR)
if [ -z "$bindir" ] || [ -z "$libdir" ]; then
    echo "FAIL: no install folders in $build/CMakeCache.txt"
    exit 1
fi
# GNUInstallDirs leaves MANDIR empty in the cache until asked; its default:
[ -n "$datadir" ] || datadir=share
[ -n "$mandir" ] || mandir=$datadir/man

if ! cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1; then
    cat "$scratch/install.log"
    echo "FAIL: cmake --install"
    exit 1
fi

# Every installed file and link, and nothing else.
expected=(
    "$bindir/pixwright-cli"
    "$libdir/libPixwright_DLL.so -> libPixwright_DLL.so.1"
    "$libdir/libPixwright_DLL.so.1 -> libPixwright_DLL.so.1.0.0"
    "$libdir/libPixwright_DLL.so.1.0.0"
    "$libdir/libwritepix.so -> libwritepix.so.1"
    "$libdir/libwritepix.so.1 -> libwritepix.so.1.0.0"
    "$libdir/libwritepix.so.1.0.0"
    "$libdir/pkgconfig/pixwright.pc"
    "$libdir/pkgconfig/writepix.pc"
    "$includedir/pixwright/Pixwright_DLL.h"
    "$includedir/pixwright/writepix.h"
    "$mandir/man1/pixwright-cli.1"
)
if [ "$gui" = ON ]; then
    expected+=(
        "$bindir/Pixwright"
        "$datadir/applications/pixwright.desktop"
        "$datadir/icons/hicolor/scalable/apps/pixwright.svg"
        "$datadir/icons/hicolor/48x48/apps/pixwright.png"
        "$datadir/icons/hicolor/256x256/apps/pixwright.png"
    )
fi
installed=$(cd "$prefix" && find . \( -type f -o -type l \) -printf '%P' \( -type l -printf ' -> %l' -o -true \) \
    -printf '\n' | LC_ALL=C sort)
same "installed files" "$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)" "$installed"
for program in pixwright-cli Pixwright; do
    [ "$program" = Pixwright ] && [ "$gui" != ON ] && continue
    [ -x "$prefix/$bindir/$program" ] || fail "$program is not executable"
done

# The icon bitmaps have the size their folder names (PNG header: width and
# height as 32-bit big-endian numbers at offset 16).
if [ "$gui" = ON ]; then
    for size in 48 256; do
        icon=$prefix/$datadir/icons/hicolor/${size}x${size}/apps/pixwright.png
        same "PNG signature of the ${size}x${size} icon" "137 80 78 71 13 10 26 10" \
            "$(od -An -tu1 -N8 "$icon" | xargs)"
        same "size of the ${size}x${size} icon" "$size $size" "$(od --endian=big -An -tu4 -j16 -N8 "$icon" | xargs)"
    done
    desktop=$prefix/$datadir/applications/pixwright.desktop
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects pixwright.desktop"
    same "the desktop entry's program" "Exec=Pixwright %f" "$(grep '^Exec=' "$desktop")"
    same "the desktop entry's picture types" "MimeType=image/png;image/bmp;image/jpeg;" "$(grep '^MimeType=' "$desktop")"
fi

# The manual page is the program's own help with the added sections.
manual=$prefix/$mandir/man1/pixwright-cli.1
grep -q '^\.TH PIXWRIGHT-CLI "1" ".*" "pixwright-cli 1.0.0"' "$manual" || fail "manual page header"
for section in NAME SYNOPSIS DESCRIPTION FILES "EXIT STATUS"; do
    grep -q "^\.SH \"\?$section\"\?\$" "$manual" || fail "manual page has no $section section"
done
grep -q -- '--alpha-suffix' "$manual" || grep -q -- '\\-\\-alpha\\-suffix' "$manual" ||
    fail "manual page lacks the options of --help"
man -l "$manual" >/dev/null 2>&1 || fail "man cannot render pixwright-cli.1"

# Exports: exactly the functions the installed header declares, all of them
# named in the version script; the SONAMEs; and where each file looks for the
# others.
exports() { nm -D --defined-only "$1" | awk '{ print $2 " " $3 }' | LC_ALL=C sort; }
declared() {
    sed -n "s/^$2[^(]*[ *]\([A-Za-z_][A-Za-z0-9_]*\)(.*/T \1/p" "$1" | LC_ALL=C sort
}
engine=$prefix/$libdir/libPixwright_DLL.so.1.0.0
saver=$prefix/$libdir/libwritepix.so.1.0.0
engine_api=$(declared "$prefix/$includedir/pixwright/Pixwright_DLL.h" PIXWRIGHT_API)
saver_api=$(declared "$prefix/$includedir/pixwright/writepix.h" WPX_EXPORT)
grep -qx 'T graphicConvert' <<<"$engine_api" || fail "no graphicConvert among the engine header's functions"
grep -qx 'T WPX_Save_RW' <<<"$saver_api" || fail "no WPX_Save_RW among the saver header's functions"
same "exports of libPixwright_DLL" "$engine_api" "$(exports "$engine")"
same "exports of libwritepix" "$saver_api" "$(exports "$saver")"
while read -r _ name; do
    grep -qE "^[[:space:]]*$name;" "$src/engine/Pixwright_DLL.map" || fail "$name is not in engine/Pixwright_DLL.map"
done <<<"$engine_api"

dynamic() { readelf -d "$1" | sed -n "s/.*($2)[^[]*\[\(.*\)\]/\1/p" | tr '\n' ' ' | sed 's/ $//'; }
same "SONAME of the engine" "libPixwright_DLL.so.1" "$(dynamic "$engine" SONAME)"
same "SONAME of the saver" "libwritepix.so.1" "$(dynamic "$saver" SONAME)"
grep -qw libwritepix.so.1 <<<"$(dynamic "$engine" NEEDED)" || fail "the engine does not need libwritepix.so.1"
same "search path of the engine" "\$ORIGIN" "$(dynamic "$engine" RUNPATH)"
same "search path of the saver" "" "$(dynamic "$saver" RUNPATH)"
to_lib=$(realpath -m --relative-to="$prefix/$bindir" "$prefix/$libdir")
programs=(pixwright-cli)
[ "$gui" = ON ] && programs+=(Pixwright)
for program in "${programs[@]}"; do
    same "search path of $program" "\$ORIGIN/$to_lib" "$(dynamic "$prefix/$bindir/$program" RUNPATH)"
    resolved=$(env -u LD_LIBRARY_PATH ldd "$prefix/$bindir/$program")
    for library in libPixwright_DLL.so.1 libwritepix.so.1; do
        found=$(sed -n "s/^[[:space:]]*$library => \([^ ]*\) .*/\1/p" <<<"$resolved")
        same "$program loads $library from" "$prefix/$libdir/$library" "$(realpath -ms "$found")"
    done
done

# A C program built through pkg-config alone, and one that needs only the
# engine (the linker then finds the saver through the engine's own path).
export PKG_CONFIG_PATH=$prefix/$libdir/pkgconfig
same "pkg-config version" "1.0.0 1.0.0" "$(pkg-config --modversion pixwright writepix | xargs)"
same "pkg-config prefix" "$prefix" "$(pkg-config --variable=prefix pixwright)"
pkg-config --print-requires writepix | grep -qx sdl || fail "writepix.pc does not require sdl"
mkdir "$scratch/client"
# shellcheck disable=SC2046 # pkg-config's flags are meant to split
if "$cc" -std=c99 -Wall -Wextra -Werror -o "$scratch/client/pkgconfig_client" \
    "$src/tests/packaging/pkgconfig_client.c" $(pkg-config --cflags --libs pixwright writepix) \
    -Wl,-rpath,"$prefix/$libdir" 2>"$scratch/cc.log"; then
    (cd "$scratch/client" && env -u LD_LIBRARY_PATH ./pkgconfig_client "$scratch/client") ||
        fail "the pkg-config client"
else
    cat "$scratch/cc.log"
    fail "the pkg-config client does not compile and link"
fi
printf '#include <Pixwright_DLL.h>\nint main(void) { resetColorKey(); return 0; }\n' >"$scratch/engine_only.c"
# shellcheck disable=SC2046
if "$cc" -std=c99 -Wall -Wextra -Werror -o "$scratch/engine_only" "$scratch/engine_only.c" \
    $(pkg-config --cflags --libs pixwright) -Wl,-rpath,"$prefix/$libdir" 2>"$scratch/cc.log"; then
    env -u LD_LIBRARY_PATH "$scratch/engine_only" || fail "a program linked with the engine alone does not run"
else
    cat "$scratch/cc.log"
    fail "a program does not link with pkg-config --libs pixwright alone"
fi

# The installed converter writes the same 54 files as the build tree's.
same "installed pixwright-cli --version" "pixwright-cli 1.0.0" "$("$prefix/$bindir/pixwright-cli" --version)"
mkdir -p "$scratch/run" "$scratch/reference"
output=$(cd "$scratch/run" && env -u LD_LIBRARY_PATH "$prefix/$bindir/pixwright-cli" -v -o out "$src/samples/chipset.png") ||
    fail "installed pixwright-cli exits with $?"
same "installed pixwright-cli's report" "$src/samples/chipset.png: 54 files written" "$output"
names=()
for cell in $(seq -w 0 17); do
    names+=("chipset_$cell.png" "chipset_${cell}_alpha.png" "chipset_${cell}_color.png")
done
same "files written by the installed pixwright-cli" "$(printf '%s\n' "${names[@]}" | LC_ALL=C sort)" \
    "$(cd "$scratch/run/out" 2>/dev/null && LC_ALL=C ls)"
[ ! -e "$scratch/run/stderr.txt" ] || fail "a conversion without failures left stderr.txt"
(cd "$scratch/reference" && "$build/cli/pixwright-cli" -o . "$src/samples/chipset.png" >/dev/null) ||
    fail "the build tree's pixwright-cli"
for name in "${names[@]}"; do
    cmp -s "$scratch/run/out/$name" "$scratch/reference/$name" || fail "$name differs from the build tree's"
done

if [ "$gui" = ON ]; then
    QT_QPA_PLATFORM=offscreen env -u LD_LIBRARY_PATH "$prefix/$bindir/Pixwright" --screenshot "$scratch/window.png" ||
        fail "installed Pixwright --screenshot"
    same "PNG signature of the screenshot" "137 80 78 71 13 10 26 10" "$(od -An -tu1 -N8 "$scratch/window.png" | xargs)"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures checks failed"
    exit 1
fi
echo "every installed file checked"
