#!/usr/bin/env bash
# Runs a Windows test executable under Wine, in a throw-away prefix that nothing else uses.
# The program is started from a folder deeper than MAX_PATH, with a space in its name.
# The FILEs are put beside it.
# Usage: run-under-wine.sh PROGRAM.exe [FILE...]
set -euo pipefail
program=$1
shift
# Wine keeps its server's socket in the temporary folder: one of the test's own, removed with it.
work=$(mktemp -d "${TMPDIR:-/tmp}/deskMemo-wine.XXXXXX")
prefix=$work/prefix
mkdir "$work/tmp"
export WINEPREFIX=$prefix TMPDIR=$work/tmp WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d"
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Windows without a display: Wine's null graphics driver still makes real windows. The
# setting is read when the prefix's server starts, so it is made first and the server restarted.
timeout 120 wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
wineserver -k 2>/dev/null || true

folder="$prefix/drive_c/Program Files/deskMemo"
for _ in 1 2 3 4 5; do folder+=/$(printf 'x%.0s' {1..60}); done
mkdir -p "$folder"
cp "$program" "$@" "$folder/"
timeout 120 wine "$folder/$(basename "$program")"
