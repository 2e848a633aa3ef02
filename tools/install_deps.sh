#!/usr/bin/env bash
# Installs the Debian packages the game needs to build, play and test, and only
# those that are missing, so a second run costs nothing. --test adds what the
# tests need, --package (alone) what building and checking the package needs.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  qt6-base-dev                # window, controls, timers, pictures
  qt6-tools-dev qt6-l10n-tools  # the English catalogue: CMake's qt_add_translations, lupdate, lrelease (build only)
  libfluidsynth-dev           # the music
  libsdl2-dev                 # gamepads, through SDL's game-controller layer
  timgm6mb-soundfont          # General MIDI instruments for the music
  fonts-ipafont-gothic        # the game's Japanese proportional Gothic
  libgtest-dev libbenchmark-dev
)
if [ "${1:-}" = "--test" ]; then
  packages+=(
    xvfb xdotool x11-utils imagemagick  # playing the real window in tests
    clang libclang-rt-14-dev            # fuzzing the files the game reads
    openbox                             # a window manager for the window's end-to-end tests
    fluid-soundfont-gm                  # the other General MIDI font a player may have: the audio
                                        # tests run with each system font in turn, and with none
    pulseaudio                          # a private sound server with a null sink for the audio device tests
  )
fi
if [ "${1:-}" = "--package" ]; then
  packages=(
    debhelper dpkg-dev                  # building the Debian package
    lintian desktop-file-utils appstream  # checking it
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
