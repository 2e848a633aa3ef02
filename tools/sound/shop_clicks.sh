#!/usr/bin/env bash
# Quick buying in the shop, as a player clicking through the menus does, for
# listening to the effects: the game goes to the shop and buys SPEED UP (Space)
# and closes its box (Return) 67 times, as fast as xdotool types. Run it
# through the listen tool in an X display with a window manager, with a save
# rich enough to buy (gold in a copy's dat/my.dat) and the music at 0 in the
# settings, then count the purchase sounds with effect_onsets.py:
#   DISPLAY=:81 ../shared/tools/listen shop.wav 18 -- tools/sound/shop_clicks.sh GAME
#   python3 tools/sound/effect_onsets.py shop.wav
set -u
game=$1
"$game" --scale 1 & app=$!
trap 'kill $app 2>/dev/null' EXIT TERM
for _ in $(seq 100); do win=$(xdotool search --onlyvisible --pid $app 2>/dev/null | head -1); [ -n "$win" ] && break; sleep 0.1; done
sleep 1.5
xdotool mousemove --window "$win" 198 148 click 1  # CONTINUE
sleep 1
xdotool mousemove --window "$win" 91 44 click 1    # SPEED UP, which takes the focus
sleep 0.3; xdotool key Return; sleep 0.3
for _ in $(seq 67); do xdotool key space; sleep 0.075; xdotool key Return; sleep 0.075; done
sleep 2
