#!/usr/bin/env bash
# Runs the audio tests once for each SoundFont a player's machine may have:
# only TimGM6mb, only FluidR3_GM, and none. Each run sees the system's
# SoundFont folders through a mount of its own (a private mount namespace):
# an empty tmpfs over /usr/share/sounds/sf2 and, where it exists, over
# /usr/share/sounds/sf3, holding a copy of that one font with the two
# default-GM links a real machine has pointing to it. Nothing of the machine
# changes, and no other program sees the mounts.
#   tools/soundfont_matrix.sh [BUILD_DIR [TESTS]]
# BUILD_DIR: build/check, where ./check builds; TESTS: a ctest regex, by
# default the tests that play (\. for the whole suite).
# Exits non-zero when a test fails. Needs root (unshare -m) or user namespaces
# (unshare -rm); where neither is allowed it says so and runs nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/check}
# The audio_tests program and the app's music tests: everything that plays.
tests=${2:-'^(Effects|InspectMidi|LoadTrack|MusicRig|Tracks/ShippedTrack|SynthMusic)\.'}
sf2=/usr/share/sounds/sf2
sf3=/usr/share/sounds/sf3

[ -d "$build" ] || { echo "$0: no build in $build (run ./check first)" >&2; exit 2; }
[ -d "$sf2" ] || { echo "$0: $sf2 does not exist: no system SoundFont to hide (run tools/install_deps.sh --test)" >&2; exit 2; }

# A private mount namespace: as root, or else inside a user namespace of our own.
unshare_cmd=()
for candidate in "unshare -m" "unshare -rm"; do
  read -ra try <<<"$candidate"
  if "${try[@]}" -- mount -t tmpfs quillot-probe "$sf2" 2>/dev/null; then
    unshare_cmd=("${try[@]}")
    break
  fi
done
if [ ${#unshare_cmd[@]} -eq 0 ]; then
  echo "SoundFont matrix: skipped, this machine allows no private mount (neither unshare -m nor unshare -rm)"
  exit 0
fi

# Inside the namespace: the folders covered, the one font copied in, the tests run.
inside='
set -euo pipefail
font=$1 build=$2 tests=$3 sf2=$4 sf3=$5
# The real folder stays in reach at a place of our own while the font is copied.
real=$(mktemp -d)
mount --bind "$sf2" "$real"
mount -t tmpfs quillot-sf2 "$sf2"
[ ! -d "$sf3" ] || mount -t tmpfs quillot-sf3 "$sf3"
[ -z "$font" ] || cp "$real/$font" "$sf2/$font"
umount "$real"
rmdir "$real"
if [ -n "$font" ]; then
  ln -s "$sf2/$font" "$sf2/default-GM.sf2"
  [ ! -d "$sf3" ] || ln -s "$sf2/$font" "$sf3/default-GM.sf3"
fi
ls -l "$sf2" $([ -d "$sf3" ] && echo "$sf3") | sed "s/^/  /"
ctest --test-dir "$build" -R "$tests" --output-on-failure -j"$(nproc)" --timeout 600
'

failed=()
for font in TimGM6mb.sf2 FluidR3_GM.sf2 ""; do
  label=${font:-no SoundFont}
  echo "== SoundFont matrix: ${font:+only }$label =="
  if [ -n "$font" ] && [ ! -f "$sf2/$font" ]; then
    echo "$0: $sf2/$font is not installed (tools/install_deps.sh --test installs it)" >&2
    failed+=("$label (not installed)")
    continue
  fi
  "${unshare_cmd[@]}" -- bash -c "$inside" matrix "$font" "$build" "$tests" "$sf2" "$sf3" || failed+=("$label")
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "SoundFont matrix: failed with: ${failed[*]}"
  exit 1
fi
echo "SoundFont matrix: the audio tests pass with only TimGM6mb, with only FluidR3_GM and with no SoundFont"
