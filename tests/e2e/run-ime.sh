#!/usr/bin/env bash
# End to end with a real input method: the real program in its own Xvfb with openbox, a private
# session bus and fcitx5 with Mozc, as a Japanese user types. Types romaji into an empty memo,
# lets Mozc compose (and convert) the word, saves and exits (F2 or the label 保存終了[F2]) and checks
# Data.pnr byte for byte.
#
#   run-ime.sh PATH_TO_PENNORO [SCENARIO...]     (default: commit)
#
#   commit          a t a r a s h i i, Space, Return, F2: the store holds 新しい
#   open            a t a r a s h i i, then a click on the label 保存終了[F2] while the word is
#                   still composed: the store holds あたらしい
#   open-converted  a t a r a s h i i, Space, a click on 保存終了[F2]: the store holds 新しい
#   long-line       the commit scenario on a memo of one 256 KiB line without a break
#                   opportunity: the word is composed at its start, where each change of the word
#                   lays the whole line out again; the store holds 新しい and the line
#   all             each of the four
#
# (The label, not the key: Mozc keeps F2 for itself while a word is composed.)
#
# Mozc's server refuses to run as root: as root this script runs itself again as "nobody", in a
# home folder of its own in a temporary folder. Every process it starts carries a mark in its
# environment; at the end each one still running is ended, and the run fails if any was left.
set -uo pipefail

self=$(realpath "${BASH_SOURCE[0]}")
program=${1:?usage: run-ime.sh PATH_TO_PENNORO [commit | open | open-converted | all ...]}
shift
step_timeout=20 # seconds for any one wait

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

[ -x "$program" ] || fail "no program at $program"
program=$(realpath "$program")
scenarios=("$@")
[ ${#scenarios[@]} -gt 0 ] || scenarios=(commit)
[ "${scenarios[*]}" = all ] && scenarios=(commit open open-converted long-line)
for scenario in "${scenarios[@]}"; do
    case "$scenario" in
    commit | open | open-converted | long-line) ;;
    *) fail "unknown scenario '$scenario'" ;;
    esac
done

# marked_processes MARK: the ids of the processes whose environment holds PENNORO_IME_RUN=MARK.
marked_processes() {
    local file
    # The search itself must not carry the mark. (This shell's own environment, and so that of
    # its subshells, never holds it: see below.)
    for file in $(env -u PENNORO_IME_RUN grep -lzxF "PENNORO_IME_RUN=$1" /proc/[0-9]*/environ \
        2>/dev/null); do
        file=${file#/proc/}
        echo "${file%/environ}"
    done
}

# end_marked MARK: ends every process with MARK (TERM, then KILL after two seconds); prints the
# command of each found.
end_marked() {
    local pids pid
    pids=$(marked_processes "$1")
    [ -n "$pids" ] || return 0
    for pid in $pids; do
        echo "  $pid $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)"
        kill "$pid" 2>/dev/null
    done
    for _ in $(seq 40); do
        [ -n "$(marked_processes "$1")" ] || return 0
        sleep 0.05
    done
    for pid in $(marked_processes "$1"); do kill -KILL "$pid" 2>/dev/null; done
}

if [ "$(id -u)" -eq 0 ]; then
    user=nobody
    id "$user" >/dev/null 2>&1 || fail "there is no user '$user' to run the input method as"
    command -v setpriv >/dev/null || fail "setpriv is missing"
    setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups -- test -x "$program" ||
        fail "$user cannot run $program (a folder on its path closed to other users?)"
    mark="root-$$-$RANDOM$RANDOM"
    PENNORO_IME_MARK=$mark setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups -- \
        "$self" "$program" "${scenarios[@]}"
    status=$?
    strays=$(end_marked "$mark")
    if [ -n "$strays" ]; then
        echo "processes left running, now ended:" >&2
        echo "$strays" >&2
        fail "the run as $user left processes running"
    fi
    exit "$status"
fi

for tool in Xvfb xdotool xprop iconv cmp dbus-daemon dbus-send dbus-monitor openbox fcitx5 \
    fcitx5-remote; do
    command -v "$tool" >/dev/null || fail "$tool is missing (./test.sh installs it)"
done
[ -e /usr/lib/mozc/mozc_server ] || fail "Mozc's server is missing (./test.sh installs fcitx5-mozc)"

# A mark of this run that every process started below inherits, so that all of them can be found
# at the end, daemons and the processes that fcitx5 starts included. Exported here, it is in the
# environment of every program this shell starts but not in the shell's own (nor its subshells').
export PENNORO_IME_RUN=${PENNORO_IME_MARK:-user-$$-$RANDOM$RANDOM}
unset PENNORO_IME_MARK

source "$(dirname "$self")/xvfb.sh"

work=$(mktemp -d)
XVFB_PID=
bus_pid=
openbox_pid=
monitor_pid=
fcitx_pid=
pennoro_pid=
show_logs() {
    local log
    for log in pennoro fcitx5 monitor openbox dbus xvfb; do
        [ -s "$work/$log.log" ] || continue
        echo "--- $log's output:" >&2
        tail -n 60 "$work/$log.log" | cut -c 1-300 >&2
    done
}
cleanup() {
    local status=$? pid strays
    for pid in "$pennoro_pid" "$fcitx_pid" "$openbox_pid" "$monitor_pid" "$bus_pid" "$XVFB_PID"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null
    done
    wait 2>/dev/null
    # What the above started by itself (Mozc's server and renderer, anything the bus started).
    strays=$(end_marked "$PENNORO_IME_RUN" | grep -v "mozc_server\|mozc_renderer")
    rm -rf "$work"
    if [ -n "$strays" ]; then
        echo "FAIL: processes left running, now ended:"$'\n'"$strays" >&2
        exit 1
    fi
    exit "$status"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    show_logs
    exit 1
}
fail_quietly() {
    echo "FAIL: $*" >&2
    exit 1
}

# until_ok SECONDS COMMAND...: runs COMMAND every 50 ms until it succeeds or the time is up.
until_ok() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

# A user of one's own: home, settings, data and run-time folders in the temporary folder, no
# session of the caller's.
unset DBUS_SESSION_BUS_ADDRESS DISPLAY WAYLAND_DISPLAY SESSION_MANAGER XAUTHORITY GTK_IM_MODULE \
    QT_IM_MODULES SDL_IM_MODULE XDG_SESSION_TYPE XDG_CURRENT_DESKTOP
export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
export XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME/fcitx5/conf" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# A Japanese locale where the system has one (Mozc and Pennoro work in any UTF-8 locale).
if locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
    locale=ja_JP.UTF-8
else
    locale=C.UTF-8
fi
export LANG=$locale LC_ALL=$locale
echo "locale: $locale"

start_xvfb "$work" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"

# The session bus, on an address in this run's folder. It starts no services of its own: a name
# asked for before its owner is up would start a second fcitx5 with the system's settings.
cat >"$work/bus.conf" <<CONF
<busconfig>
  <type>session</type>
  <listen>unix:path=$XDG_RUNTIME_DIR/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
: >"$work/bus"
dbus-daemon --config-file="$work/bus.conf" --nofork --nopidfile --print-address=3 3>"$work/bus" \
    >"$work/dbus.log" 2>&1 &
bus_pid=$!
bus_up() {
    kill -0 "$bus_pid" 2>/dev/null || fail "the session bus ended"
    grep -qs '^unix:' "$work/bus"
}
until_ok "$step_timeout" bus_up || fail "the session bus did not start"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
# What passes between fcitx5 and the program, to see when the program has taken a composed word.
dbus-monitor --session "interface='org.fcitx.Fcitx.InputContext1'" >"$work/monitor.log" 2>&1 &
monitor_pid=$!

# The window manager: focus and activation as on a desktop.
openbox --sm-disable >"$work/openbox.log" 2>&1 &
openbox_pid=$!
wm_up() {
    kill -0 "$openbox_pid" 2>/dev/null || fail "openbox ended"
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}
until_ok "$step_timeout" wm_up || fail "openbox did not take the screen"

# fcitx5 with one group: the keyboard while inactive, Mozc when active. Only the addons a desktop
# needs to type Japanese into a Qt program: X, the bus and its frontend, the candidate window.
cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'EOF'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
EOF
fcitx5 --disable=all --enable=dbus,dbusfrontend,xcb,keyboard,mozc,classicui \
    --verbose="${PENNORO_IME_FCITX_LOG:-*=4}" >"$work/fcitx5.log" 2>&1 &
fcitx_pid=$!
im_up() {
    kill -0 "$fcitx_pid" 2>/dev/null || fail "fcitx5 ended"
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 2>/dev/null |
        grep -q 'boolean true'
}
until_ok "$step_timeout" im_up || fail "fcitx5 did not come up on the session bus"
# fcitx5-remote: 0 without a focused input field, 1 inactive, 2 active.
im_state() { fcitx5-remote 2>/dev/null; }
im_state_is() {
    kill -0 "$fcitx_pid" 2>/dev/null || fail "fcitx5 ended"
    [ "$(im_state)" = "$1" ]
}

export QT_QPA_PLATFORM=xcb QT_IM_MODULE=fcitx XMODIFIERS=@im=fcitx

# shows_composition TEXT: whether the program shows TEXT as the composition: fcitx5's last
# composition sent was TEXT and the program has told fcitx5 where its caret stands since, which it
# does once it has taken the composition. (It tells only when the caret has moved: so the word
# typed ends in a key that adds a character, and its conversion is shorter.)
shows_composition() {
    kill -0 "$pennoro_pid" 2>/dev/null || fail "the program ended while a word was composed"
    awk -v want="$1" -v from="$typed_from" '
        NR <= from { next }
        / member=UpdateFormattedPreedit$/ { reading = 1; text = ""; shown = 0; next }
        reading && /^   *string "/ { sub(/^ *string "/, ""); sub(/"$/, ""); text = text $0; next }
        reading && /^[a-z]/ { reading = 0; composed = text == want }
        / member=SetCursorRect/ && composed { shown = 1 }
        END { exit !shown }' "$work/monitor.log"
}

# click_save_label: clicks the label 保存終了[F2]. It stands at a fixed place at the bottom left of
# the window's client area (8, 256 to 137, 273 below the menu bar, which is the area's top).
click_save_label() {
    local HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$window" | grep '^HEIGHT=[0-9]*$')"
    # No --sync: that waits for the pointer to move, long in vain where it stands there already.
    xdotool mousemove --window "$window" 72 $((HEIGHT - 17)) click 1
}

# run_scenario NAME KEYS ENDING EXPECTED [STORE]: starts the program on an empty memo (or on the
# memo store STORE), types atarashii and then KEYS through Mozc at the start of the memo, saves and
# exits by ENDING (the key F2, or a click on the label once the program shows the composed EXPECTED)
# and checks that the store holds EXPECTED and then what it held (a line end if it was empty).
run_scenario() {
    local name=$1 keys=$2 ending=$3 expected=$4 store=${5:-} cwd="$work/$1" window status typed_from
    echo "scenario $name: a t a r a s h i i${keys:+, $keys}, $ending: expects $expected"
    mkdir "$cwd"
    if [ -n "$store" ]; then
        cp "$store" "$cwd/Data.pnr"
    else
        printf '\r\n' >"$work/$name-store.pnr"
        : >"$cwd/Data.pnr"
        store=$work/$name-store.pnr
    fi
    (cd "$cwd" && exec "$program") >"$work/pennoro.log" 2>&1 &
    pennoro_pid=$!

    running() { kill -0 "$pennoro_pid" 2>/dev/null; }
    shown() {
        running || fail "the program ended before showing its window"
        window=$(xdotool search --onlyvisible --name '^Pennoro Ver 2\.0 - ' 2>/dev/null | head -n 1)
        [ -n "$window" ]
    }
    until_ok "$step_timeout" shown || fail "the program's window did not show"
    xdotool windowactivate --sync "$window" || fail "cannot activate the window"

    # The memo has the focus once the program's input field is fcitx5's focused one; then switch
    # Mozc on for it.
    until_ok "$step_timeout" im_state_is 1 ||
        fail "fcitx5 sees no focused input field (state $(im_state)) in the program"
    fcitx5-remote -o
    until_ok "$step_timeout" im_state_is 2 ||
        fail "fcitx5 did not switch Mozc on (state $(im_state))"
    [ "$(fcitx5-remote -n)" = mozc ] ||
        fail "the active input method is $(fcitx5-remote -n), not mozc"

    typed_from=$(wc -l <"$work/monitor.log")
    xdotool type --delay 20 atarashii
    [ -n "$keys" ] && xdotool key --delay 20 $keys
    if [ "$ending" = F2 ]; then
        # Keys through the input method reach Mozc in the order typed, and what Mozc commits
        # reaches the program before a later key that Mozc passes on: F2 comes last. (Mozc keeps
        # F2 for itself while a word is composed.)
        xdotool key F2
    else
        until_ok "$step_timeout" shows_composition "$expected" ||
            fail "the program does not show the composed word $expected"
        click_save_label
    fi
    ended() { ! running; }
    until_ok "$step_timeout" ended || fail "the program did not end after $ending"
    wait "$pennoro_pid"
    status=$?
    pennoro_pid=
    [ "$status" -eq 0 ] || fail "the program ended with status $status"

    { printf '%s' "$expected" | iconv -f UTF-8 -t CP932 && cat "$store"; } >"$work/expected.pnr"
    cmp -s "$work/expected.pnr" "$cwd/Data.pnr" ||
        fail "scenario $name: Data.pnr holds '$(head -c 100 "$cwd/Data.pnr" |
            iconv -c -f CP932 -t UTF-8 | sed 's/\r/\\r/g; s/$/\\n/' | tr -d '\n')'" \
            "($(wc -c <"$cwd/Data.pnr") bytes), expected '$expected' and $(wc -c <"$store") bytes"
    echo "PASS: $name"
}

# Each scenario in a subshell of its own, so that one that fails leaves the others their run.
failed=()
for scenario in "${scenarios[@]}"; do
    (
        trap '[ -n "$pennoro_pid" ] && kill "$pennoro_pid" 2>/dev/null; wait' EXIT
        case "$scenario" in
        commit) run_scenario commit "space Return" F2 新しい ;;
        open) run_scenario open "" "a click on 保存終了[F2]" あたらしい ;;
        open-converted) run_scenario open-converted space "a click on 保存終了[F2]" 新しい ;;
        long-line)
            awk 'BEGIN { for (i = 0; i < 262144; ++i) printf "%x", (i * 7 + int(i / 5)) % 16
                         printf "\r\n" }' >"$work/long-line.pnr"
            run_scenario long-line "space Return" F2 新しい "$work/long-line.pnr"
            ;;
        esac
    ) || failed+=("$scenario")
done
[ ${#failed[@]} -eq 0 ] || fail_quietly "failed: ${failed[*]}"
