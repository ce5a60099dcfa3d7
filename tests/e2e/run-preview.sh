#!/usr/bin/env bash
# End to end, the browser preview: the real program in its own Xvfb, F6 pressed on a Japanese memo
# that names Shift_JIS as its charset and shows an image by a relative path. The desktop's opener
# is a stand-in that records what it is given; headless Chromium then opens that page. Checks the
# preview file's place, permissions and bytes, that Chromium reads the Japanese text and loads the
# image, and that the memo store is written back byte for byte as it was (F2).
#
#   run-preview.sh PATH_TO_PENNORO
set -uo pipefail

program=${1:?usage: run-preview.sh PATH_TO_PENNORO}
step_timeout=10 # seconds for any one wait

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${work:-}" ] && [ -s "$work/pennoro.log" ]; then
        echo "--- pennoro's output:" >&2
        cat "$work/pennoro.log" >&2
    fi
    exit 1
}

for tool in Xvfb xdotool iconv cmp chromium; do
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

# The opener Qt hands a local file to: this one records its arguments.
mkdir "$work/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"

# The page and its image next to the memo store. The image reports its width into the page once it
# has loaded, where Chromium's dump of the page shows it.
mkdir "$work/cwd"
printf '<svg xmlns="http://www.w3.org/2000/svg" width="7" height="5"><rect width="7" height="5" fill="red"/></svg>' \
    >"$work/cwd/red.svg"
cat >"$work/page.txt" <<'PAGE'
<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<HTML><HEAD><META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=Shift_JIS"><TITLE>ﾃｽﾄ</TITLE></HEAD>
<BODY><P>日本語のﾍﾟｰｼﾞ①です</P><IMG SRC="red.svg" onload="this.alt='width ' + this.naturalWidth"></BODY></HTML>
PAGE
sed 's/$/\r/' "$work/page.txt" | iconv -f UTF-8 -t CP932 >"$work/cwd/Data.pnr" ||
    fail "iconv cannot write code page 932"
cp "$work/cwd/Data.pnr" "$work/Data.pnr.before"

(cd "$work/cwd" && PATH="$work/bin:$PATH" exec "$program") >"$work/pennoro.log" 2>&1 &
pennoro_pid=$!

running() { kill -0 "$pennoro_pid" 2>/dev/null; }
shown() {
    running || fail "the program ended before showing its window"
    window=$(xdotool search --onlyvisible --name '^Pennoro Ver 2\.0 - Normal$' 2>/dev/null | head -n 1)
    [ -n "$window" ]
}
until_ok "$step_timeout" shown || fail "the window \"Pennoro Ver 2.0 - Normal\" did not show"
xdotool windowfocus --sync "$window" || fail "cannot focus the window"

xdotool key F6
preview="$XDG_RUNTIME_DIR/pennoro/preview.html"
opened() { [ -s "$work/opened" ]; }
until_ok "$step_timeout" opened || fail "F6 opened nothing"
[ "$(cat "$work/opened")" = "file://$preview" ] ||
    fail "the opener was given '$(cat "$work/opened")', not file://$preview"
[ "$(stat -c %a "$XDG_RUNTIME_DIR/pennoro")" = 700 ] ||
    fail "the preview's folder has permissions $(stat -c %a "$XDG_RUNTIME_DIR/pennoro")"
# The byte order mark, the base right after the doctype, the memo in UTF-8 with CR LF line ends.
mapfile -t lines <"$work/page.txt"
printf '\xEF\xBB\xBF%s<BASE HREF="file://%s/cwd/">\r\n%s\r\n%s' "${lines[0]}" "$work" "${lines[1]}" \
    "${lines[2]}" >"$work/expected.html"
cmp "$work/expected.html" "$preview" || fail "the preview file differs: $(od -c "$preview" | head)"

# The page as a browser reads it.
chromium_args=(--headless --disable-gpu --user-data-dir="$work/chromium" --virtual-time-budget=5000)
[ "$(id -u)" -eq 0 ] && chromium_args+=(--no-sandbox)
HOME="$work" timeout 60 chromium "${chromium_args[@]}" --dump-dom "file://$preview" \
    >"$work/dom.html" 2>"$work/chromium.log" || fail "chromium failed: $(tail -5 "$work/chromium.log")"
grep -q '日本語のﾍﾟｰｼﾞ①です' "$work/dom.html" || fail "the page's text is wrong: $(cat "$work/dom.html")"
grep -q 'alt="width 7"' "$work/dom.html" || fail "the image did not load: $(cat "$work/dom.html")"

# Nothing changed: the memo is saved as it was loaded.
xdotool key F2
ended() { ! running; }
until_ok "$step_timeout" ended || fail "the program did not end after F2"
wait "$pennoro_pid"
status=$?
pennoro_pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"
cmp "$work/Data.pnr.before" "$work/cwd/Data.pnr" || fail "the memo store changed"
echo "PASS: F6 preview in UTF-8 with a base, read by Chromium with its image; memo unchanged"
