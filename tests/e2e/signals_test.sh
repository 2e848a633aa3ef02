#!/usr/bin/env bash
# A recorded game ended by SIGTERM, SIGINT or SIGHUP (a logout, `kill`, Ctrl+C)
# ends as closing its window does: status 0, the recording whole with its end
# line and replaying to the same checksums, and the save's lock let go, so the
# next start plays. Runs on Qt's offscreen platform.
#
# usage: signals_test.sh QUILLOT_BINARY
set -u
binary=${1:?usage: signals_test.sh QUILLOT_BINARY}
source_dir=$(cd "$(dirname "$binary")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data QT_QPA_PLATFORM=offscreen
cp "$binary" "$work/quillot"
cp -r "$source_dir/dat" "$source_dir/cg" "$work/"

failures=0
for sig in TERM INT HUP; do
  rec=$work/$sig.qrp
  "$work/quillot" --mute --record "$rec" >"$work/out" 2>&1 &
  app=$!
  # Up and recording: the header is written once the window is built.
  for _ in $(seq 100); do grep -q '^stories' "$rec" 2>/dev/null && break; sleep 0.1; done
  sleep 0.3
  kill -s "$sig" "$app"
  wait "$app"
  status=$?
  last=$(tail -n 1 "$rec")
  "$work/quillot" --replay "$rec" --headless >/dev/null 2>&1
  replayed=$?
  # The lock is free again: a second game on the same save starts and is ended the same way.
  "$work/quillot" --mute >"$work/second" 2>&1 &
  second=$!
  sleep 1
  kill -s TERM "$second"
  wait "$second"
  again=$?
  if [ "$status" -eq 0 ] && [[ $last =~ ^[0-9]+\ end\  ]] && [ "$replayed" -eq 0 ] && [ "$again" -eq 0 ]; then
    echo "PASS: SIG$sig: status 0, last line '$last', replay 0, the next start plays"
  else
    echo "FAIL: SIG$sig: status $status, last line '$last', replay $replayed, next start $again"
    cat "$work/out" "$work/second"
    failures=$((failures + 1))
  fi
done
echo "$((3 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
