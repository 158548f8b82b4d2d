#!/usr/bin/env bash
# Runs a command with an X display: the current one, or a private Xvfb started for it.
set -euo pipefail
if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
for n in $(seq 90 140); do
  [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do
    DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  trap 'kill $xvfb 2>/dev/null || true' EXIT
  export DISPLAY=":$n"
  "$@"
  exit $?
done
echo "with-display: no free display number for Xvfb" >&2
exit 1
