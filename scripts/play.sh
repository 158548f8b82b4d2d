#!/usr/bin/env bash
# Installs what building and playing need (not the test tools), builds only the program and
# its data, and plays it. Without a display it captures the show to a video file instead
# (build/orangefunk.mp4). Arguments go to the program (see build/orangefunk --help), which
# finds its data in the build and takes relative paths from the current folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
display=${DISPLAY:-}${WAYLAND_DISPLAY:-}
# Capture and frame dumps render off screen by themselves; real-time play without a
# display needs a private X server.
offscreen=0
[[ " $* " == *" --capture"* || " $* " == *" --frames"* ]] && offscreen=1
setup=(--play)
[[ -z "$display" && $# -gt 0 && $offscreen -eq 0 ]] && setup+=(--no-display)
"$root/scripts/setup.sh" "${setup[@]}"
BUILD_TARGETS="orangefunk data" "$root/scripts/build.sh" -DORANGEFUNK_TESTS=OFF -DORANGEFUNK_BENCH=OFF
if [[ -n "$display" || $offscreen -eq 1 ]]; then
  exec "$build/orangefunk" "$@"
fi
if [[ $# -gt 0 ]]; then
  # Options chosen by hand: a private X server stands in for the missing display.
  exec "$root/scripts/with-display.sh" "$build/orangefunk" "$@"
fi
video="$build/orangefunk.mp4"
echo "No display: capturing the show to $video instead (about as long as the show itself)."
"$build/orangefunk" --capture "$video" >/dev/null
echo "Play it with any video player, e.g.: ffplay $video"
