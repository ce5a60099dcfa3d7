#!/usr/bin/env bash
# ./fuzz.sh [SECONDS]: builds the fuzz targets (Clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz and runs each for SECONDS (default 120), starting from
# the committed seed corpus in fuzz/corpus/<target> and what earlier runs found
# (build-fuzz/corpus/<target>). An input that crashes, hangs or breaks a property is kept as
# build-fuzz/artifacts/<target>-crash-... and the script fails.
set -euo pipefail
PENNORO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$PENNORO_ROOT/scripts/deps.sh"

seconds=${1:-120}
targets=(memostore_load cp932_encode tag_insertion line_joining line_breaking)
dir=$PENNORO_ROOT/build-fuzz

ensure_packages "${PENNORO_BUILD_PACKAGES[@]}" "${PENNORO_FUZZ_PACKAGES[@]}"
configure_and_build "$dir" RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DPENNORO_FUZZ=ON \
    -DPENNORO_SANITIZE=ON -DPENNORO_BUILD_TESTS=OFF -DPENNORO_BUILD_BENCH=OFF

mkdir -p "$dir/artifacts"
# Leaks inside system libraries (fontconfig, for the memo's font) are not the targets' own.
export LSAN_OPTIONS=suppressions=$PENNORO_ROOT/tests/lsan.supp:print_suppressions=0
# Qt's widgets fill their caches input by input, which libFuzzer takes for a possible leak and
# checks after each such input (25 times slower); the whole run is still checked when it ends.
declare -A options=([tag_insertion]=-detect_leaks=0)
for target in "${targets[@]}"; do
    corpus=$dir/corpus/$target
    log=$dir/fuzz_$target.log
    mkdir -p "$corpus"
    if ! "$dir/fuzz/fuzz_$target" ${options[$target]:-} -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=4096 -print_final_stats=1 -artifact_prefix="$dir/artifacts/$target-" \
        "$corpus" "$PENNORO_ROOT/fuzz/corpus/$target" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "fuzz_$target: FAILED (whole log: $log)"
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1)
    echo "fuzz_$target: ${seconds} s, $runs inputs, $coverage, corpus $(ls "$corpus" | wc -l) files"
done
