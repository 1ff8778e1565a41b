#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" test
"$root/scripts/build.sh"
build_dir=${BUILD_DIR:-$root/build}
(cd "$build_dir" && ctest --output-on-failure --timeout 300)
# The benchmark prints its table; only a benchmark that cannot run fails the command.
RUNS=${BENCH_RUNS:-5} "$root/bench/run.sh" "$build_dir"
