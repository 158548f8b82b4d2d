#!/usr/bin/env bash
# Installs what is missing, builds the show and its data, and plays it from the data folder.
# Without a display it captures the show to a video file instead (build/orangefunk.mp4).
# Arguments go to the program (see build/orangefunk --help).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
cd "$root/build/data"
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec ../orangefunk "$@"
fi
if [[ $# -gt 0 ]]; then
  # Options chosen by hand: a private X server stands in for the missing display.
  exec "$root/scripts/with-display.sh" ../orangefunk "$@"
fi
video="$root/build/orangefunk.mp4"
echo "No display: capturing the show to $video instead (about as long as the show itself)."
../orangefunk --capture "$video" >/dev/null
echo "Play it with any video player, e.g.: ffplay $video"
