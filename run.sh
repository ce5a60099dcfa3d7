#!/usr/bin/env bash
# Installs what is missing, builds a release build and starts Pennoro in the current directory,
# where its memo store Data.pnr lives.
set -euo pipefail
PENNORO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$PENNORO_ROOT/scripts/deps.sh"

ensure_packages "${PENNORO_BUILD_PACKAGES[@]}"
configure_and_build "$PENNORO_ROOT/build-release" Release -DPENNORO_BUILD_TESTS=OFF \
    -DPENNORO_BUILD_BENCH=OFF

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "pennoro: no display to open a window on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    exit 1
fi
exec "$PENNORO_ROOT/build-release/pennoro"
