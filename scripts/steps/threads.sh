#!/usr/bin/env bash
# Builds the program with ThreadSanitizer (clang 14) in build-threads and runs its threads
# through their paths: a capture interrupted by SIGINT (the writer thread and the encoders'
# own), frame dumps in lockstep, and real-time play in a window on a private Xvfb, once on
# the silent clock and once through a private PulseAudio null sink (the audio thread and
# its row syncs), driven by keys: pause, a jump each way, full screen and back, volume.
# Every step waits on what it needs (a line of output, a window, the window's picture), not
# for a fixed time: a loaded machine makes the run slower, never failed.
# Fails on any report whose racing access (or thread, or lock) is in the show's own code,
# or lies in a library tsan-libraries.txt does not name with its reason.
# Usage: threads.sh [--build-only]   (the internal form `threads.sh play LOG` plays once)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${THREADS_BUILD_DIR:-$root/build-threads}
data=${DATA_DIR:-$root/build/data}
jobs=${THREADS_JOBS:-2}
symbolizer=/usr/lib/llvm-14/bin/llvm-symbolizer
# After any report the sanitizer ends the program with this status instead of its own; the
# reports are judged below, so it stands for the status expected.
reported=66
export TSAN_OPTIONS="halt_on_error=0 exitcode=$reported second_deadlock_stack=1 external_symbolizer_path=$symbolizer"
# True when status $1 is $2, or the sanitizer's in its place.
ended() { [[ $1 -eq $2 || $1 -eq $reported ]]; }

# Waits until the command that follows succeeds, polling; gives up (status 1) only after
# $1 seconds, a bound no slow machine reaches: a wait ends on what it waits for, not a time.
wait_until() {
  local bound=$1 begun=$SECONDS
  shift
  until "$@"; do
    ((SECONDS - begun < bound)) || return 1
    sleep 0.2
  done
}
# The X window whose title is $1, when there is one.
window_titled() { xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\":" 'index($0, t) { print $1; exit }'; }
# The size of window $1 as WxH, and where it is on the screen as +X,Y.
window_size() { xwininfo -id "$1" 2>/dev/null | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }
window_place() { xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 } END { print "+" x "," y }'; }
# A checksum of what window $1 shows on the screen now.
picture() {
  ffmpeg -nostdin -v error -f x11grab -video_size "$(window_size "$1")" -i "$DISPLAY$(window_place "$1")" \
    -frames:v 1 -f md5 - 2>/dev/null
}
# Waits until window $1 of program $2 has shown two new pictures: the show has drawn on,
# and so read the keys sent before (it reads its events before each frame).
drawn_on() {
  local before now changes=0 begun=$SECONDS
  before=$(picture "$1")
  while ((changes < 2)); do
    kill -0 "$2" 2>/dev/null && ((SECONDS - begun < 600)) || return 1
    now=$(picture "$1")
    [[ $now != "$before" ]] && changes=$((changes + 1))
    before=$now
  done
}
# Waits until window $1 of program $2 shows the same picture twice over half a second: the
# show is held.
held() {
  local before now begun=$SECONDS
  now=$(picture "$1")
  while kill -0 "$2" 2>/dev/null && ((SECONDS - begun < 600)); do
    before=$now
    sleep 0.5
    now=$(picture "$1")
    [[ $now == "$before" ]] && return 0
  done
  return 1
}
# True when window $1 is (or, with $2 = not, is no longer) as large as the screen.
screen_filled() {
  local screen
  screen=$(xwininfo -root | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
  if [[ ${2:-} == not ]]; then [[ $(window_size "$1") != "$screen" ]]; else [[ $(window_size "$1") == "$screen" ]]; fi
}

# Real-time play from order 24 in a window on this display, keys sent as a person would
# (XTEST to the focused window), each once the show has shown what the one before did;
# the "Done!" box after Escape is dismissed with Return. Standard error goes to $1.
play() {
  local log=$1 pid window box key paused=0 full=0
  (cd "$data" && exec "$build/orangefunk" --window --from 24) >/dev/null 2>"$log" &
  pid=$!
  found_window() { window=$(window_titled "Windows example title"); [[ -n $window ]] || ! kill -0 $pid 2>/dev/null; }
  wait_until 600 found_window
  [[ -n $window ]] || { echo "threads: no show window"; kill $pid 2>/dev/null; return 1; }
  xdotool windowfocus --sync "$window"
  drawn_on "$window" $pid
  # Pause and resume, a part on and back, full screen and back, volume down, up, mute.
  for key in space space Right Left f f minus plus m m; do
    xdotool key "$key"
    case $key in
      space) if [[ $paused == 0 ]]; then paused=1; held "$window" $pid; else paused=0; drawn_on "$window" $pid; fi ;;
      f)
        if [[ $full == 0 ]]; then full=1; wait_until 600 screen_filled "$window"; else
          full=0; wait_until 600 screen_filled "$window" not; xdotool windowfocus --sync "$window"; fi
        drawn_on "$window" $pid
        ;;
      *) drawn_on "$window" $pid ;;
    esac
  done
  xdotool key Escape
  found_box() { box=$(window_titled "System message:"); [[ -n $box ]] || ! kill -0 $pid 2>/dev/null; }
  wait_until 600 found_box
  [[ -n $box ]] && xdotool key --window "$box" Return
  ended_by_itself() { ! kill -0 $pid 2>/dev/null; }
  wait_until 600 ended_by_itself || { echo "threads: the show did not end"; kill -KILL $pid; }
  wait $pid
}
if [[ ${1:-} == play ]]; then
  play "$2"
  exit
fi

# Prints one line per report: "ours", "library NAMES" or "unknown", a tab, then the report's
# title. A report's accesses (or its threads or locks, for reports without accesses) are
# attributed by their first frame outside the sanitizer's runtime: a frame in the program
# (the show's code is linked into it) is ours; otherwise the library's file name.
classify() {
  awk -v program="$(basename "$build/orangefunk")" '
    function finish() {
      if (!inReport) return
      verdict = ""
      if (ours) verdict = "ours"
      else if (library == "") verdict = "unknown"
      else verdict = "library " library
      print verdict "\t" title
      inReport = 0
    }
    /^WARNING: ThreadSanitizer:/ { finish(); inReport = 1; title = $0; ours = 0; library = ""; seen = 0; accesses = 0; next }
    !inReport { next }
    /^SUMMARY: ThreadSanitizer/ { finish(); next }
    /^  [^ ]/ {
      # A section: context (where memory, a thread or a mutex came from) or an access.
      context = ($0 ~ /^  (Location is|Thread T[0-9]+ .*created|Mutex .*created at|Mutex M[0-9]+ \(|As if synchronized)/)
      if (!context) accesses++
      seen = 0
      next
    }
    /^    #[0-9]+ / {
      if (seen) next
      if (context && accesses > 0) next
      if (!match($0, /\([^ ()]+\+0x[0-9a-f]+\)/)) next
      module = substr($0, RSTART + 1, RLENGTH - 2)
      sub(/\+0x.*/, "", module); sub(/.*\//, "", module)
      # The sanitizer runtime (its interceptors) is linked into the program without sources.
      if (module == program && $0 ~ / <null> \([^ ()]+\+0x[0-9a-f]+\)/) next
      seen = 1
      if (module == program) ours = 1
      else if (index("," library ",", "," module ",") == 0) library = (library == "" ? module : library "," module)
    }
    END { finish() }'
}

failures=()
note() { failures+=("$1"); }

if [[ ! -x $symbolizer ]]; then
  echo "threads: no $symbolizer (scripts/setup.sh installs clang)"
  exit 1
fi
if [[ ! -f $data/funk.it ]]; then
  echo "threads: FAILED (no show data in $data: build it with scripts/build.sh)"
  exit 1
fi
mkdir -p "$build"
started=$SECONDS
# Line tables (-g1) are all a report's stack needs, and compile much faster than full
# debugging information.
if ! CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
  -DCMAKE_C_FLAGS=-fsanitize=thread -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread \
  -DORANGEFUNK_TESTS=OFF -DORANGEFUNK_BENCH=OFF >"$build/configure.log" 2>&1; then
  tail -20 "$build/configure.log"
  echo "threads: FAILED (configure; log: $build/configure.log)"
  exit 1
fi
if ! cmake --build "$build" --target orangefunk -- -j"$jobs" >"$build/orangefunk.build.log" 2>&1; then
  tail -30 "$build/orangefunk.build.log"
  echo "threads: FAILED (build; log: $build/orangefunk.build.log)"
  exit 1
fi
built=$((SECONDS - started))
# --build-only: the program built, nothing run (the test command builds it beside ctest).
[[ "${1:-}" == --build-only ]] && exit 0
out=$build/runs
rm -rf "$out"
mkdir -p "$out"
started=$SECONDS

# The capture, interrupted: the file is finished and the status is the signal's. Started
# as a job of its own (set -m): a script's background commands otherwise ignore SIGINT.
set -m
(cd "$data" && SDL_AUDIODRIVER=dummy exec "$build/orangefunk" --size 320x240 --capture "$out/capture.mp4" --from 24) \
  >/dev/null 2>"$out/capture.log" &
pid=$!
set +m
# Interrupted once 600 frames (10 s of the show) are in: the writer and encoders are busy.
captured() {
  awk '/ frames  order / { n = $0; sub(/^.*\] */, "", n); if (n + 0 >= 600) found = 1 } END { exit !found }' \
    "$out/capture.log" || ! kill -0 $pid 2>/dev/null
}
wait_until 600 captured
kill -INT $pid 2>/dev/null || note "capture: ended before the interrupt"
wait $pid
rc=$?
grep -q "stopped at order" "$out/capture.log" || note "capture: the interrupt did not stop it"
ended $rc 130 && [[ -s $out/capture.mp4 ]] || note "capture interrupted: exit $rc, $(stat -c %s "$out/capture.mp4" 2>/dev/null || echo no) bytes"

# Frame dumps in lockstep through two parts.
(cd "$data" && SDL_AUDIODRIVER=dummy "$build/orangefunk" --size 320x240 --from 22 --to 24:8 \
  --frames "$out/frames" --at 22:8,24:4) >/dev/null 2>"$out/frames.log"
rc=$?
ended $rc 0 || note "frames: exit $rc"
[[ -f $out/frames/frame-22-008.png && -f $out/frames/frame-24-004.png ]] || note "frames: not written"

# Real-time play on the silent clock (an audio driver that does not exist), then through
# a sound server.
SDL_AUDIODRIVER=none "$root/scripts/helpers/with-display.sh" "$0" play "$out/silent.log"
rc=$?
ended $rc 0 || note "play, silent clock: exit $rc"
grep -q "no sound device (.*): the show plays without sound" "$out/silent.log" || note "play, silent clock: the silent clock did not run"
"$root/scripts/helpers/with-sound.sh" "$root/scripts/helpers/with-display.sh" "$0" play "$out/sound.log"
rc=$?
ended $rc 0 || note "play, sound server: exit $rc"
grep -q "no sound device" "$out/sound.log" && note "play, sound server: no sound device"

# Every report, attributed.
ours=0
unlisted=0
declare -A suppressed=()
# The listed libraries: file name beginnings, one a line.
listed=$(grep -vE '^\s*(#|$)' "$root/scripts/steps/tsan-libraries.txt")
for log in "$out"/*.log; do
  while IFS=$'\t' read -r verdict title; do
    case $verdict in
      ours) ours=$((ours + 1)); echo "$(basename "$log"): $title in the show's code" ;;
      library\ *)
        libraries=${verdict#library }
        all=1
        for library in ${libraries//,/ }; do
          known=0
          for prefix in $listed; do [[ $library == "$prefix"* ]] && known=1; done
          [[ $known -eq 1 ]] || all=0
        done
        if [[ $all -eq 1 ]]; then
          suppressed[$libraries]=$((${suppressed[$libraries]:-0} + 1))
        else
          unlisted=$((unlisted + 1))
          echo "$(basename "$log"): $title in $libraries (not listed in tsan-libraries.txt)"
        fi
        ;;
      *) unlisted=$((unlisted + 1)); echo "$(basename "$log"): $title, not attributed" ;;
    esac
  done < <(classify <"$log")
done
[[ $ours -eq 0 ]] || note "$ours reports in the show's code"
[[ $unlisted -eq 0 ]] || note "$unlisted reports in libraries not listed"

echo "Thread run (ThreadSanitizer; build $built s, runs $((SECONDS - started)) s; logs: $out):"
echo "  scenarios: capture interrupted by SIGINT, frames in lockstep, real-time play with keys on the silent clock and through a sound server"
echo "  reports in the show's code: $ours; in libraries not listed: $unlisted"
for libraries in "${!suppressed[@]}"; do echo "  suppressed, wholly in $libraries: ${suppressed[$libraries]}"; done
if [[ ${#failures[@]} -gt 0 ]]; then
  printf '  FAILED: %s\n' "${failures[@]}"
  exit 1
fi
echo "  ok"
