#!/usr/bin/env bash
# Installs the Debian 12 packages that are missing. With no arguments: everything building,
# playing, testing and packaging need. With --play: only what building the show and its
# data, playing it and capturing it (off screen, through EGL) need; --no-display adds the
# private X server that real-time play on a machine without a display goes through.
set -euo pipefail

# Building the program and its data, and playing it.
play_packages=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libx11-dev libopenmpt-dev libpng-dev libgl-dev libgl1-mesa-dri libglu1-mesa-dev
  libegl1 libegl-mesa0
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  libcairo2-dev libfreetype-dev fonts-dejavu-core
  # build/ is configured as scripts/build.sh configures it, tests and benchmarks included
  # (only built when asked for), so any later build, test or install step finds it whole:
  # its configure step needs GoogleTest, Google Benchmark and libxmp (the module's checker).
  libgtest-dev libgmock-dev libbenchmark-dev libxmp-dev
)
# Real-time play and the tests without a display: a private X server (x11-utils: with-display.sh).
display_packages=(xvfb xauth x11-utils)
# Tests, checkers, benchmarks and the package build (file: CPack's dependency search;
# llvm-14: the symbolizer of ThreadSanitizer's reports).
test_packages=(
  clang libclang-rt-14-dev llvm-14
  xdotool openmpt123 libxmp-dev xmp assimp-utils sox valgrind file pulseaudio pulseaudio-utils
  ffmpeg
)

packages=()
for argument in "$@"; do
  case $argument in
    --play) packages+=("${play_packages[@]}") ;;
    --no-display) packages+=("${display_packages[@]}") ;;
    *) echo "usage: setup.sh [--play] [--no-display]" >&2; exit 2 ;;
  esac
done
[[ $# -gt 0 ]] || packages=("${play_packages[@]}" "${display_packages[@]}" "${test_packages[@]}")

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

# apt-get's progress goes to standard error, with every other message of this script.
echo "Installing: ${missing[*]}" >&2
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq >&2
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
