#!/usr/bin/env bash
# Runs a command with a sound server that needs no sound card: a private PulseAudio daemon
# whose only output is a null sink, reached through PULSE_SERVER. Fails when pulseaudio is
# not installed (scripts/setup.sh installs it).
set -euo pipefail
if ! command -v pulseaudio >/dev/null || ! command -v pactl >/dev/null; then
  echo "with-sound: pulseaudio is not installed (scripts/setup.sh installs it)"
  exit 1
fi
runtime=$(mktemp -d "${TMPDIR:-/tmp}/orangefunk-sound-XXXXXX")
# The daemon keeps its socket and state there (as root it has no session directory), and
# loads only the protocol and the null sink.
XDG_RUNTIME_DIR=$runtime HOME=$runtime pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target=stderr \
  --load="module-native-protocol-unix socket=$runtime/native auth-anonymous=1" \
  --load="module-null-sink sink_name=null" >"$runtime/log" 2>&1 &
daemon=$!
trap 'kill $daemon 2>/dev/null || true; wait $daemon 2>/dev/null || true; rm -rf "$runtime"' EXIT
export PULSE_SERVER=unix:$runtime/native
for _ in $(seq 100); do
  pactl info >/dev/null 2>&1 && break
  kill -0 $daemon 2>/dev/null || { echo "with-sound: pulseaudio did not start:"; cat "$runtime/log"; exit 1; }
  sleep 0.1
done
"$@"
