#!/usr/bin/env bash
# under-limits.sh PROGRAM STOREDIR LIMIT_MB...: starts PROGRAM on a copy of STOREDIR/Data.pnr under
# each address space limit (ulimit -v) in turn, under an Xvfb with openbox, and prints a Markdown
# row for each: a message (Return closes it: exit 1), an end of its own (the exit status), or a
# load that ends; then Return and F2, and whether Data.pnr holds the store after a CR LF, byte for
# byte. Once the process's CPU time stands still for 3 s, the load counts as ended.
prog=$1; store=$2; shift 2
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/xvfb.sh"
work=$(mktemp -d)
start_xvfb "$work" >/dev/null || exit 1
openbox >/dev/null 2>&1 & ob=$!
export XDG_RUNTIME_DIR=$work/rt; mkdir -m 700 $XDG_RUNTIME_DIR
sleep 0.5
for limit in "$@"; do
  run=$work/run; rm -rf $run; mkdir $run; cp $store/Data.pnr $run/
  start=$(date +%s.%N)
  ( cd $run; ulimit -v $((limit*1024)); exec env QT_QPA_PLATFORM=xcb "$prog" ) > $work/log 2>&1 &
  pid=$!
  # Idle: the process's CPU time still for 3 s.
  last=-1; still=0; outcome=""
  for i in $(seq 1 600); do
    sleep 0.5
    if ! kill -0 $pid 2>/dev/null; then wait $pid; outcome="ended by itself: exit $?"; break; fi
    t=$(awk '{print $14+$15}' /proc/$pid/stat)
    if [ "$t" = "$last" ]; then still=$((still+1)); else still=0; last=$t; fi
    [ $still -ge 6 ] && break
  done
  ready=$(awk -v now="$(date +%s.%N)" -v start="$start" 'BEGIN { print now - start }')
  if [ -z "$outcome" ]; then
    xdotool key Return; sleep 1
    if ! kill -0 $pid 2>/dev/null; then wait $pid; outcome="message, exit $?"
    else
      xdotool key F2
      for i in $(seq 1 240); do kill -0 $pid 2>/dev/null || break; sleep 0.5; done
      if kill -0 $pid 2>/dev/null; then outcome="F2: still running"; kill -9 $pid
      else wait $pid; rc=$?
        if cmp -s <(printf '\r\n'; cat $store/Data.pnr) $run/Data.pnr; then outcome="loaded; F2 exit $rc, saved byte-exact"
        elif cmp -s $store/Data.pnr $run/Data.pnr; then outcome="loaded; F2 exit $rc, store unchanged"
        else outcome="loaded; F2 exit $rc, store DIFFERENT"; fi
      fi
    fi
  fi
  printf '| %s MB | %s | %.1f s | %s |\n' "$limit" "$outcome" "$ready" "$(grep -v '^$' $work/log | tail -1 | cut -c1-80)"
done
kill $ob; kill $XVFB_PID 2>/dev/null
