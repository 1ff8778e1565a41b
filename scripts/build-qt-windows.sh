#!/usr/bin/env bash
# Builds, once, a static Qt 5 for 64-bit Windows from Debian's Qt source with MinGW-w64, and
# installs it into a cache folder outside the repository. Prints that folder as its last line.
# A later run finds the finished folder and only prints it.
#
# Cache: $DESKMEMO_CACHE, or ~/.cache/deskMemo. The folder's name holds the Qt version and a
# hash of the configure options, so changing the options builds a new Qt beside the old one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${DESKMEMO_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/deskMemo}
jobs=${JOBS:-$(nproc)}

# Only what the note uses: Core, Gui, Widgets, the Windows platform plugin, the Windows styles,
# the image formats of its resources. Debian's source has no wintab, so no tablet input.
options=(
    -opensource -confirm-license -static -static-runtime -release
    -platform linux-g++ -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32-
    -nomake examples -nomake tests -no-compile-examples
    -no-opengl -no-dbus -no-icu -no-direct2d -no-feature-tabletevent
    -no-feature-network -no-feature-sql -no-feature-xml -no-feature-testlib
    -no-feature-concurrent -no-feature-printer -no-libjpeg -no-gif
    -qt-zlib -qt-libpng -qt-freetype -qt-pcre -qt-harfbuzz
)
hash=$(printf '%s\n' "${options[@]}" | sha256sum | cut -c1-10)

finished() { for dir in "$cache"/qt-*-mingw64-static-"$hash"; do [ -f "$dir/.complete" ] && echo "$dir" && return 0; done; return 1; }
if prefix=$(finished); then
    echo "$prefix"
    exit 0
fi

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive

# Qt's source comes from the Debian archive that apt already uses, as a source package.
# Each command's whole output is read before it is searched: under pipefail a reader that leaves
# early (grep -q, awk's exit, head) can kill its writer with SIGPIPE, at random.
sources=$(apt-cache showsrc qtbase-opensource-src 2>/dev/null || true)
if ! grep -q '^Version:' <<<"$sources"; then
    lists=$({ grep -hE '^[[:space:]]*URIs:' /etc/apt/sources.list.d/*.sources
              grep -hE '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list
            } 2>/dev/null || true)
    mirrors=$(grep -oE 'https?://[^ ]*/debian/?' <<<"$lists" | grep -v security || true)
    mirror=${mirrors%%$'\n'*}
    mirror=${mirror:-http://deb.debian.org/debian}
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    "${sudo[@]}" tee /etc/apt/sources.list.d/deskmemo-qt-source.sources >/dev/null <<SOURCES
Types: deb-src
URIs: ${mirror%/}
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    "${sudo[@]}" apt-get update -qq
fi
"$root/scripts/install-deps.sh" windows

sources=$(apt-cache showsrc qtbase-opensource-src)
version=$(awk '/^Version:/ { print $2; exit }' <<<"$sources")
upstream=${version%%+*}
prefix=$cache/qt-$upstream-mingw64-static-$hash
work=$cache/work-$hash
mkdir -p "$work"

source_folder() { local found; found=$(find "$work" -maxdepth 1 -type d -name 'qtbase-opensource-src-*'); echo "${found%%$'\n'*}"; }
source_dir=$(source_folder)
if [ -z "$source_dir" ]; then
    (cd "$work" && apt-get source -qq "qtbase-opensource-src=$version" >/dev/null)
    source_dir=$(source_folder)
fi

# GCC 12's win32 thread model has no std::thread, which Qt needs: the posix one, under the
# names that CROSS_COMPILE makes qmake call.
tools=$work/bin
mkdir -p "$tools"
for tool in gcc g++; do
    ln -sf "$(command -v x86_64-w64-mingw32-$tool-posix)" "$tools/x86_64-w64-mingw32-$tool"
done
export PATH=$tools:$PATH

build=$work/build
if [ ! -f "$build/.configured" ]; then
    rm -rf "$build"
    mkdir -p "$build"
    (cd "$build" && "$source_dir/configure" "${options[@]}" -prefix "$prefix" -silent)
    touch "$build/.configured"
fi
started=$SECONDS
make -C "$build" -j"$jobs" >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log" >&2; exit 1; }
make -C "$build" -j"$jobs" install >>"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log" >&2; exit 1; }
echo "Qt for Windows built in $(( (SECONDS - started) / 60 )) min into $prefix" >&2
touch "$prefix/.complete"
# The build tree is large and no longer needed; the source stays for a rebuild with new options.
rm -rf "$build"
echo "$prefix"
