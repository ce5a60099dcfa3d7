#!/usr/bin/env bash
# Runs each CTest test N times, one at a time, to find tests that fail only now and then: run it
# while the machine is busy (stress-ng, a build) to give them their chance. Reports per test how
# many runs failed and keeps the output of every failed run. Builds nothing: run ./test.sh first.
#
#   tests/repeat.sh N [--plain | --asan] [CTEST ARGS...]
#
#   --plain   only the debug build in build/;  --asan   only the sanitizer build in build-asan/
#             (default: each of the two that exists)
#   CTEST ARGS choose the tests as for ctest, e.g. -R 'tst_(textexport|mainwindow)' or -E e2e.
#
# Logs of failed runs: repeat-logs/<build folder>/<test>.<run>.log (PENNORO_REPEAT_LOGS to move).
# Exits 1 when any run failed.
set -uo pipefail
PENNORO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

usage() {
    sed -n '6,10s/^# \{0,1\}//p' "${BASH_SOURCE[0]}" >&2
    exit 2
}

runs=${1:-}
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || usage
shift
builds=()
case "${1:-}" in
--plain) builds=(build) && shift ;;
--asan) builds=(build-asan) && shift ;;
-h | --help) usage ;;
*)
    for b in build build-asan; do
        [ -f "$PENNORO_ROOT/$b/CTestTestfile.cmake" ] && builds+=("$b")
    done
    ;;
esac
[ ${#builds[@]} -gt 0 ] || { echo "no build folder: run ./test.sh first" >&2 && exit 2; }
selection=("$@")
logs=${PENNORO_REPEAT_LOGS:-$PENNORO_ROOT/repeat-logs}

# As test.sh runs them.
export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PENNORO_ROOT/tests/lsan.supp:print_suppressions=0

# tests_in DIR: the names of the chosen tests, one a line.
tests_in() {
    ctest --test-dir "$1" -N "${selection[@]}" | sed -n 's/^ *Test *#[0-9]*: //p'
}

failed_any=0
for build in "${builds[@]}"; do
    dir=$PENNORO_ROOT/$build
    timeout=300
    [ "$build" = build-asan ] && timeout=600
    mapfile -t tests < <(tests_in "$dir")
    [ ${#tests[@]} -gt 0 ] || { echo "$build: no test matches" >&2 && exit 2; }
    rm -rf "${logs:?}/$build"
    mkdir -p "$logs/$build"
    declare -A failures=()
    echo "== $build: ${#tests[@]} tests, $runs runs each"
    # Run by run rather than test by test, so that each test meets the load at different times.
    for ((run = 1; run <= runs; run++)); do
        for test in "${tests[@]}"; do
            log=$logs/$build/$test.$run.log
            if ctest --test-dir "$dir" -R "^$test\$" --output-on-failure --timeout "$timeout" \
                >"$log" 2>&1; then
                rm -f "$log"
            else
                failures[$test]=$((${failures[$test]:-0} + 1))
                echo "   run $run: $test FAILED ($log)"
            fi
        done
    done
    for test in "${tests[@]}"; do
        printf '%-22s %2d of %d runs failed\n' "$test" "${failures[$test]:-0}" "$runs"
        [ "${failures[$test]:-0}" -eq 0 ] || failed_any=1
    done
    unset failures
done
exit $failed_any
