#!/usr/bin/env bash
# Plays the built game in a private X display with real mouse events: a new
# game through stage 0 into the shop and on to stage 1, then a purchase and a
# save from a prepared save file, read back from disk and continued; then a
# bomb and a lost game from a late stage, back to the title screen; the
# window at scale 2, in full screen and paused; last, the question after
# stage 6 answered with はい while recording.
#
# With --openbox the same is played under a window manager, as on a desktop:
# the window gets a frame, and a message box must be the active window before
# Return reaches it.
#
# Every look waits, within a bound, for what it checks rather than for a fixed
# time: a busy machine or a sanitized build only makes the wait longer.
#
# usage: play_test.sh [--openbox] QUILLOT_BINARY [SHOTS_DIR]
# Exit codes: 0 all checks passed, 1 a check failed, 77 the X tools are missing.
set -u

wm=''
if [ "${1:-}" = --openbox ]; then wm=openbox; shift; fi
binary=${1:?usage: play_test.sh [--openbox] QUILLOT_BINARY [SHOTS_DIR]}
shots=${2:-$PWD/e2e-shots}

tools=(Xvfb xdotool xwininfo import convert compare)
[ -n "$wm" ] && tools+=(openbox xprop)
for tool in "${tools[@]}"; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIP: $tool is not installed (Debian packages xvfb, xdotool, x11-utils, imagemagick, openbox)"
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
# The window manager's and the font cache's files go there too, and Qt's
# runtime folder, which must be the user's alone.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
export XDG_RUNTIME_DIR=$work/runtime
# No session bus: without one, D-Bus would start its own through the X
# display, forking from a thread of the game, and under the sanitizers that
# child can hang before it runs anything, the game waiting on it for ever.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/quillot-test-bus
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# A sanitized build checks for leaks as it exits; the desktop bus library
# keeps a buffer for the life of the process that is no leak of the game's.
printf 'leak:libdbus-1.so\n' >"$work/lsan.supp"
export LSAN_OPTIONS="suppressions=$work/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
mkdir -p "$shots"
rm -f "$shots"/*.png
xpid='' wmpid='' app=''
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  [ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null
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

# Runs COMMAND every 0.1 s until it succeeds; fails once SECONDS have passed.
wait_for() {  # wait_for SECONDS COMMAND...
  local deadline=$((${EPOCHREALTIME/./} + $1 * 1000000))
  shift
  until "$@"; do
    [ "${EPOCHREALTIME/./}" -ge $deadline ] && return 1
    sleep 0.1
  done
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
wait_for 5 test -s "$fdfile" || { echo "FAIL: Xvfb did not start"; exit 1; }
DISPLAY=":$(head -n 1 "$fdfile")"
export DISPLAY
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

# A window manager announces itself with this property on the root window.
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
if [ -n "$wm" ]; then
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  wmpid=$!
  if ! wait_for 20 wm_running; then
    echo "FAIL: openbox did not take over the display"
    cat "$work/openbox.log"
    exit 1
  fi
  echo "== under openbox"
fi

# The active window, as the window manager names it.
active_is() {  # WINDOW
  [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]
}

# The client area's size and place on the screen, a window manager's frame
# left out: xdotool's getwindowgeometry adds the frame's offset twice.
cx=0 cy=0 cw=0 ch=0
client_geometry() {
  local g
  g=$(xwininfo -id "$win" 2>/dev/null | awk -F: '/Absolute upper-left X/ {x = $2 + 0} /Absolute upper-left Y/ {y = $2 + 0}
      /Width/ {w = $2 + 0} /Height/ {h = $2 + 0} END {print x, y, w, h}')
  read -r cx cy cw ch <<<"$g"
  [ -n "$ch" ]
}
client_is() {  # W H [X Y]
  client_geometry && [ "$cw" -eq "$1" ] && [ "$ch" -eq "$2" ] &&
    { [ $# -lt 4 ] || { [ "$cx" -eq "$3" ] && [ "$cy" -eq "$4" ]; }; }
}

game_window() {
  win=$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | head -n 1)
  [ -n "$win" ]
}

win=''
start_game() {  # [OPTION]...
  (cd "$work" && exec ./quillot "$@" >>"$work/game.log" 2>&1) &
  app=$!
  win=''
  # Up to 60 s: a sanitized build on a busy machine can be slow to map its window.
  if ! wait_for 60 game_window; then
    fail "the game's window appears"
    stop_game
    return 1
  fi
  # Keys go to the active window; a window manager makes a new one active.
  if [ -n "$wm" ] && ! wait_for 10 active_is "$win"; then
    fail "the game's window becomes the active window"
    stop_game
    return 1
  fi
  client_geometry
  pass "the game's window appears (${cw}x${ch} at $cx,$cy)"
}

stop_game() {
  kill "$app" 2>/dev/null
  wait "$app" 2>/dev/null
  app=
}

click() {  # click X Y, in window coordinates
  xdotool mousemove --window "$win" "$1" "$2" click 1
}

point() {  # point X Y, in window coordinates
  xdotool mousemove --window "$win" "$1" "$2"
}

# The client area's pixels as the player sees them; under a window manager
# the frame is not part of the picture.
shot() {  # shot NAME
  import -window "$win" "$shots/$1.png"
}

# A screenshot NAME that passes CONDITION; for wait_for.
looks() {  # looks NAME CONDITION [ARG]...
  local name=$1 condition=$2
  shift 2
  shot "$name" && "$condition" "$shots/$name.png" "$@"
}

# Pixels of an exact colour (#RRGGBB) in a histogram read from stdin.
colour_count() {  # COLOUR
  awk -v c="$1" 'toupper($0) ~ toupper(c) { sub(":", "", $1); n += $1 } END { print n + 0 }'
}

# Pixels of an exact colour inside a rectangle of a screenshot.
count_colour() {  # FILE X Y W H COLOUR
  convert "$1" -crop "$4x$5+$2+$3" +repage -format %c histogram:info:- | colour_count "$6"
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
readonly pause_dark='#000055'      # the pause band's shade over the playfield's blue
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

# CONDITION on a scale-2 picture shrunk by sampling, kept beside it as NAME-half.png.
at_half() {  # FILE CONDITION
  local half=${1%.png}-half.png
  convert "$1" -sample 50% "$half" && "$2" "$half"
}

# The pause band across a scale-2 game lying at X,Y in the picture: the rows
# of the band above its text.
paused_shown() {  # FILE X Y
  mostly "$1" "$2" $(($3 + 226)) 800 8 "$pause_dark" 60
}
unpaused() { ! paused_shown "$@"; }

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
box=''
message_box() {
  box=$(xdotool search --onlyvisible --name '^BRASKO$' 2>/dev/null | head -n 1)
  [ -n "$box" ]
}
no_message_box() { ! message_box; }

# A box drawn: its text and button give it many colours, a window not yet
# painted one.
box_painted() {  # NAME
  import -window "$box" "$shots/$1.png" && [ "$(convert "$shots/$1.png" -format %k info:)" -gt 8 ]
}

# Waits for a message box, saves its picture as NAME and closes it with Return.
close_message_box() {  # NAME
  if ! wait_for 10 message_box; then fail "a message box opens ($1)"; return 1; fi
  pass "a message box opens ($1)"
  if [ -n "$wm" ]; then
    # The window manager makes the new box active; Return goes to the active window.
    if ! check "the message box is the active window ($1)" wait_for 10 active_is "$box"; then
      xdotool windowactivate --sync "$box" 2>/dev/null
    fi
  fi
  check "the message box is drawn ($1)" wait_for 10 box_painted "$1"
  if [ -n "$wm" ]; then
    xdotool key Return
  else
    xdotool windowfocus --sync "$box" key Return 2>/dev/null || xdotool key Return
  fi
  check "the message box closes with Return ($1)" wait_for 10 no_message_box
  # Keys go to the game again, as they did before the box.
  [ -n "$wm" ] && check "the game's window is active again ($1)" wait_for 10 active_is "$win"
  return 0
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
      args+=(mousemove --window "$win" $x $sweep_y click 1)
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
  check "the title screen is shown" wait_for 20 looks a0-title title_shown

  click 198 208  # NEW START
  check "NEW START: status line and blue playfield" wait_for 10 looks a1-playing playing
  check "NEW START: the stage is running" wait_for 5 animating a2-running

  local started=$SECONDS
  if play_until_shop 60; then
    pass "stage 0 cleared by sweeping and firing; the shop opened after $((SECONDS - started)) s"
  else
    fail "stage 0 cleared within 60 s (last picture: a3-timeout.png)"
    stop_game
    return
  fi
  check "the shop's navy status panel is shown" wait_for 10 looks a4-shop shop_shown
  check "the shop stands still (no frames drawn behind it)" not animating a5-shop-still

  # Stage 0 is followed by a story screen; its NEXT sits where the shop's did.
  click 338 278  # shop NEXT
  check "NEXT: the story screen is shown" wait_for 10 looks a6-story story_shown
  click 338 278  # story NEXT
  check "story NEXT: stage 1 is played (status line, blue playfield, no shop panel)" \
    wait_for 10 looks a6-stage1 playing
  check "story NEXT: the stage is running" wait_for 5 animating a7-stage1-running
  stop_game
}

# The shop's status panel cut out of screenshot NAME as NAME-panel.
crop_panel() {  # FILE NAME
  convert "$1" -crop "${panel[2]}x${panel[3]}+${panel[0]}+${panel[1]}" +repage "$shots/$2.png"
}

# Pixels that differ between two panel crops within the rows TOP .. TOP+HEIGHT-1.
band_diff() {  # NAME_A NAME_B TOP HEIGHT
  local n
  n=$(compare -metric AE "$shots/$1.png[${panel[2]}x$4+0+$3]" "$shots/$2.png[${panel[2]}x$4+0+$3]" null: 2>&1)
  n=${n%% *}
  [[ $n =~ ^[0-9]+$ ]] || n=99999
  echo "$n"
}

# The panel's lines are 16 px apart: HP is line 2, SPEED line 3, GOLD line 13.
bought_speed() {  # FILE: the panel's SPEED and GOLD lines differ from b1-panel's
  crop_panel "$1" b3-panel &&
    [ "$(band_diff b1-panel b3-panel 48 16)" -gt 20 ] && [ "$(band_diff b1-panel b3-panel 208 16)" -gt 5 ]
}
paid_for_save() {  # FILE: the panel's GOLD line differs from b3-panel's
  crop_panel "$1" b5-panel && [ "$(band_diff b3-panel b5-panel 208 16)" -gt 5 ]
}
panel_as_saved() {  # FILE: the whole panel as in b5-panel
  crop_panel "$1" b7-panel && [ "$(band_diff b5-panel b7-panel 0 "${panel[3]}")" -eq 0 ]
}

# Line N of the save file, without its CR.
save_line() { sed -n "$1p" "$save_file" | tr -d '\r'; }

scenario_b() {
  echo "== A purchase and a save from a saved game with 5000 gold"
  write_save 0 0 0 3 18 10 2 3 5000 0 3 3 0
  start_game --scale 1 || return
  check "the title screen is shown" wait_for 20 looks b0-title title_shown
  click 198 148  # COUNTINUE
  check "COUNTINUE opens the shop" wait_for 10 looks b1-shop shop_shown
  crop_panel "$shots/b1-shop.png" b1-panel

  click 91 44  # a1: speed up, 1000 gold
  close_message_box b2-speed-up-box
  # The panel is rebuilt by the 100 ms status timer.
  wait_for 5 looks b3-shop-after bought_speed
  local changed
  changed=$(band_diff b1-panel b3-panel 48 16)
  check "the panel's SPEED line changed after the purchase ($changed pixels)" test "$changed" -gt 20
  changed=$(band_diff b1-panel b3-panel 208 16)
  check "the panel's GOLD line changed after the purchase ($changed pixels)" test "$changed" -gt 5
  changed=$(( $(band_diff b1-panel b3-panel 32 16) + $(band_diff b1-panel b3-panel 64 144) ))
  check "the panel's HP, SHOT, BIRD and BOMB lines stayed as they were ($changed pixels)" test "$changed" -eq 0

  click 91 272  # a9: SAVE, 100 gold
  close_message_box b4-save-box
  check "the panel's GOLD line changed after saving" wait_for 5 looks b5-shop-saved paid_for_save
  stop_game

  local crlf
  crlf=$(grep -c $'\r$' "$save_file")
  check "the save file holds 13 lines, each ending in CR LF" \
    test "$(wc -l <"$save_file")" -eq 13 -a "$crlf" -eq 13
  check "the save file holds speed 4 (line 4: $(save_line 4))" test "$(save_line 4)" = 4
  check "the save file holds gold 3900 (line 9: $(save_line 9))" test "$(save_line 9)" = 3900

  start_game --scale 1 || return
  check "after the restart the title screen is shown" wait_for 20 looks b6-title-again title_shown
  click 198 148  # COUNTINUE
  check "after the restart COUNTINUE opens the shop" wait_for 10 looks b7-shop-again shop_shown
  wait_for 5 looks b7-shop-again panel_as_saved
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
# Fewer marks, but not none: a bomb's flash frame hides the whole row.
fewer_bombs() {  # FILE BEFORE
  local n
  n=$(bomb_marks "$1")
  [ "$n" -lt "$2" ] && [ $((n * 2)) -gt "$2" ]
}

scenario_c() {
  echo "== A lost game: a bomb, then GAME OVER at stage 30 and back to the title screen"
  # speed 5, bird 12, shot speed 14, shot big 4, shot lv 6, random shot 1: all
  # reset by GAME OVER; one hit point and three bombs.
  write_save 0 5230 30 5 12 14 4 6 800 1 1 3 0
  start_game --scale 1 || return
  check "the title screen is shown" wait_for 20 looks c0-title title_shown
  click 198 148  # COUNTINUE
  check "COUNTINUE opens the shop" wait_for 10 looks c0-shop shop_shown
  click 230 278  # RETRY: stage 30 again
  point 100 $sweep_y
  check "RETRY: stage 30 is played" wait_for 10 looks c1-playing playing
  local before after
  before=$(bomb_marks "$shots/c1-playing.png")
  xdotool click 3
  wait_for 5 looks c2-after-bomb fewer_bombs "$before"
  after=$(bomb_marks "$shots/c2-after-bomb.png")
  # Three marks become two.
  check "the right button sets off a bomb: the bombs row shrinks ($before -> $after pixels)" \
    test "$after" -lt "$before" -a $((after * 2)) -gt "$before"

  # The bird sits still under the fire until it is shot down. The banner
  # stays 1.75 s and is drawn on every other frame only, so looks follow
  # each other closely: one process takes the picture and counts its red
  # pixels ("GAME OVER" and the result are written in red), and the title
  # screen is looked for only in a picture without the banner.
  local deadline=$((SECONDS + 90)) banner=0 looks=0 red
  while [ $SECONDS -lt $deadline ]; do
    red=$(convert x:"$win" -write "$shots/c-wait.png" -crop 240x110+80+100 +repage \
      -format %c histogram:info:- 2>/dev/null | colour_count '#FF0000')
    looks=$((looks + 1))
    if [ "$red" -gt 300 ]; then
      banner=$((banner + 1))
      cp "$shots/c-wait.png" "$shots/c3-game-over.png"
    elif title_shown "$shots/c-wait.png"; then
      break
    fi
  done
  mv "$shots/c-wait.png" "$shots/c4-title.png"
  check "the GAME OVER banner was shown (in $banner of $looks looks)" test $banner -gt 0
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
  check "--scale 2 gives an 802 x 602 client area (${cw}x${ch})" test "$cw" -eq 802 -a "$ch" -eq 602
  check "the title screen is shown at scale 2" wait_for 20 looks d0-title at_half title_shown
  click 396 416  # NEW START, twice as far in
  point 400 596
  check "scaled down again it is the game's playfield" wait_for 10 looks d1-scale2 at_half playing
  check "the playfield at scale 2 is the game's picture in hard-edged 2 x 2 blocks" \
    hard_edged_2x "$shots/d1-scale2.png" 800 600

  # The game at scale 2 lies centred in full screen: (1024 - 802) / 2, (768 - 602) / 2.
  local gx=111 gy=83 wx wy
  client_geometry
  wx=$cx wy=$cy
  xdotool key F11
  wait_for 10 client_is 1024 768 0 0
  check "F11 fills the 1024 x 768 screen (${cw}x${ch} at $cx,$cy)" client_is 1024 768 0 0
  check "the game lies centred on black" \
    wait_for 10 looks d2-fullscreen mostly 0 0 110 768 '#000000' 99
  convert "$shots/d2-fullscreen.png" -crop 800x600+$gx+$gy +repage "$work/centre.png"
  check "the centred game is a hard-edged 2x playfield" hard_edged_2x "$work/centre.png" 800 600
  check "entering full screen does not pause" wait_for 5 animating d3-full-running

  point 512 $((gy + 596))
  xdotool key p
  wait_for 5 looks d4-paused-a paused_shown $gx $gy
  sleep 1
  shot d4-paused-b
  check "P freezes the playfield ($(shot_diff d4-paused-a d4-paused-b) pixels differ in a second)" \
    test "$(shot_diff d4-paused-a d4-paused-b)" = 0
  xdotool key p
  wait_for 5 looks d5-resumed unpaused $gx $gy
  check "P again resumes it" wait_for 5 animating d5-resumed
  xdotool key Escape
  check "Esc pauses" wait_for 5 looks d6-esc-paused paused_shown $gx $gy
  xdotool key Escape
  wait_for 10 client_is 802 602 "$wx" "$wy"
  check "Esc again leaves full screen: the window is back in its place (${cw}x${ch} at $cx,$cy; was at $wx,$wy)" \
    client_is 802 602 "$wx" "$wy"
  stop_game
  rm -rf "${XDG_CONFIG_HOME:?}/quillot"
}

scenario_e() {
  echo "== The question after stage 6 answered with はい, recorded"
  write_save 0 0 6 3 18 10 2 3 0 0 3 3 0
  local rec=$work/question.qrp
  start_game --scale 1 --record "$rec" || return
  check "the title screen is shown" wait_for 20 looks e0-title title_shown
  click 198 148  # COUNTINUE
  check "COUNTINUE opens the shop" wait_for 10 looks e0-shop shop_shown
  click 338 278  # shop NEXT
  check "NEXT: the story screen asks its question" wait_for 10 looks e1-question story_shown
  click 262 284  # はい
  check "はい: the next stage is played" wait_for 10 looks e2-yes playing
  check "はい: the stage is running" wait_for 5 animating e3-yes-running
  stop_game
  check "the recording holds the はい click" grep -q '^[0-9]* click Button9$' "$rec"
  check "the recording ends whole and replays to the same checksums" \
    "$work/quillot" --replay "$rec" --headless
}

# A recording replays headless and in a window of its own, both to the end.
replays_everywhere() {  # NAME RECORDING
  check "$1: the recording replays headless" "$work/quillot" --replay "$2" --headless
  local out status
  out=$(cd "$work" && timeout 120 ./quillot --replay "$2" 2>&1)
  status=$?
  check "$1: the recording replays in the window (status $status)" test $status -eq 0
  [ $status -eq 0 ] || echo "$out" | grep -E "quillot|error|differs" | head -n 5
}

scenario_f() {
  echo "== Games recorded while the files failed them replay wherever they are played"
  # A save the player made read-only: SAVE fails twice, then play goes on.
  write_save 0 0 0 3 18 10 2 3 5000 0 3 3 0
  chmod a-w "$save_file"
  local rec=$work/readonly.qrp
  start_game --scale 1 --record "$rec" || return
  check "the title screen is shown" wait_for 20 looks f0-title title_shown
  click 198 148  # COUNTINUE
  check "COUNTINUE opens the shop" wait_for 10 looks f1-shop shop_shown
  click 91 272  # a9: SAVE, refused by the file
  close_message_box f2-save-refused
  click 91 272  # and again: it is still offered
  close_message_box f3-save-refused-again
  click 338 278  # shop NEXT: the story after stage 0
  check "NEXT: the story screen is shown" wait_for 10 looks f4-story story_shown
  click 338 278  # story NEXT
  check "story NEXT: stage 1 is played" wait_for 10 looks f5-stage1 playing
  stop_game
  check "the recording holds the failed saves" test "$(grep -c '^[0-9]* save failed$' "$rec")" -eq 2
  replays_everywhere "a read-only save" "$rec"

  # A game lost while the save cannot be written: the error box opens over
  # the game-over banner, which goes on behind it.
  write_save 0 5230 30 5 12 14 4 6 800 1 1 3 0
  chmod a-w "$save_file"
  rec=$work/lost.qrp
  start_game --scale 1 --record "$rec" || return
  check "the title screen is shown" wait_for 20 looks f6-title title_shown
  click 198 148  # COUNTINUE
  check "COUNTINUE opens the shop" wait_for 10 looks f6-shop shop_shown
  click 230 278  # RETRY: stage 30, one hit point
  point 100 $sweep_y
  wait_for 90 message_box
  close_message_box f7-game-over-save-refused
  check "after GAME OVER the title screen is shown" wait_for 20 looks f8-title title_shown
  stop_game
  replays_everywhere "a game lost with the save unwritable" "$rec"
  chmod u+w "$save_file"

  # A story picture gone: its error box, and the question box stays as it was.
  write_save 0 0 0 3 18 10 2 3 0 0 3 3 0
  local picture
  picture=$(sed -n 2p "$work/dat/s.dat" | tr -d '\r')
  mv "$work/cg/$picture" "$work/cg/$picture.away"
  rec=$work/nopicture.qrp
  start_game --scale 1 --record "$rec" || return
  check "the title screen is shown" wait_for 20 looks f9-title title_shown
  click 198 148  # COUNTINUE
  check "COUNTINUE opens the shop" wait_for 10 looks f10-shop shop_shown
  click 338 278  # shop NEXT
  close_message_box f11-picture-missing
  click 262 284  # はい, where the question box still lies
  check "the stage after the story is played" wait_for 10 looks f12-stage playing
  stop_game
  mv "$work/cg/$picture.away" "$work/cg/$picture"
  check "the recording holds the missing picture" grep -q '^[0-9]* picture failed$' "$rec"
  replays_everywhere "a story picture missing" "$rec"
}

# E2E_SCENARIOS="d" runs only some, while working on them.
for scenario in ${E2E_SCENARIOS:-a b c d e f}; do "scenario_$scenario"; done

echo "screenshots: $shots"
if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed"
  [ -s "$work/game.log" ] && { echo "--- game output"; cat "$work/game.log"; }
  exit 1
fi
echo "all checks passed in $SECONDS s"
