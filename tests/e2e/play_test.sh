#!/usr/bin/env bash
# Plays the built game in a private X display with real mouse events: a new
# game through stage 0 into the shop and on to stage 1, then a purchase and a
# save from a prepared save file, read back from disk and continued; then a
# bomb and a lost game from a late stage, back to the title screen; the
# window at scale 2, in full screen and paused; last, the question after
# stage 6 answered with はい while recording.
#
# usage: play_test.sh QUILLOT_BINARY [SHOTS_DIR]
# Exit codes: 0 all checks passed, 1 a check failed, 77 the X tools are missing.
set -u

binary=${1:?usage: play_test.sh QUILLOT_BINARY [SHOTS_DIR]}
shots=${2:-$PWD/e2e-shots}

for tool in Xvfb xdotool import convert compare; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed (Debian packages xvfb, xdotool, imagemagick)"
    exit 77
  fi
done
[ -x "$binary" ] || { echo "FAIL: no program at $binary"; exit 1; }
source_dir=$(cd "$(dirname "$binary")" && pwd)
if [ ! -d "$source_dir/dat" ] || [ ! -d "$source_dir/cg" ]; then
  echo "FAIL: dat/ or cg/ missing beside $binary"
  exit 1
fi

work=$(mktemp -d)
# Settings and anything else the game keeps for the player stay in the test's
# own folder: a remembered scale or full screen never leaks between runs.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
mkdir -p "$shots"
rm -f "$shots"/*.png
xpid='' app=''
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

failures=0
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
not() { ! "$@"; }
matches() { [[ $1 =~ $2 ]]; }  # matches TEXT REGEX
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

# The game in a folder of its own, so the build's own save file is never touched.
cp "$binary" "$work/quillot"
cp -r "$source_dir/dat" "$source_dir/cg" "$work/"
save_file=$work/dat/my.dat

write_save() {  # the 13 values in file order, CR LF after each
  printf '%s\r\n' "$@" >"$save_file"
}

fdfile=$work/display
# -noreset: by default the server resets when its last client leaves, and a
# game started during that reset cannot connect.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
xpid=$!
for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.05; done
[ -s "$fdfile" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
DISPLAY=":$(head -n 1 "$fdfile")"
export DISPLAY
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

win='' wx=0 wy=0
start_game() {  # [OPTION]...
  (cd "$work" && exec ./quillot "$@" >>"$work/game.log" 2>&1) &
  app=$!
  win=''
  # Up to 30 s: a sanitized build on a busy machine can be slow to map its window.
  for _ in $(seq 300); do
    win=$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | head -n 1)
    [ -n "$win" ] && break
    sleep 0.1
  done
  if [ -z "$win" ]; then
    fail "the game's window appears"
    stop_game
    return 1
  fi
  eval "$(xdotool getwindowgeometry --shell "$win")"
  wx=$X wy=$Y
  # Qt paints the first frame a moment after mapping the window.
  sleep 1
  pass "the game's window appears (${WIDTH}x${HEIGHT} at $wx,$wy)"
}

stop_game() {
  kill "$app" 2>/dev/null
  wait "$app" 2>/dev/null
  app=
}

click() {  # click X Y, in window coordinates
  xdotool mousemove $((wx + $1)) $((wy + $2)) click 1
}

shot() {  # shot NAME: the window's pixels as the player sees them
  import -window "$win" "$shots/$1.png"
}

# Pixels of an exact colour (#RRGGBB) inside a rectangle of a screenshot.
count_colour() {  # FILE X Y W H COLOUR
  convert "$1" -crop "$4x$5+$2+$3" +repage -format %c histogram:info:- |
    awk -v c="$6" 'toupper($0) ~ toupper(c) { sub(":", "", $1); n += $1 } END { print n + 0 }'
}

# At least PERCENT of the rectangle in the colour.
mostly() {  # FILE X Y W H COLOUR PERCENT
  local n
  n=$(count_colour "$1" "$2" "$3" "$4" "$5" "$6")
  [ $((n * 100)) -ge $(($4 * $5 * $7)) ]
}

# Less than PERCENT of the rectangle in the colour.
scarcely() {  # FILE X Y W H COLOUR PERCENT
  ! mostly "$@"
}

readonly playfield_blue='#0000FF'  # the cleared back buffer
readonly hud_dark='#0000A0'        # behind the status line
readonly panel_navy='#000080'      # the shop's status panel
# The shop's status panel, and the status line's dark box at the top left.
panel=(184 16 201 237)
hud=(0 0 340 12)

# The title screen's two navy score labels, with the panel's place above them empty.
title_shown() {
  mostly "$1" 4 164 393 25 "$panel_navy" 50 &&
    mostly "$1" 4 224 393 13 "$panel_navy" 50 &&
    scarcely "$1" 184 16 201 120 "$panel_navy" 5
}
# The story screen: its text on white at the top right.
story_shown() {
  mostly "$1" 176 12 217 81 '#FFFFFF' 50 && scarcely "$1" "${panel[@]}" "$panel_navy" 5
}
shop_shown() { mostly "$1" "${panel[@]}" "$panel_navy" 60; }
playing() {
  mostly "$1" 0 0 400 300 "$playfield_blue" 40 &&
    mostly "$1" "${hud[@]}" "$hud_dark" 30 &&
    scarcely "$1" "${panel[@]}" "$panel_navy" 5
}

# A stage banner: enough pixels of its colour in the middle of the field.
banner_in() {  # FILE COLOUR
  [ "$(count_colour "$1" 80 100 240 110 "$2")" -gt 300 ]
}

# Two screenshots half a second apart differ while the frame timer runs.
animating() {  # NAME
  shot "$1-a"
  sleep 0.5
  shot "$1-b"
  local diff
  diff=$(compare -metric AE "$shots/$1-a.png" "$shots/$1-b.png" null: 2>&1)
  [ "${diff%% *}" -gt 100 ] 2>/dev/null
}

# The one visible window captioned exactly with the application title.
message_box() {
  xdotool search --onlyvisible --name '^BRASKO$' 2>/dev/null | head -n 1
}

# Waits for a message box, saves its picture as NAME and closes it with Return.
close_message_box() {  # NAME
  local box=''
  for _ in $(seq 50); do box=$(message_box); [ -n "$box" ] && break; sleep 0.1; done
  if [ -z "$box" ]; then fail "a message box opens ($1)"; return 1; fi
  pass "a message box opens ($1)"
  sleep 0.3
  import -window "$box" "$shots/$1.png"
  xdotool windowfocus --sync "$box" key Return 2>/dev/null || xdotool key Return
  for _ in $(seq 30); do [ -z "$(message_box)" ] && break; sleep 0.1; done
  check "the message box closes with Return ($1)" test -z "$(message_box)"
}

# The bird follows the mouse along the bottom row, which lies below every
# button of the shop and story screens: a click landing there just as the
# stage ends cannot press NEXT by accident.
readonly sweep_y=298

# Sweeps the bird across the field while firing until the shop shows, or
# gives up after LIMIT seconds.
play_until_shop() {  # LIMIT
  local deadline=$((SECONDS + $1)) x step=14 dir=1 n=0 args
  x=20
  while [ $SECONDS -lt $deadline ]; do
    args=()
    for _ in 1 2 3 4 5 6; do
      args+=(mousemove $((wx + x)) $((wy + sweep_y)) click 1)
      x=$((x + dir * step))
      if [ $x -ge 380 ]; then x=380 dir=-1; elif [ $x -le 20 ]; then x=20 dir=1; fi
    done
    xdotool "${args[@]}"
    n=$((n + 1))
    if [ $((n % 2)) -eq 0 ]; then
      shot sweep
      # Keep a picture of the blinking "CLEAR!!" banner (yellow) to look at.
      banner_in "$shots/sweep.png" '#FFFF00' && cp "$shots/sweep.png" "$shots/a3-clear.png"
      if shop_shown "$shots/sweep.png"; then
        mv "$shots/sweep.png" "$shots/a3-shop.png"
        return 0
      fi
    fi
  done
  mv "$shots/sweep.png" "$shots/a3-timeout.png" 2>/dev/null
  return 1
}

scenario_a() {
  echo "== A new game: stage 0, the shop, the story and stage 1"
  write_save 0 0 0 3 18 10 2 3 0 0 3 3 0
  start_game --scale 1 || return
  shot a0-title
  check "the title screen is shown" title_shown "$shots/a0-title.png"

  click 198 208  # NEW START
  sleep 0.6
  shot a1-playing
  check "NEW START: status line and blue playfield" playing "$shots/a1-playing.png"
  check "NEW START: the stage is running" animating a2-running

  local started=$SECONDS
  if play_until_shop 60; then
    pass "stage 0 cleared by sweeping and firing; the shop opened after $((SECONDS - started)) s"
  else
    fail "stage 0 cleared within 60 s (last picture: a3-timeout.png)"
    stop_game
    return
  fi
  sleep 0.3
  shot a4-shop
  check "the shop's navy status panel is shown" shop_shown "$shots/a4-shop.png"
  check "the shop stands still (no frames drawn behind it)" not animating a5-shop-still

  # Stage 0 is followed by a story screen; its NEXT sits where the shop's did.
  click 338 278  # shop NEXT
  sleep 0.6
  shot a6-story
  check "NEXT: the story screen is shown" story_shown "$shots/a6-story.png"
  click 338 278  # story NEXT
  sleep 0.6
  shot a6-stage1
  check "story NEXT: stage 1 is played (status line, blue playfield, no shop panel)" playing "$shots/a6-stage1.png"
  check "story NEXT: the stage is running" animating a7-stage1-running
  stop_game
}

# Pixels that differ between two panel crops within the rows TOP .. TOP+HEIGHT-1.
band_diff() {  # NAME_A NAME_B TOP HEIGHT
  local n
  n=$(compare -metric AE "$shots/$1.png[${panel[2]}x$4+0+$3]" "$shots/$2.png[${panel[2]}x$4+0+$3]" null: 2>&1)
  n=${n%% *}
  [[ $n =~ ^[0-9]+$ ]] || n=99999
  echo "$n"
}

# Line N of the save file, without its CR.
save_line() { sed -n "$1p" "$save_file" | tr -d '\r'; }

scenario_b() {
  echo "== A purchase and a save from a saved game with 5000 gold"
  write_save 0 0 0 3 18 10 2 3 5000 0 3 3 0
  start_game --scale 1 || return
  shot b0-title
  click 198 148  # COUNTINUE
  sleep 0.5
  shot b1-shop
  check "COUNTINUE opens the shop" shop_shown "$shots/b1-shop.png"
  convert "$shots/b1-shop.png" -crop "${panel[2]}x${panel[3]}+${panel[0]}+${panel[1]}" +repage "$shots/b1-panel.png"

  click 91 44  # a1: speed up, 1000 gold
  close_message_box b2-speed-up-box
  # The panel is rebuilt by the 100 ms status timer.
  sleep 0.4
  shot b3-shop-after
  convert "$shots/b3-shop-after.png" -crop "${panel[2]}x${panel[3]}+${panel[0]}+${panel[1]}" +repage "$shots/b3-panel.png"
  local changed
  # The panel's lines are 16 px apart: HP is line 2, SPEED line 3, GOLD line 13.
  changed=$(band_diff b1-panel b3-panel 48 16)
  check "the panel's SPEED line changed after the purchase ($changed pixels)" test "$changed" -gt 20
  changed=$(band_diff b1-panel b3-panel 208 16)
  check "the panel's GOLD line changed after the purchase ($changed pixels)" test "$changed" -gt 5
  changed=$(( $(band_diff b1-panel b3-panel 32 16) + $(band_diff b1-panel b3-panel 64 144) ))
  check "the panel's HP, SHOT, BIRD and BOMB lines stayed as they were ($changed pixels)" test "$changed" -eq 0

  click 91 272  # a9: SAVE, 100 gold
  close_message_box b4-save-box
  sleep 0.4
  shot b5-shop-saved
  convert "$shots/b5-shop-saved.png" -crop "${panel[2]}x${panel[3]}+${panel[0]}+${panel[1]}" +repage "$shots/b5-panel.png"
  stop_game

  local crlf
  crlf=$(grep -c $'\r$' "$save_file")
  check "the save file holds 13 lines, each ending in CR LF" \
    test "$(wc -l <"$save_file")" -eq 13 -a "$crlf" -eq 13
  check "the save file holds speed 4 (line 4: $(save_line 4))" test "$(save_line 4)" = 4
  check "the save file holds gold 3900 (line 9: $(save_line 9))" test "$(save_line 9)" = 3900

  start_game --scale 1 || return
  shot b6-title-again
  check "after the restart the title screen is shown" title_shown "$shots/b6-title-again.png"
  click 198 148  # COUNTINUE
  sleep 0.5
  shot b7-shop-again
  check "after the restart COUNTINUE opens the shop" shop_shown "$shots/b7-shop-again.png"
  convert "$shots/b7-shop-again.png" -crop "${panel[2]}x${panel[3]}+${panel[0]}+${panel[1]}" +repage "$shots/b7-panel.png"
  changed=$(band_diff b5-panel b7-panel 0 "${panel[3]}")
  check "the reloaded panel matches the one after the save ($changed pixels differ)" test "$changed" -eq 0
  stop_game
}

# Bright pixels of the bombs row at the bottom right: the "@" marks are drawn
# in the status line's light green, smoothed, on its dark blue.
bomb_marks() {  # FILE
  convert "$1" -crop 35x11+365+289 +repage -channel G -separate -threshold 40% \
    -format '%[fx:round(mean*w*h)]' info:
}

scenario_c() {
  echo "== A lost game: a bomb, then GAME OVER at stage 30 and back to the title screen"
  # speed 5, bird 12, shot speed 14, shot big 4, shot lv 6, random shot 1: all
  # reset by GAME OVER; one hit point and three bombs.
  write_save 0 5230 30 5 12 14 4 6 800 1 1 3 0
  start_game --scale 1 || return
  click 198 148  # COUNTINUE
  sleep 0.5
  click 230 278  # RETRY: stage 30 again
  xdotool mousemove $((wx + 100)) $((wy + sweep_y))
  sleep 0.6
  shot c1-playing
  check "RETRY: stage 30 is played" playing "$shots/c1-playing.png"
  local before after
  before=$(bomb_marks "$shots/c1-playing.png")
  xdotool click 3
  sleep 0.3
  shot c2-after-bomb
  after=$(bomb_marks "$shots/c2-after-bomb.png")
  # Three marks become two.
  check "the right button sets off a bomb: the bombs row shrinks ($before -> $after pixels)" \
    test "$after" -lt "$before" -a $((after * 2)) -gt "$before"

  # The bird sits still under the fire until it is shot down. The banner
  # stays 1.75 s, so each look is as short as it can be: the banner first,
  # and no pause between looks.
  local deadline=$((SECONDS + 90)) banner=0
  while [ $SECONDS -lt $deadline ]; do
    shot c-wait
    # "GAME OVER" and the result are written in red.
    if banner_in "$shots/c-wait.png" '#FF0000'; then
      banner=1
      cp "$shots/c-wait.png" "$shots/c3-game-over.png"
    elif title_shown "$shots/c-wait.png"; then
      break
    fi
  done
  mv "$shots/c-wait.png" "$shots/c4-title.png"
  check "the GAME OVER banner was shown" test $banner -eq 1
  check "after GAME OVER the title screen is shown" title_shown "$shots/c4-title.png"
  stop_game

  # The reset is saved at once: upgrades back to a new game's, the rest kept.
  # Gold (the ninth value) may have grown by coins caught before the end.
  local saved
  saved=$(tr -d '\r' <"$save_file" | paste -sd' ')
  check "the saved profile after GAME OVER: $saved" \
    matches "$saved" '^0 5230 30 3 18 10 2 3 [0-9]+ 0 3 2 0$'
}

# Whether every aligned 2 x 2 block of a picture's top-left W x H is one
# colour: shrinking by sampling and enlarging again gives the same picture.
hard_edged_2x() {  # FILE W H
  local n
  convert "$1" -crop "$2x$3+0+0" +repage "$work/crop.png"
  convert "$work/crop.png" -sample 50% -sample 200% "$work/blocks.png"
  n=$(compare -metric AE "$work/crop.png" "$work/blocks.png" null: 2>&1)
  [ "${n%% *}" = 0 ]
}

# Pixels that differ between two screenshots.
shot_diff() {  # NAME_A NAME_B
  local n
  n=$(compare -metric AE "$shots/$1.png" "$shots/$2.png" null: 2>&1)
  echo "${n%% *}"
}

scenario_d() {
  echo "== Scale 2, full screen and pause"
  write_save 0 0 0 3 18 10 2 3 0 0 3 3 0
  start_game --scale 2 || return
  check "--scale 2 gives an 802 x 602 client area (${WIDTH}x${HEIGHT})" test "$WIDTH" -eq 802 -a "$HEIGHT" -eq 602
  click 396 416  # NEW START, twice as far in
  xdotool mousemove $((wx + 400)) $((wy + 596))
  sleep 0.6
  shot d1-scale2
  check "the playfield at scale 2 is the game's picture in hard-edged 2 x 2 blocks" \
    hard_edged_2x "$shots/d1-scale2.png" 800 600
  convert "$shots/d1-scale2.png" -sample 50% "$shots/d1-scale2-half.png"
  check "scaled down again it is the game's playfield" playing "$shots/d1-scale2-half.png"

  xdotool key F11
  sleep 0.6
  eval "$(xdotool getwindowgeometry --shell "$win")"
  wx=$X wy=$Y
  shot d2-fullscreen
  check "F11 fills the 1024 x 768 screen (${WIDTH}x${HEIGHT} at $wx,$wy)" \
    test "$WIDTH" -eq 1024 -a "$HEIGHT" -eq 768 -a "$wx" -eq 0 -a "$wy" -eq 0
  check "the game lies centred on black" \
    mostly "$shots/d2-fullscreen.png" 0 0 110 768 '#000000' 99
  convert "$shots/d2-fullscreen.png" -crop 800x600+111+83 +repage "$work/centre.png"
  check "the centred game is a hard-edged 2x playfield" hard_edged_2x "$work/centre.png" 800 600
  check "entering full screen does not pause" animating d3-full-running

  xdotool mousemove 512 $((83 + 596)) key p
  sleep 0.3
  shot d4-paused-a
  sleep 1
  shot d4-paused-b
  check "P freezes the playfield ($(shot_diff d4-paused-a d4-paused-b) pixels differ in a second)" \
    test "$(shot_diff d4-paused-a d4-paused-b)" = 0
  xdotool key p
  sleep 0.2
  check "P again resumes it" animating d5-resumed
  xdotool key Escape
  sleep 0.3
  xdotool key Escape
  sleep 0.6
  eval "$(xdotool getwindowgeometry --shell "$win")"
  check "Esc pauses, and then leaves full screen (${WIDTH}x${HEIGHT})" test "$WIDTH" -eq 802 -a "$HEIGHT" -eq 602
  stop_game
  rm -rf "${XDG_CONFIG_HOME:?}/quillot"
}

scenario_e() {
  echo "== The question after stage 6 answered with はい, recorded"
  write_save 0 0 6 3 18 10 2 3 0 0 3 3 0
  local rec=$work/question.qrp
  start_game --scale 1 --record "$rec" || return
  click 198 148  # COUNTINUE
  sleep 0.5
  click 338 278  # shop NEXT
  sleep 0.6
  shot e1-question
  check "NEXT: the story screen asks its question" story_shown "$shots/e1-question.png"
  click 262 284  # はい
  sleep 0.6
  shot e2-yes
  check "はい: the next stage is played" playing "$shots/e2-yes.png"
  check "はい: the stage is running" animating e3-yes-running
  stop_game
  check "the recording holds the はい click" grep -q '^[0-9]* click Button9$' "$rec"
  check "the recording ends whole and replays to the same checksums" \
    "$work/quillot" --replay "$rec" --headless
}

# E2E_SCENARIOS="d" runs only some, while working on them.
for scenario in ${E2E_SCENARIOS:-a b c d e}; do "scenario_$scenario"; done

echo "screenshots: $shots"
if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed"
  [ -s "$work/game.log" ] && { echo "--- game output"; cat "$work/game.log"; }
  exit 1
fi
echo "all checks passed in $SECONDS s"
