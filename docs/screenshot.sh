#!/usr/bin/env bash
# screenshot.sh [PROGRAM]: takes docs/main-window.png, the main window with a small Japanese HTML
# memo, on a virtual X server with a small window manager so that the caption shows.
# PROGRAM defaults to the release build of ./run.sh.
set -euo pipefail
PENNORO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$PENNORO_ROOT/scripts/deps.sh"
program=$(realpath "${1:-$PENNORO_ROOT/build-release/pennoro}")
ensure_packages xvfb xauth xdotool x11-utils imagemagick openbox

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The memo store is Shift-JIS (code page 932) with CR LF line ends.
iconv -f UTF-8 -t CP932 <<'EOF' | sed 's/$/\r/' >"$work/Data.pnr"
<HTML>
<HEAD><TITLE>散歩日記</TITLE></HEAD>
<BODY BGCOLOR="#FFFFF0">
<FONT SIZE="5"><B>今日の出来事</B></FONT><BR>
朝から<FONT COLOR="#FF0000">快晴</FONT>。川沿いを<I>散歩</I>しました。<BR>
<HR>
<A HREF="https://example.org/">写真はこちら</A>
</BODY>
</HTML>
EOF

cat >"$work/shoot.sh" <<EOF
set -euo pipefail
openbox & wm=\$!
sleep 1
cd "$work"
"$program" & app=\$!
for _ in \$(seq 50); do
    window=\$(xdotool search --name '^Pennoro Ver' | head -n 1) && [ -n "\$window" ] && break
    sleep 0.2
done
sleep 1
# The frame is the window manager's parent of the program's window: caption and border included.
frame=\$(xwininfo -children -id "\$window" | sed -n 's/^  Parent window id: \(0x[0-9a-f]*\).*/\1/p')
import -window "\$frame" "$work/shot.png"
kill \$app \$wm
EOF
xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/shoot.sh"
convert "$work/shot.png" -strip "$PENNORO_ROOT/docs/main-window.png"
echo "$PENNORO_ROOT/docs/main-window.png"
