#!/usr/bin/env bash
# End to end: the real program in a real X server (its own Xvfb), real key events (xdotool) and the
# real X clipboard (xclip). Starts on a Japanese memo store in code page 932, wraps one line by
# Ctrl+B, one through the HTML tag menu and inserts a colour tag from its submenu, copies all (F5),
# checks the clipboard, saves and exits (F2) and checks the memo store byte for byte.
#
#   run-e2e.sh PATH_TO_PENNORO
set -uo pipefail

program=${1:?usage: run-e2e.sh PATH_TO_PENNORO}
step_timeout=10 # seconds for any one wait

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${work:-}" ] && [ -s "$work/pennoro.log" ]; then
        echo "--- pennoro's output:" >&2
        cat "$work/pennoro.log" >&2
    fi
    exit 1
}

for tool in Xvfb xdotool xclip iconv cmp; do
    command -v "$tool" >/dev/null || fail "$tool is missing (./test.sh installs it)"
done
[ -x "$program" ] || fail "no program at $program"
program=$(realpath "$program")

source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"

work=$(mktemp -d)
XVFB_PID=
pennoro_pid=
cleanup() {
    [ -n "$pennoro_pid" ] && kill "$pennoro_pid" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# until SECONDS_LIMIT COMMAND...: runs COMMAND every 50 ms until it succeeds or the time is up.
until_ok() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

start_xvfb "$work" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The memo store as save-and-exit writes it: a memo of two lines in code page 932 (kanji, kana,
# half-width katakana, a circled digit) and an empty third, then the line end written after it.
mkdir "$work/cwd"
printf 'お知らせ\r\nﾃｷｽﾄ①の本文です\r\n\r\n' | iconv -f UTF-8 -t CP932 >"$work/cwd/Data.pnr" ||
    fail "iconv cannot write code page 932"

(cd "$work/cwd" && exec "$program") >"$work/pennoro.log" 2>&1 &
pennoro_pid=$!

running() { kill -0 "$pennoro_pid" 2>/dev/null; }
shown() {
    running || fail "the program ended before showing its window"
    window=$(xdotool search --onlyvisible --name '^Pennoro Ver 2\.0 - Normal$' 2>/dev/null | head -n 1)
    [ -n "$window" ]
}
until_ok "$step_timeout" shown || fail "the window \"Pennoro Ver 2.0 - Normal\" did not show"
# No window manager: give the window the keyboard focus ourselves.
xdotool windowfocus --sync "$window" || fail "cannot focus the window"

# Open menus are the program's other visible windows; a key meant for a menu must wait until its
# menu is there, or it would be typed into the memo.
open_menus() { xdotool search --onlyvisible --class '^pennoro$' 2>/dev/null | grep -cvx "$window"; }
menus_are() { [ "$(open_menus)" -eq "$1" ]; }
menu_key() { # menu_key OPEN_MENUS_AFTER KEY...
    local after=$1
    shift
    xdotool key "$@"
    until_ok "$step_timeout" menus_are "$after" || fail "after keys $*: $(open_menus) menus open, not $after"
}

# Line 1 selected, bold by its shortcut.
xdotool key shift+End ctrl+b
# Line 2 selected, italic through the menu: Alt+T opens the HTML tag menu, N is 斜体's access key.
xdotool key Down Home shift+End
menu_key 1 alt+t
menu_key 0 n
# At the end of the memo, nothing selected: 文字色(&C), then its first item, 赤色.
xdotool key ctrl+End
menu_key 1 alt+t
menu_key 2 c
menu_key 0 Return
# Copy all.
xdotool key F5

# The clipboard carries the platform's line ends (LF).
printf '<B>お知らせ</B>\n<I>ﾃｷｽﾄ①の本文です</I>\n<FONT COLOR="#FF0000"></FONT>' >"$work/expected.clip"
clip_matches() {
    xclip -selection clipboard -t UTF8_STRING -o >"$work/clip" 2>/dev/null &&
        cmp -s "$work/expected.clip" "$work/clip"
}
until_ok "$step_timeout" clip_matches ||
    fail "clipboard after F5 is '$(cat "$work/clip")', expected '$(cat "$work/expected.clip")'"

# Save and exit: the program ends by itself and the store holds the memo and one CR LF.
xdotool key F2
ended() { ! running; }
until_ok "$step_timeout" ended || fail "the program did not end after F2"
wait "$pennoro_pid"
status=$?
pennoro_pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"

printf '<B>お知らせ</B>\r\n<I>ﾃｷｽﾄ①の本文です</I>\r\n<FONT COLOR="#FF0000"></FONT>\r\n' |
    iconv -f UTF-8 -t CP932 >"$work/expected.pnr"
cmp "$work/expected.pnr" "$work/cwd/Data.pnr" || {
    echo "expected:" >&2
    od -An -tx1 "$work/expected.pnr" >&2
    echo "written:" >&2
    od -An -tx1 "$work/cwd/Data.pnr" >&2
    fail "the memo store differs"
}
echo "PASS: start, tag commands by key and menu, copy all, save-and-exit"
