#!/usr/bin/env bash
# Builds the Debian package and checks it: desktop-file-validate, appstreamcli
# and lintian on what the package installs. With --install (as root, on a
# machine you may install packages on), it also installs the package with apt,
# plays it under Xvfb as a throwaway user, makes a SAVE in the shop, removes
# the package, checks that the save stays, reinstalls and finds it again.
set -euo pipefail
cd "$(dirname "$0")/.."
install=false
[ "${1:-}" = "--install" ] && install=true

step() { printf '\n== %s\n' "$*"; }

step "build the package"
tools/make_deb.sh
deb=$(ls build/deb/quillot_*.deb | grep -v dbgsym)
dpkg-deb -f "$deb" Package Version Depends

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"

step "desktop-file-validate"
desktop-file-validate "$tree/usr/share/applications/quillot.desktop" && echo "no errors, no warnings"

step "appstreamcli validate --no-net"
# The id is "quillot" on purpose: a reverse-DNS id needs a domain of our own,
# and we have none. A warning about
# it not being reverse-DNS is the only one expected. Errors fail the check.
appstream_out=$(appstreamcli validate --no-net "$tree/usr/share/metainfo/quillot.metainfo.xml" 2>&1) || true
echo "$appstream_out"
if grep -q "^E:" <<<"$appstream_out"; then echo "appstream errors" >&2; exit 1; fi

step "lintian"
lintian_out=$(lintian --display-level ">=pedantic" "$deb" 2>&1 | grep -v "running with root privileges" || true)
echo "${lintian_out:-no tags at all (errors, warnings, info, pedantic)}"
if grep -q "^E:" <<<"$lintian_out"; then echo "lintian errors" >&2; exit 1; fi

$install || exit 0

step "install, play, save, remove, reinstall (as a throwaway user under Xvfb)"
[ "$(id -u)" -eq 0 ] || { echo "--install needs root" >&2; exit 1; }
tools/install_deps.sh --test >/dev/null
player=quillotcheck
id "$player" >/dev/null 2>&1 || useradd -m "$player"
home=$(getent passwd "$player" | cut -d: -f6)
save="$home/.local/share/quillot/my.dat"
rm -rf "$home/.local/share/quillot"
cp "$deb" /tmp/quillot-check.deb && chmod 644 /tmp/quillot-check.deb

display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x768x24 -ac -noreset >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
game=
cleanup() {
  [ -n "$game" ] && kill "$game" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$tree" /tmp/quillot-check.deb
}
trap cleanup EXIT
sleep 1

start_game() {
  game=$(su - "$player" -c "DISPLAY=$display nohup quillot >/dev/null 2>&1 & echo \$!")
  for _ in $(seq 50); do
    window=$(xdotool search --onlyvisible --name "ver 1.0" 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.2
  done
  [ -n "$window" ] || { echo "no game window" >&2; exit 1; }
  sleep 1
}
stop_game() { kill "$game"; wait_gone "$game"; game=; }
wait_gone() { while kill -0 "$1" 2>/dev/null; do sleep 0.2; done; }
# Message boxes are captioned with the application title.
boxes() { xdotool search --onlyvisible --name "^BRASKO$" 2>/dev/null | wc -l; }
line() { sed -n "${1}p" "$save" | tr -d '\r'; }

apt-get install -y -qq /tmp/quillot-check.deb >/dev/null 2>&1
dpkg-query -W -f='installed: ${Package} ${Version}\n' quillot
dpkg -L quillot >build/deb/installed-files.txt
start_game
[ "$(boxes)" -eq 0 ] || { echo "an error box greets a new player" >&2; exit 1; }
import -window root build/deb/title.png
echo "first start: title shown, no message box; save copied: $(wc -l <"$save") lines in $save"
stop_game

# The player has earned 500 yen at stage 3; a SAVE costs 100.
printf '0\r\n5230\r\n3\r\n3\r\n18\r\n10\r\n2\r\n3\r\n500\r\n0\r\n3\r\n3\r\n0\r\n' >"$save"
start_game
xdotool mousemove --window "$window" 198 148 click 1   # COUNTINUE
sleep 1.5
xdotool mousemove --window "$window" 91 272 click 1    # SAVE
sleep 1.5
import -window root build/deb/saved.png
[ "$(line 9)" = 400 ] || { echo "the SAVE did not write $save (gold $(line 9))" >&2; exit 1; }
echo "SAVE in the shop: $save now holds stage $(line 3), gold $(line 9)"
key=$(md5sum <"$save")
stop_game

apt-get remove -y -qq quillot >/dev/null 2>&1
[ ! -e /usr/games/quillot ] && [ "$(md5sum <"$save")" = "$key" ] || { echo "removing the package touched the save" >&2; exit 1; }
echo "removed: /usr/games/quillot gone, the save unchanged"

apt-get install -y -qq /tmp/quillot-check.deb >/dev/null 2>&1
start_game
import -window root build/deb/reinstalled.png
[ "$(boxes)" -eq 0 ] && [ "$(md5sum <"$save")" = "$key" ] || { echo "the reinstalled game lost the save" >&2; exit 1; }
echo "reinstalled: the game starts on the same save (stage $(line 3), gold $(line 9)); screenshots in build/deb/"
stop_game
apt-get remove -y -qq quillot >/dev/null 2>&1
userdel -r "$player" 2>/dev/null || true
echo "the package is removed again; its file list is in build/deb/installed-files.txt"
