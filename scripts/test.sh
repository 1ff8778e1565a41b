#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" test
"$root/scripts/build.sh"
build_dir=${BUILD_DIR:-$root/build}
(cd "$build_dir" && ctest --output-on-failure --timeout 300)
# The same tests once more, built by clang with AddressSanitizer and UndefinedBehaviorSanitizer,
# plus the fuzz targets, each fuzzed for a minute (DESKMEMO_FUZZ_SECONDS). The crash test,
# already run above, kills its driver fewer times here.
CC=clang CXX=clang++ BUILD_DIR="$build_dir-sanitize" "$root/scripts/build.sh" \
    -DDESKMEMO_FUZZ=ON -DDESKMEMO_BUILD_BENCH=OFF -DDESKMEMO_FUZZ_SECONDS="${DESKMEMO_FUZZ_SECONDS:-60}"
(cd "$build_dir-sanitize" && DESKMEMO_KILLS=${DESKMEMO_KILLS:-100} ctest --output-on-failure --timeout 600)

# The benchmark prints its table; only a benchmark that cannot run fails the command.
RUNS=${BENCH_RUNS:-5} "$root/bench/run.sh" "$build_dir"
