#!/usr/bin/env bash
# Runs a test program on an X server of its own (Xvfb), through Qt's X11 platform.
#
#   under-xvfb.sh PROGRAM [ARGS...]
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
work=$(mktemp -d)
XVFB_PID=
cleanup() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

start_xvfb "$work" || {
    echo "FAIL: Xvfb did not start: $(cat "$work/xvfb.log")" >&2
    exit 1
}
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$@"
