#!/usr/bin/env bash
# Installs what is missing, builds the show and its data, and plays it from the data folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
cd "$root/build/data"
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec ../orangefunk "$@"
fi
echo "No display: playing on a private X server (nothing will be seen)."
exec "$root/scripts/with-display.sh" ../orangefunk "$@"
