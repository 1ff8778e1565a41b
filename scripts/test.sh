#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Exits non-zero on any failure, when a
# build has no tests, and when a test is skipped, unless README.md names that test as optional.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build}
# Skipped where it cannot run; README.md says when.
optional_tests=(install_deb)

# run_tests BUILD_DIR [CTEST_OPTIONS...]: every test of that build; a skipped test fails.
run_tests() {
    local dir=$1 junit=$1/Testing/results.xml status=0 name
    shift
    rm -f "$junit"
    (cd "$dir" && ctest --no-tests=error --output-on-failure --output-junit "$junit" "$@") ||
        status=1
    for name in $(grep -o '<testcase name="[^"]*"[^>]*status="notrun"' "$junit" 2>/dev/null |
        cut -d'"' -f2); do
        if [[ " ${optional_tests[*]} " == *" $name "* ]]; then
            echo "test.sh: $name was skipped; README.md names it as optional"
        else
            echo "test.sh: $name was skipped, in whole or in part: a failure" \
                "(its output: $dir/Testing/Temporary/LastTest.log)" >&2
            status=1
        fi
    done
    return $status
}

"$root/scripts/install-deps.sh" test
# The Windows program and the Windows build's test, run under Wine by the tests below. The first
# run builds Qt for Windows (about half an hour on 2 cores) into a cache outside the repository.
windows_build_dir=${WINDOWS_BUILD_DIR:-$root/build-windows}
WINDOWS_BUILD_DIR=$windows_build_dir "$root/scripts/build-windows.sh"
# Every option the tests depend on is given, not taken from the build folder's cache, where a
# switched-off test build or a sanitizer build would silently drop whole tiers.
BUILD_DIR=$build_dir "$root/scripts/build.sh" -DDESKMEMO_BUILD_TESTS=ON \
    -DDESKMEMO_BUILD_BENCH=ON -DDESKMEMO_SANITIZE=OFF -DDESKMEMO_FUZZ=OFF \
    -DDESKMEMO_WINDOWS_BUILD_DIR="$windows_build_dir"
run_tests "$build_dir" --timeout 300
# The same tests once more, built by clang with AddressSanitizer and UndefinedBehaviorSanitizer,
# plus the fuzz targets, each replaying its kept corpus and a fixed number of inputs from a fixed
# seed (scripts/fuzz.sh explores at random). The crash test, already run above, kills its driver
# fewer times here.
CC=clang CXX=clang++ BUILD_DIR="$build_dir-sanitize" "$root/scripts/build.sh" \
    -DDESKMEMO_BUILD_TESTS=ON -DDESKMEMO_BUILD_BENCH=OFF -DDESKMEMO_SANITIZE=ON -DDESKMEMO_FUZZ=ON
DESKMEMO_KILLS=${DESKMEMO_KILLS:-100} run_tests "$build_dir-sanitize" --timeout 600

# The benchmark prints its table; only a benchmark that cannot run fails the command.
RUNS=${BENCH_RUNS:-5} "$root/bench/run.sh" "$build_dir"
