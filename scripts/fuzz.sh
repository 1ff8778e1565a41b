#!/usr/bin/env bash
# Explores: fuzzes the loading of both files with random seeds, DESKMEMO_FUZZ_SECONDS (default 600)
# each, in the sanitizer build (build-sanitize/, or $BUILD_DIR), which it builds first. The test
# command only replays the kept corpus and a fixed number of inputs from a fixed seed; new faults
# are found here. A failing input lands in build-sanitize/fuzz/artifacts/: once its fault is fixed,
# copy it into fuzz/corpus/<target>/, so that every test run replays it from then on.
# Usage: scripts/fuzz.sh [settingsFile|noteText...]   (both by default)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build-sanitize}
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(settingsFile noteText)
CC=clang CXX=clang++ BUILD_DIR=$build_dir "$root/scripts/build.sh" -DDESKMEMO_BUILD_TESTS=ON \
    -DDESKMEMO_BUILD_BENCH=OFF -DDESKMEMO_SANITIZE=ON -DDESKMEMO_FUZZ=ON
mapfile -t environment <"$build_dir/fuzz/environment"
for target in "${targets[@]}"; do
    explored=$build_dir/fuzz/explored/$target
    mkdir -p "$explored"
    env "${environment[@]}" "$build_dir/fuzz/fuzz_$target" -max_total_time="${DESKMEMO_FUZZ_SECONDS:-600}" \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build_dir/fuzz/artifacts/$target-" "$explored" "$root/fuzz/corpus/$target"
done
