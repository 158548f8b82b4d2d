#!/usr/bin/env bash
# Runs a command with an X display: the current one, or a private Xvfb started for it.
# Xvfb picks a free display number itself (-displayfd), so runs side by side never share
# or take down each other's server. WITH_DISPLAY_SCREEN=WxH always starts a private one
# with a screen of that size (1280x1024 by default).
set -euo pipefail
screen=${WITH_DISPLAY_SCREEN:-}
if [[ -z $screen && -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
ready=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${screen:-1280x1024}x24" -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$ready"' EXIT
for _ in $(seq 150); do
  [[ -s "$ready" ]] && break
  kill -0 $xvfb 2>/dev/null || break
  sleep 0.1
done
if [[ ! -s "$ready" ]]; then
  echo "with-display: Xvfb did not start (scripts/setup.sh installs it)" >&2
  exit 1
fi
export DISPLAY=":$(head -n 1 "$ready")"
"$@"
