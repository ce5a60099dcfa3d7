#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless.
set -euo pipefail
PENNORO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$PENNORO_ROOT/scripts/deps.sh"

# stage TEXT: the one-line heading of each stage.
stage() { echo "== $*"; }

stage "Packages"
ensure_packages "${PENNORO_BUILD_PACKAGES[@]}" "${PENNORO_TEST_PACKAGES[@]}"
stage "Source: format and include layers"
"$PENNORO_ROOT/scripts/check-source.sh"
stage "Build (Debug, build/)"
configure_and_build "$PENNORO_ROOT/build" Debug

stage "Windows launcher under Wine"
"$PENNORO_ROOT/tests/wine/run.sh"

stage "Fuzz targets, 10 s each (build-fuzz/)"
"$PENNORO_ROOT/fuzz.sh" 10

export QT_QPA_PLATFORM=offscreen
stage "Test suite under AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/)"
configure_and_build "$PENNORO_ROOT/build-asan" Debug -DPENNORO_SANITIZE=ON -DPENNORO_BUILD_BENCH=OFF
UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS=suppressions=$PENNORO_ROOT/tests/lsan.supp:print_suppressions=0 \
    ctest --test-dir "$PENNORO_ROOT/build-asan" --output-on-failure --timeout 600

# Last, so that its summary closes the output.
stage "Test suite (build/)"
ctest --test-dir "$PENNORO_ROOT/build" --output-on-failure --timeout 300
