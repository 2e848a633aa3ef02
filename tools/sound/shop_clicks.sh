#!/bin/bash
# Starts the game, goes to the shop and clicks the first item every 150 ms for 10 s.
game=$1
"$game" --scale 1 & app=$!
trap "kill $app 2>/dev/null" EXIT TERM
for _ in $(seq 100); do win=$(xdotool search --onlyvisible --pid $app 2>/dev/null | head -1); [ -n "$win" ] && break; sleep 0.1; done
sleep 1.5
xdotool mousemove --window $win 198 148 click 1   # CONTINUE
sleep 1
xdotool mousemove --window $win 91 44
import -window root /tmp/lis/after_continue.png
date +%s.%N > /tmp/lis/first_click
xdotool click 1; sleep 0.3; xdotool key Return; sleep 0.3
for i in $(seq 67); do xdotool key space; sleep 0.075; xdotool key Return; sleep 0.075; done
date +%s.%N > /tmp/lis/last_click
import -window root /tmp/lis/after_clicks.png
sleep 3
kill $app
