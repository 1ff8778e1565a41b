#!/usr/bin/env bash
# Compiles the Qt-using sources as the Windows build selects them with the MinGW-w64 compiler,
# against the installed Qt headers, syntax only: there is no Qt for Windows to link with.
# Usage: check-qt-sources.sh COMPILER FLAGS... -- SOURCES...
set -euo pipefail
compiler=$1
shift
flags=()
while [ "$1" != -- ]; do
    flags+=("$1")
    shift
done
shift
printf '%s\n' "$@" | xargs -P 2 -I{} "$compiler" -fsyntax-only "${flags[@]}" {}
printf 'compiles for Windows: %s\n' "$@"
