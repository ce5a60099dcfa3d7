# Sourced by the end-to-end test and ./bench.sh: an X server of one's own.

# xvfb_display_in_use N: whether display N looks taken. A lock file alone is not trusted (several
# servers run on this machine at once, and a lock file can be gone while its server still
# listens): any socket of that display counts too, the abstract ones included.
xvfb_display_in_use() {
    [ -e "/tmp/.X$1-lock" ] || [ -e "/tmp/.X11-unix/X$1" ] ||
        grep -Eq "[ @]/tmp/\.X11-unix/X$1\$" /proc/net/unix
}

# start_xvfb DIR: starts Xvfb on a free display, its log in DIR; sets XVFB_PID and exports
# DISPLAY. Fails after a few attempts.
start_xvfb() {
    local dir=$1 display
    for _ in $(seq 10); do
        display=$((RANDOM % 800 + 200))
        xvfb_display_in_use "$display" && continue
        : >"$dir/display"
        # -noreset: by default the server starts over whenever its last client leaves, and a client
        # that connects in that moment is turned away.
        Xvfb ":$display" -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
            3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
        XVFB_PID=$!
        # The number appears once the server listens; a server that finds its display taken ends.
        for _ in $(seq 100); do
            grep -qs '^[0-9][0-9]*$' "$dir/display" && break
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.05
        done
        if grep -qs '^[0-9][0-9]*$' "$dir/display" && kill -0 "$XVFB_PID" 2>/dev/null &&
            ! grep -q 'already' "$dir/xvfb.log"; then
            export DISPLAY=":$display"
            return 0
        fi
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=
    done
    return 1
}
