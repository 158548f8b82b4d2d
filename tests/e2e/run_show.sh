#!/usr/bin/env bash
# End-to-end run of the built show from its data folder, as a person would see it:
#   whole_show             it plays to song order 33 and shows "Done!" in the song's time
#   escape_in_second_part  Escape while the second part runs ends it there, then "Done!"
# The "Done!" box is dismissed with Return; the show must then exit with status 0.
# Usage: run_show.sh MODE SHOW DATA_DIR SONG_TIME
set -euo pipefail
mode=$1
show=$(realpath "$2") data=$(realpath "$3") song_time=$(realpath "$4")
here=$(cd "$(dirname "$0")" && pwd)

if [[ -z "${DISPLAY:-}" ]] || ! xdpyinfo >/dev/null 2>&1; then
  exec "$here/../../scripts/helpers/with-display.sh" bash "$0" "$@"
fi
if [[ ! -f "$data/funk.it" || ! -f "$data/toyscene.3ds" ]]; then
  echo "FAIL: show data not built in $data (build the data target)"
  exit 1
fi

now() { date +%s.%N; }
# seconds as a float expression
calc() { awk "BEGIN { print ($*) }"; }
fail() {
  echo "FAIL: $*"
  # What the show and the X server were doing, taken before the show is killed.
  echo "--- windows on $DISPLAY ---"
  xwininfo -root -tree 2>&1 | head -n 20 || true
  echo "--- xdotool's search for the show's window ---"
  xdotool search --name "^Windows example title$" 2>&1 | head -n 5 || true
  if [[ -n "${pid:-}" && -d /proc/$pid ]]; then
    echo "--- the show's threads (name, state, wait channel) and display ---"
    for task in /proc/"$pid"/task/*; do
      echo "$(cat "$task/comm" 2>/dev/null) $(awk '{ print $3 }' "$task/stat" 2>/dev/null) $(cat "$task/wchan" 2>/dev/null)"
    done
    tr '\0' '\n' < /proc/"$pid"/environ 2>/dev/null | grep -E '^(DISPLAY|WAYLAND_DISPLAY|SDL_)' || true
    kill -KILL "$pid" 2>/dev/null || true
  fi
  echo "--- show's standard error (last lines) ---"
  tail -n 20 "$log" || true
  exit 1
}
# Windows are found by their titles in the window tree. (xdotool's search gives up on the
# whole search when any window on the display goes away while it looks.)
window_titled() { xwininfo -root -tree 2>/dev/null | awk -v title="\"$1\":" 'index($0, title) { print $1; exit }'; }
show_window() { window_titled "Windows example title"; }
box_window() { window_titled "System message:"; }

order3=$("$song_time" "$data/funk.it" 3)
order9=$("$song_time" "$data/funk.it" 9)
order33=$("$song_time" "$data/funk.it" 33)
echo "song: order 3 at ${order3}s, order 9 at ${order9}s, order 33 at ${order33}s"

log=$(mktemp)
trap 'rm -f "$log"' EXIT
cd "$data"
"$show" >/dev/null 2>"$log" &
pid=$!

# Waits until the function $1 names a window, at most $2 seconds after the time $3; fails
# with $4 when the show exits first, or with $5 when the time runs out.
wait_for_window() {
  while [[ -z "$($1)" ]]; do
    kill -0 "$pid" 2>/dev/null || fail "$4"
    [[ $(calc "$(now) - $3 > $2") == 1 ]] && fail "$5"
    sleep 0.1
  done
}

# The window appears before the assets load; the music starts right after them. The wait is
# long because a machine busy with other tests may start the program slowly.
wait_for_window show_window 120 "$(now)" "the show exited before its window appeared" "no show window after 120 s"
started=$(now)
echo "show window up"

case $mode in
  whole_show)
    expected=$order33
    ;;
  escape_in_second_part)
    # Midway through the second part (orders 3 to 8).
    escape_at=$(calc "($order3 + $order9) / 2")
    sleep "$escape_at"
    kill -0 "$pid" 2>/dev/null || fail "the show ended before the second part"
    [[ -n "$(box_window)" ]] && fail "the show ended before the second part"
    # Real key input (XTEST) to the show's window, which takes the focus first.
    xdotool windowfocus --sync "$(show_window)"
    xdotool key Escape
    echo "Escape sent at $(calc "$(now) - $started")s"
    expected=$escape_at
    ;;
  *) fail "unknown mode $mode" ;;
esac

limit=$(calc "$expected * 1.05 + 5")
wait_for_window box_window "$limit" "$started" "the show exited without a \"Done!\" box" \
  "no \"Done!\" box after ${limit}s"
elapsed=$(calc "$(now) - $started")
echo "\"Done!\" box after ${elapsed}s (expected ${expected}s)"
# Escape closes the window; at the song's end it stays up (only the mode is restored).
if [[ $mode == escape_in_second_part && -n "$(show_window)" ]]; then
  fail "the show's window is still open under the \"Done!\" box"
fi
low=$(calc "$expected * 0.95")
high=$(calc "$expected * 1.05 + 1")  # plus loading and start-up
[[ $(calc "$elapsed >= $low && $elapsed <= $high") == 1 ]] ||
  fail "ended after ${elapsed}s, not within 5% of ${expected}s"

xdotool key --window "$(box_window)" Return
status=0
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the show did not exit after the box was dismissed"
wait "$pid" || status=$?
pid=
[[ $status -eq 0 ]] || fail "exit status $status"
echo "PASS: $mode"
