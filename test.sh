#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless.
set -euo pipefail
PENNORO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$PENNORO_ROOT/scripts/deps.sh"

ensure_packages "${PENNORO_BUILD_PACKAGES[@]}" "${PENNORO_TEST_PACKAGES[@]}"
configure_and_build "$PENNORO_ROOT/build" Debug

"$PENNORO_ROOT/tests/wine/run.sh"

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$PENNORO_ROOT/build" --output-on-failure --timeout 300
