#!/usr/bin/env bash
# Installs what building and playing need (not the test tools), builds the program, its
# data, manual page and icon in build/ (configured as scripts/build.sh configures it, so the
# by-hand build, install and package steps work after it), and plays. Without a display and
# without arguments it captures the whole show to build/orangefunk.mp4 instead; arguments
# asking for real-time play are refused there (status 2), since nobody would see it.
# Arguments go to the program (see build/orangefunk --help), which finds its data in the
# build and takes relative paths from the current folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
display=${DISPLAY:-}${WAYLAND_DISPLAY:-}
# Capture and frame dumps render off screen by themselves; --help and --version print.
offscreen=0
[[ " $* " == *" --capture"* || " $* " == *" --frames"* || " $* " == *" --help"* || " $* " == *" --version"* ]] &&
  offscreen=1
if [[ -z "$display" && $# -gt 0 && $offscreen -eq 0 ]]; then
  echo "play.sh: there is no display to play on. Without arguments play.sh captures the whole show" >&2
  echo "to a video file; with a display the options play in real time; without one, add" >&2
  echo "--capture FILE (or --frames DIR --at ORDER:ROW) to them." >&2
  exit 2
fi
"$root/scripts/setup.sh" --play
BUILD_TARGETS="orangefunk data man_page icon" "$root/scripts/build.sh"
if [[ -n "$display" || $offscreen -eq 1 ]]; then
  exec "$build/orangefunk" "$@"
fi
video="$build/orangefunk.mp4"
echo "No display: capturing the show to $video instead (about as long as the show itself)."
"$build/orangefunk" --capture "$video" >/dev/null
if command -v ffplay >/dev/null; then
  echo "Play it with any video player, e.g.: ffplay $video"
else
  echo "Play it with any video player."
fi
