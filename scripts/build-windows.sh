#!/usr/bin/env bash
# Builds the Windows program, deskMemo.exe, into build-windows/ (or $WINDOWS_BUILD_DIR) with
# MinGW-w64 and a static Qt for Windows. That Qt is built from Debian's Qt source the first
# time (scripts/build-qt-windows.sh, about half an hour) and taken from its cache afterwards.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${WINDOWS_BUILD_DIR:-$root/build-windows}
"$root/scripts/install-deps.sh" build
qt=$("$root/scripts/build-qt-windows.sh" | tail -n 1)
cmake -S "$root" -B "$build_dir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
    -DCMAKE_BUILD_TYPE=Release -DDESKMEMO_BUILD_TESTS=ON -DDESKMEMO_BUILD_BENCH=OFF \
    -DDESKMEMO_SANITIZE=OFF -DDESKMEMO_FUZZ=OFF >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
echo "built $build_dir/deskMemo.exe"
