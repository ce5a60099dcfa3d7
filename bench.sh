#!/usr/bin/env bash
# Installs what is missing, builds a release build in build-bench and runs every benchmark, then
# prints one Markdown table: memo store throughput, whole-process start-up beside FeatherPad and
# with one long unbreakable line, the commands on a large memo, edits on a long line, peak memory,
# each with its target; then a second table: typing latency beside FeatherPad, from a key's press to
# the character drawn (about twenty minutes of the whole). Takes half an hour; not part of
# ./test.sh or CI.
#
#   ./bench.sh [RUNS]         RUNS: whole-process runs per case (default 11); figures are medians
#   ./bench.sh keys [STARTS]  only the typing latency; STARTS: starts of each editor per row
#                             (default 3), KEYS keys typed in each (default 15), only the rows
#                             whose label matches the regular expression KEY_ROWS if given
set -Eeuo pipefail
PENNORO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$PENNORO_ROOT/scripts/deps.sh"
keys_only=false
if [ "${1:-}" = keys ]; then
    keys_only=true
    shift
    key_starts=${1:-3}
else
    runs=${1:-11}
    key_starts=3
fi
key_count=${KEYS:-15}
build=$PENNORO_ROOT/build-bench
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}

ensure_packages "${PENNORO_BUILD_PACKAGES[@]}" xvfb xdotool x11-utils libxcb-damage0-dev libxcb-xtest0-dev \
    featherpad
configure_and_build "$build" Release -DPENNORO_BUILD_TESTS=OFF >&2
pennoro=$build/pennoro
timer=$build/bench/startup_to_window
keytimer=$build/bench/key_to_paint
for program in "$timer" "$keytimer"; do
    [ -x "$program" ] || { echo "bench.sh: $program was not built (xcb missing?)" >&2; exit 1; }
done

source "$PENNORO_ROOT/tests/e2e/xvfb.sh"
work=$(mktemp -d)
XVFB_PID=
cleanup() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "bench.sh: failed at line $LINENO; Xvfb said: $(cat "$work/xvfb.log" 2>/dev/null)" >&2' ERR

# A screen of our own: no window manager, nothing else drawing.
start_xvfb "$work" || { echo "bench.sh: Xvfb did not start: $(cat "$work/xvfb.log")" >&2; exit 1; }
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
mkdir -m 700 "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# field NAME < lines of "NAME=value" pairs, as every benchmark prints them: the value.
field() { tr ' ' '\n' | sed -n "s/^$1=//p"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
verdict() { awk -v v="$1" -v limit="$2" 'BEGIN { print (v <= limit ? "met" : "missed") }'; }
status() { printf '\r%-70s' "$*" >&2; }

# Typing latency: each editor started on one memo, the caret placed with keys, then KEYS presses
# of x, each timed from the press (XTest) to the editor's first drawing into its window after it;
# the medians of all keys of all starts, Pennoro and FeatherPad taking turns. FeatherPad is left
# out of a row once a key takes it more than 5 s.
# make_store DIR SIZE [SHAPE]: a memo store as bench_makestore makes it, with its text in UTF-8 for
# FeatherPad as DIR/memo.txt. The store ends its memo with a line end of its own, which the memo
# does not hold: left in memo.txt, FeatherPad's Ctrl+End would type on an empty line of its own.
make_store() {
    mkdir -p "$1"
    "$build/bench/bench_makestore" "$2" "$1/Data.pnr" ${3:+"$3"} >/dev/null
    iconv -f CP932 -t UTF-8 "$1/Data.pnr" >"$1/memo.txt"
    truncate -s -2 "$1/memo.txt"
}
# key_run EDITOR DIR PLACE: key_to_paint's line, or nothing when the run failed.
key_run() {
    local title="Pennoro Ver 2.0" command=("$pennoro") give_up=60000
    if [ "$1" = featherpad ]; then
        title=memo.txt command=(featherpad memo.txt) give_up=5000
    fi
    "$keytimer" --dir "$2" --title "$title" --place "$3" --count "$key_count" \
        --give-up-ms "$give_up" --timeout 180 -- "${command[@]}" || true
}
typing_rows=()
typing_latency() {
    local shapes=(html "HTML" line "hex" japanese "Japanese without spaces") sizes=(64K 256K 1024K 4096K)
    local rows=() i size
    for ((i = 0; i < ${#shapes[@]}; i += 2)); do
        for size in "${sizes[@]}"; do
            make_store "$work/keys-${shapes[i]}$size" "$size" "${shapes[i]}"
            rows+=("keys-${shapes[i]}$size|ctrl+End|End of one line of ${shapes[i + 1]}, $(kib_label "$size")|${shapes[i]}")
            # A key at the start moves every line after it: the start at the goal's two lengths.
            [[ $size = 256K || $size = 4096K ]] &&
                rows+=("keys-${shapes[i]}$size|ctrl+Home|Start of one line of ${shapes[i + 1]}, $(kib_label "$size")|${shapes[i]}")
        done
    done
    for mb in 10 50; do
        make_store "$work/keys-memo$mb" "$mb"
        rows+=("keys-memo$mb|ctrl+End|End of a memo of $mb MB of ordinary lines|")
        # The middle: a middle click on the scroll bar takes it there, a click in the text puts the
        # caret there (about halfway through the text: 52% in Pennoro, 43% in FeatherPad).
        rows+=("keys-memo$mb|click2:-8,50% click1:50%,50%|Middle of a memo of $mb MB of ordinary lines|")
        rows+=("keys-memo$mb|ctrl+Home|Start of a memo of $mb MB of ordinary lines|")
    done
    local row dir place label shape pennoro_keys featherpad_keys out skipped
    declare -A too_slow # shapes on which FeatherPad took too long at a shorter line
    for row in "${rows[@]}"; do
        IFS='|' read -r dir place label shape <<<"$row"
        [[ $label =~ ${KEY_ROWS:-.} ]] || continue
        : >"$work/kp" && : >"$work/kf"
        skipped=
        [ -n "$shape" ] && [ -n "${too_slow[$shape]:-}" ] && skipped="skipped: ${too_slow[$shape]}"
        for start in $(seq "$key_starts"); do
            status "typing: $label ($start of $key_starts)"
            key_run pennoro "$work/$dir" "$place" >>"$work/kp"
            [ -n "$skipped" ] && continue
            out=$(key_run featherpad "$work/$dir" "$place")
            echo "$out" >>"$work/kf"
            if [ -z "$out" ]; then
                skipped="failed to start"
                [ -n "$shape" ] && too_slow[$shape]="failed on a shorter line"
            elif [ -n "$(field gave_up_ms <<<"$out")" ]; then
                skipped="skipped: a key took $(field gave_up_ms <<<"$out") ms"
                [ -n "$shape" ] && too_slow[$shape]="over 5 s a key on a shorter line"
            fi
        done
        echo "keys $dir $place pennoro: $(tr '\n' ' ' <"$work/kp")" >&2
        echo "keys $dir $place featherpad: $(tr '\n' ' ' <"$work/kf")" >&2
        pennoro_keys=$(field key_ms <"$work/kp" | median)
        featherpad_keys=$(field key_ms <"$work/kf" | median)
        if [ -n "$skipped" ]; then
            typing_rows+=("| $label | ${pennoro_keys:-failed} | ($skipped) | |")
        else
            typing_rows+=("| $label | ${pennoro_keys:-failed} | ${featherpad_keys:-failed} | $(ratio "${pennoro_keys:-0}" "${featherpad_keys:-1}") |")
        fi
    done
}
kib_label() { # 64K → 64 KiB, 1024K → 1 MiB
    local k=${1%K}
    if [ "$k" -ge 1024 ]; then echo "$((k / 1024)) MiB"; else echo "$k KiB"; fi
}
print_typing() {
    echo
    echo "| Typing latency: key press to the character drawn, median ms ($key_starts starts × $key_count keys) | Pennoro | FeatherPad | Pennoro ÷ FeatherPad |"
    echo "|---|---|---|---|"
    printf '%s\n' "${typing_rows[@]}"
}
if $keys_only; then
    typing_latency
    status ""
    printf '\r' >&2
    print_typing
    exit 0
fi

# Memo stores of 1, 10 and 50 MB (2^20 bytes of code page 932) and an empty one, each with the
# same text in UTF-8 for FeatherPad.
sizes=(0 1 10 50)
declare -A utf16
for mb in "${sizes[@]}"; do
    mkdir "$work/store$mb"
    if [ "$mb" -eq 0 ]; then
        : >"$work/store$mb/Data.pnr"
        utf16[$mb]=0
    else
        utf16[$mb]=$("$build/bench/bench_makestore" "$mb" "$work/store$mb/Data.pnr" | field utf16_bytes)
    fi
    iconv -f CP932 -t UTF-8 "$work/store$mb/Data.pnr" >"$work/store$mb/memo-$mb.txt"
done

# One line without a break opportunity, of 4 and 10 MB, beside 4 MB of ordinary lines.
mkdir "$work/ordinary4"
"$build/bench/bench_makestore" 4 "$work/ordinary4/Data.pnr" >/dev/null
for mb in 4 10; do
    mkdir "$work/line$mb"
    "$build/bench/bench_makestore" "$mb" "$work/line$mb/Data.pnr" line >/dev/null
done

status "memo store load and save"
memostore=$("$build/bench/bench_memostore" "$work")
declare -A load_rate save_rate bare_save_ms
for mb in 1 10 50; do
    load_rate[$mb]=$(field "load_mb_per_s_$mb" <<<"$memostore")
    save_rate[$mb]=$(field "save_mb_per_s_$mb" <<<"$memostore")
    bare_save_ms[$mb]=$(field "bare_save_ms_$mb" <<<"$memostore")
    [ -n "${load_rate[$mb]}" ] && [ -n "${save_rate[$mb]}" ] && [ -n "${bare_save_ms[$mb]}" ] ||
        { echo "bench.sh: cannot read bench_memostore:" >&2; echo "$memostore" >&2; exit 1; }
done

# Whole process, from the start to the text visible (the first drawing into the window once it is
# shown: Pennoro shows its window with the memo's first lines in it; FeatherPad loads after showing
# its window and then puts the file's name in the title) and, for Pennoro, to answering a key
# pressed right when the window appears (F4 clears the clipboard, which the timer owned).
pennoro_start() { "$timer" --dir "$work/store$1" --title "Pennoro Ver 2.0" --answer F4 -- "$pennoro"; }
featherpad_start() {
    "$timer" --dir "$work/store$1" --title "memo-$1.txt" -- featherpad "memo-$1.txt"
}
declare -A pennoro_ms featherpad_ms visible_ms answered_ms
for mb in "${sizes[@]}"; do
    status "start-up with $mb MB"
    pennoro_start "$mb" >/dev/null # warm the caches and FeatherPad's settings
    featherpad_start "$mb" >/dev/null
    : >"$work/p" && : >"$work/f"
    for _ in $(seq "$runs"); do # side by side, taking turns
        pennoro_start "$mb" >>"$work/p"
        featherpad_start "$mb" >>"$work/f"
    done
    pennoro_ms[$mb]=$(field shown_ms <"$work/p" | median)
    visible_ms[$mb]=$(field visible_ms <"$work/p" | median)
    answered_ms[$mb]=$(field answered_ms <"$work/p" | median)
    featherpad_ms[$mb]=$(field visible_ms <"$work/f" | median)
done

declare -A shape_ms
for shape in ordinary4 line4 line10; do
    status "start-up with $shape"
    "$timer" --dir "$work/$shape" --title "Pennoro Ver 2.0" -- "$pennoro" >/dev/null # warm
    : >"$work/p"
    for _ in $(seq "$runs"); do
        "$timer" --dir "$work/$shape" --title "Pennoro Ver 2.0" -- "$pennoro" | field shown_ms >>"$work/p"
    done
    shape_ms[$shape]=$(median <"$work/p")
done
# A 200 MB store: the window shows while it is read; the peak memory of a start that loads it
# whole and answers the key.
status "start-up with 200 MB"
mkdir "$work/store200"
utf16[200]=$("$build/bench/bench_makestore" 200 "$work/store200/Data.pnr" | field utf16_bytes)
read -r rss200_kb answered200_ms shown200_ms < <("$timer" --dir "$work/store200" \
    --title "Pennoro Ver 2.0" --answer F4 --timeout 300 -- "$pennoro" | tr ' ' '\n' |
    awk -F= '$1 == "maxrss_kb" { r = $2 } $1 == "answered_ms" { a = $2 } $1 == "shown_ms" { s = $2 }
             END { print r, a, s }')
rm -r "$work/store200"

# Whole sessions ended by save-and-exit (F2): the time from F2 to the end and the peak memory.
session() { # session MB → "then_ms maxrss_kb" medians
    : >"$work/t" && : >"$work/m"
    for _ in $(seq "$runs"); do
        rm -rf "$work/session" && cp -r "$work/store$1" "$work/session"
        "$timer" --dir "$work/session" --title "Pennoro Ver 2.0" \
            --then 'xdotool windowfocus --sync "$WINDOW" key F2' -- "$pennoro" >"$work/s"
        field then_ms <"$work/s" >>"$work/t"
        field maxrss_kb <"$work/s" >>"$work/m"
    done
    echo "$(median <"$work/t") $(median <"$work/m")"
}
status "save-and-exit sessions"
read -r _ empty_rss_kb < <(session 0)
read -r exit10_ms rss10_kb < <(session 10)
read -r exit50_ms rss50_kb < <(session 50)

# Short lines cost the most memory per byte (each a paragraph of its own once split): the peak of
# a Pennoro session that lets the load and the split end before F2, beside FeatherPad's start on
# the same text, taking turns.
status "short lines: peak memory"
mkdir "$work/short10"
read -r short_utf16 short_lines < <("$build/bench/bench_makestore" 10 "$work/short10/Data.pnr" short |
    tr ' ' '\n' | awk -F= '$1 == "utf16_bytes" { u = $2 } $1 == "lines" { l = $2 } END { print u, l }')
iconv -f CP932 -t UTF-8 "$work/short10/Data.pnr" >"$work/short10/memo-short.txt"
: >"$work/p" && : >"$work/f"
for _ in $(seq "$runs"); do
    rm -rf "$work/session" && cp -r "$work/short10" "$work/session"
    "$timer" --dir "$work/session" --title "Pennoro Ver 2.0" --timeout 120 --then '
        pid=$(xdotool getwindowpid "$WINDOW")
        ticks() { awk "{ print \$14 + \$15 }" "/proc/$pid/stat"; }
        last=-1
        while [ "$(ticks)" != "$last" ]; do last=$(ticks); sleep 2; done
        xdotool windowfocus --sync "$WINDOW" key F2' -- "$pennoro" | field maxrss_kb >>"$work/p"
    "$timer" --dir "$work/short10" --title "memo-short.txt" --timeout 120 -- \
        featherpad memo-short.txt | field maxrss_kb >>"$work/f"
done
short_rss_kb=$(median <"$work/p")
short_featherpad_kb=$(median <"$work/f")

# Idle means idle: the CPU the program takes in 10 s with nothing typed, the window focused and
# the caret blinking, once the load and the splitting after it have had 5 s to finish.
idle_cpu() { # idle_cpu DIR → CPU seconds
    rm -f "$work/idle"
    "$timer" --dir "$1" --title "Pennoro Ver 2.0" --timeout 120 --then '
        pid=$(xdotool getwindowpid "$WINDOW")
        ticks() { awk "{ print \$14 + \$15 }" "/proc/$pid/stat"; }
        xdotool windowfocus --sync "$WINDOW" key End
        sleep 5
        before=$(ticks)
        sleep 10
        echo $(( $(ticks) - before )) >"'"$work/idle"'"
        kill "$pid"' -- "$pennoro" >/dev/null
    awk -v t="$(cat "$work/idle")" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f", t / hz }'
}
status "idle CPU"
idle_line4=$(idle_cpu "$work/line4")
idle50=$(idle_cpu "$work/store50")

status "commands on a 10 MB memo"
large=$("$build/bench/bench_largememo" 10)
copy=$("$build/bench/bench_editcommands" 10)
copy_all_ms=$(field copy_all_ms_10 <<<"$copy")
[ -n "$copy_all_ms" ] || { echo "bench.sh: cannot read bench_editcommands: $copy" >&2; exit 1; }
longline=$("$build/bench/bench_longline" 1 4)
typing_latency
status ""
printf '\r' >&2

tag_small=$(field tag_small_selection_ms <<<"$large")
tag_small_painted=$(field tag_small_selection_repainted_ms <<<"$large")
tag_whole=$(field tag_whole_memo_ms <<<"$large")
tag_whole_painted=$(field tag_whole_memo_repainted_ms <<<"$large")
save_write=$(field save_and_exit_write_ms <<<"$large")
save_ratio=$(ratio "$save_write" "${bare_save_ms[10]}")
visible_ratio10=$(ratio "${visible_ms[10]}" "${featherpad_ms[10]}")
visible_ratio50=$(ratio "${visible_ms[50]}" "${featherpad_ms[50]}")
answered_ratio10=$(ratio "${answered_ms[10]}" "${featherpad_ms[10]}")
answered_ratio50=$(ratio "${answered_ms[50]}" "${featherpad_ms[50]}")
answered_ratio0=$(ratio "${answered_ms[0]}" "${featherpad_ms[0]}")
start_ratio1=$(ratio "${answered_ms[1]}" "${answered_ms[0]}")
linear_ratio=$(ratio "${answered_ms[50]}" "${answered_ms[10]}")
paste_line=$(field paste_unbreakable_line_ms <<<"$longline")
type_line=$(field type_into_unbreakable_line_ms <<<"$longline")
compose_line=$(field compose_in_unbreakable_line_ms <<<"$longline")
line_ratio=$(ratio "${shape_ms[line4]}" "${shape_ms[ordinary4]}")
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
memory_bound_kb=$(awk -v e="$empty_rss_kb" -v u="${utf16[10]}" 'BEGIN { printf "%d", e + 4 * u / 1024 }')
short_bound_kb=$(awk -v e="$empty_rss_kb" -v u="$short_utf16" -v l="$short_lines" \
    'BEGIN { printf "%d", e + 4 * u / 1024 + 128 * l / 1024 }')
memory_bound200_kb=$(awk -v e="$empty_rss_kb" -v u="${utf16[200]}" 'BEGIN { printf "%d", e + 4 * u / 1024 }')

cat <<EOF
| What (medians) | 1 MB | 10 MB | 50 MB | Target | |
|---|---|---|---|---|---|
| Memo store load, MB/s | ${load_rate[1]} | ${load_rate[10]} | ${load_rate[50]} | | |
| Memo store save, MB/s | ${save_rate[1]} | ${save_rate[10]} | ${save_rate[50]} | | |
| Start to shown window, Pennoro, ms (empty memo: ${pennoro_ms[0]}) | ${pennoro_ms[1]} | ${pennoro_ms[10]} | ${pennoro_ms[50]} | | |
| Start to text visible, Pennoro, ms (empty memo: ${visible_ms[0]}) | ${visible_ms[1]} | ${visible_ms[10]} | ${visible_ms[50]} | | |
| Start to text visible, FeatherPad, ms (empty file: ${featherpad_ms[0]}) | ${featherpad_ms[1]} | ${featherpad_ms[10]} | ${featherpad_ms[50]} | | |
| Text visible, Pennoro ÷ FeatherPad | $(ratio "${visible_ms[1]}" "${featherpad_ms[1]}") | $visible_ratio10 | $visible_ratio50 | 10 MB ≤ 0.35, 50 MB ≤ 0.3 | 10 MB $(verdict "$visible_ratio10" 0.35), 50 MB $(verdict "$visible_ratio50" 0.3) |
| Start to answering keys, Pennoro, ms (empty memo: ${answered_ms[0]}) | ${answered_ms[1]} | ${answered_ms[10]} | ${answered_ms[50]} | 1 MB ≤ 1.2 × empty: $start_ratio1 ×; 50 MB ≤ 5.5 × 10 MB: $linear_ratio × | $(verdict "$start_ratio1" 1.2), $(verdict "$linear_ratio" 5.5) |
| Answering keys, Pennoro ÷ FeatherPad's text visible | $(ratio "${answered_ms[1]}" "${featherpad_ms[1]}") | $answered_ratio10 | $answered_ratio50 | empty ≤ 0.6: $answered_ratio0; 10 MB, 50 MB ≤ 0.5 | $(verdict "$answered_ratio0" 0.6), $(verdict "$answered_ratio10" 0.5), $(verdict "$answered_ratio50" 0.5) |
| Start to shown window, one unbreakable line, ms (4 MB: ${shape_ms[line4]}) | | ${shape_ms[line10]} | | 4 MB ≤ 1.5 × 4 MB of ordinary lines (${shape_ms[ordinary4]}): $line_ratio × | $(verdict "$line_ratio" 1.5) |
| Paste of an unbreakable line, ms (with repaint) | $paste_line | | | < 1000 | $(verdict "$paste_line" 1000) |
| Typing a character into an unbreakable line of 4 MB, ms (with repaint) | | | | $type_line | |
| Composing a character there through an input method, ms (with repaint) | | | | $compose_line | |
| Save-and-exit's write (read memo, encode, write), ms | | $save_write | | ≤ 3 × ICU encode + write (${bare_save_ms[10]} ms): $save_ratio × | $(verdict "$save_ratio" 3) |
| Save-and-exit, F2 to the process's end, ms | | $exit10_ms | $exit50_ms | | |
| Tag command (bold), 20 characters selected, ms (with repaint) | | $tag_small ($tag_small_painted) | | < 20 | $(verdict "$tag_small_painted" 20) |
| Tag command (bold), whole memo selected, ms (with repaint) | | $tag_whole ($tag_whole_painted) | | | |
| Copy all, ms | | $copy_all_ms | | < 100 | $(verdict "$copy_all_ms" 100) |
| Peak memory of a session (start, F2), MiB (empty memo: $(mib "$empty_rss_kb")) | | $(mib "$rss10_kb") | $(mib "$rss50_kb") | < empty + 4 × UTF-16 text ($(mib $((utf16[10] / 1024))) MiB) = $(mib "$memory_bound_kb") | $(verdict "$rss10_kb" "$memory_bound_kb") |
| Peak memory, 10 MB of 34-byte lines ($short_lines lines), MiB: Pennoro (start, split, F2); FeatherPad (start) | | $(mib "$short_rss_kb"); $(mib "$short_featherpad_kb") | | < empty + 4 × UTF-16 text ($(mib $((short_utf16 / 1024))) MiB) + 128 B a line = $(mib "$short_bound_kb") | $(verdict "$short_rss_kb" "$short_bound_kb") |
| CPU while idle for 10 s after the load, s: one unbreakable line of 4 MB; 50 MB memo | | | $idle_line4; $idle50 | 0 | $(verdict "$idle_line4" 0.05), $(verdict "$idle50" 0.05) |
| 200 MB store: start to shown window (with the note), to answering keys, ms; peak memory, MiB | | | | $shown200_ms, $answered200_ms; $(mib "$rss200_kb") < empty + 4 × UTF-16 text ($(mib $((utf16[200] / 1024))) MiB) = $(mib "$memory_bound200_kb") | $(verdict "$rss200_kb" "$memory_bound200_kb") |
EOF
print_typing
