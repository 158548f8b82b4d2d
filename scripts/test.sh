#!/usr/bin/env bash
# Installs what is missing, builds everything (the browser and Windows builds too) and runs every test
# (in groups, each on an Xvfb screen of its own; the browser's in Chromium and Firefox), then the
# Debian package installed, run and removed, the sanitizer builds of the tests that handle
# untrusted input, the readers fuzzed for a bounded time, the show's threads under
# ThreadSanitizer and the drawing pipeline's tests under memcheck. Ends with a summary:
# each step, every test that failed or did not run and why, each step's wall and processor
# time, how busy the cores were and the ten slowest tests. Only the third-party files of
# ../shared/testdata may be missing, and only when that folder is: a test skipped while it
# is there fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
started=$SECONDS
# The machine's processor time so far, busy and idle, in clock ticks (/proc/stat's first line:
# user nice system idle iowait ...): how full the cores were, whatever ran.
machine_ticks() { awk '/^cpu / { print $2 + $3 + $4 + $7 + $8 + $9, $5 + $6 }' /proc/stat; }
read -r busy_before idle_before < <(machine_ticks)
status=0
steps=()
# Each step's wall and processor time, "name<TAB>seconds<TAB>seconds", in the order the
# steps ended.
times=()
cpu_file=$(mktemp)
# Runs the command that follows, leaving in $cpu_file its processor seconds (user and system,
# of every process it waited for); returns its status. In a subshell of its own: this shell
# also reaps the steps beside when they end, which bash's `time` would count in.
with_cpu() {
  (
    TIMEFORMAT='%U %S'
    { time "$@" 2>&4; } 4>&2 2>"$cpu_file"
  )
}
# The processor seconds with_cpu left in file $1, whole.
cpu_seconds() { awk '{ printf "%d", $1 + $2 + 0.5 }' "$1" 2>/dev/null || echo 0; }
# Runs $2... as step $1, noting its times; a failure ends the whole command.
timed() {
  local name=$1 begun=$SECONDS
  shift
  with_cpu "$@"
  times+=("$name"$'\t'"$((SECONDS - begun))"$'\t'"$(cpu_seconds "$cpu_file")")
}
# Runs step $1 (a name) as the command that follows, noting how it ended and its times.
step() {
  local name=$1 rc=0 begun=$SECONDS
  shift
  with_cpu "$@" || rc=$?
  times+=("$name"$'\t'"$((SECONDS - begun))"$'\t'"$(cpu_seconds "$cpu_file")")
  if [[ $rc -eq 0 ]]; then steps+=("$name: ok"); else steps+=("$name: FAILED (exit $rc)"); status=1; fi
}
# A step beside the others: its output kept in a folder of its own and shown when joined.
beside=$(mktemp -d)
trap 'rm -rf "$beside" "$cpu_file"' EXIT
# Starts step $1 as the command that follows, in the background; with AFTER set (names
# separated by commas), once the steps of those names, started beside before it, have ended.
start_beside() {
  local name=$1 after=${AFTER:-} waited
  shift
  (
    IFS=, read -ra waited <<<"$after"
    for after in "${waited[@]}"; do
      while [[ ! -e "$beside/$after.result" ]]; do sleep 1; done
    done
    begun=$SECONDS rc=0 cpu_file=$beside/$name.cpu
    with_cpu "$@" >"$beside/$name.output" 2>&1 || rc=$?
    echo "$rc $((SECONDS - begun)) $(cpu_seconds "$cpu_file")" >"$beside/$name.result"
  ) &
  echo $! >"$beside/$name.pid"
}
# Waits for step $1 started beside, shows its output and notes it as a step ("$2" is said
# of its time: what it ran beside).
join_beside() {
  local name=$1 rc seconds cpu
  wait "$(cat "$beside/$name.pid")" || true
  cat "$beside/$name.output"
  read -r rc seconds cpu <"$beside/$name.result" || { rc=1 seconds=0 cpu=0; }
  step "$name" bash -c "exit $rc"
  times[-1]="$name ($2)"$'\t'"$seconds"$'\t'"$cpu"
}
# The groups of tests CTest runs, each from the build folder of its tests (CTest keeps a
# group's log of the run in its own Testing/Temporary there, so groups run side by side keep
# theirs apart): the end-to-end, the Windows and the browser tests, and the native ones.
ctest_groups=(native e2e windows web)
declare -A ctest_dirs=([native]=$build/tests [e2e]=$build/tests/e2e [windows]=$build/tests/windows
                       [web]=$build/tests/web)
for group in "${ctest_groups[@]}"; do
  rm -f "$build/ctest-$group.log" "${ctest_dirs[$group]}/Testing/Temporary/LastTest.log"
done
# Runs CTest over test group $1 (arguments after it go to CTest) on an Xvfb screen of its
# own, so that key presses of one group never reach another's windows; its lines go to
# ctest-$1.log of the build folder too.
ctest_group() {
  local group=$1
  shift
  WITH_DISPLAY_SCREEN=1280x1024 bash -c 'set -o pipefail
    "$1" env -u WITH_DISPLAY_SCREEN ctest --test-dir "$2" --output-on-failure "${@:4}" 2>&1 | tee "$3"' \
    ctest "$root/scripts/helpers/with-display.sh" "${ctest_dirs[$group]}" "$build/ctest-$group.log" "$@"
}
timed "set-up and installs" "$root/scripts/setup.sh"
# Everything that builds or runs for long goes beside the rest as soon as what it needs is
# there, so that both cores stay busy; only the later steps' builds, needed last, take the
# lowest priority. The browser's and the Windows libraries (built once per machine, then
# found in their caches) build side by side and beside the native build; web.sh and
# windows.sh then find them built.
start_beside "browser libraries" bash -c '"$1" >/dev/null' web-deps "$root/scripts/helpers/web-deps.sh"
start_beside "windows libraries" bash -c '"$1" >/dev/null' windows-deps "$root/scripts/helpers/windows-deps.sh"
timed "native build" "$root/scripts/build.sh"
# The end-to-end tests play the show in real time (little processor, much wall time): they
# start as soon as the native build is there.
start_beside "ctest: end-to-end tests" ctest_group e2e
# The cross builds, each once its libraries are built (and the native build, whose data they
# take, checking it with Ninja: so one after the other): the browser build with the tools
# of its tests first, as its tests come last, then the Windows build, whose tests run beside
# (Wine, mostly real time). When a build fails, its tests say so.
AFTER="browser libraries" start_beside "browser build" "$root/scripts/web.sh" --test-tools
AFTER="browser build,windows libraries" start_beside "windows build" "$root/scripts/windows.sh"
AFTER="windows build" start_beside "ctest: windows tests" ctest_group windows -j2
# The later steps' builds (the sanitizers', the fuzz targets', ThreadSanitizer's), needed
# last, at the lowest priority: they take what the rest leaves idle.
start_beside "later steps' builds" nice -n 19 bash -c '"$1" --build-only && "$2" --build-only && "$3" --build-only' \
  builds "$root/scripts/steps/sanitizers.sh" "$root/scripts/steps/fuzz.sh" "$root/scripts/steps/threads.sh"
step "ctest: native tests" ctest_group native -LE '^(e2e|web|windows)$' -j2
join_beside "browser libraries" "beside the native build"
join_beside "windows libraries" "beside the native build"
join_beside "browser build" "beside the native tests"
join_beside "windows build" "beside the native tests"
# The browser's tests after the native ones, once the builds are done: two of them play in
# real time with no other test of theirs beside.
step "ctest: browser tests" ctest_group web -j2
join_beside "ctest: windows tests" "beside the native tests"
join_beside "ctest: end-to-end tests" "beside everything"
join_beside "later steps' builds" "beside the tests"
# Memcheck runs one Valgrind process at a time from the normal build: it goes beside the
# steps that follow, which leave a core idle for long stretches (apt-get, the sanitizer and
# thread runs, real-time play).
start_beside memcheck "$root/scripts/steps/memcheck.sh"
step package "$root/scripts/steps/package.sh"
step sanitizers "$root/scripts/steps/sanitizers.sh"
step fuzz "$root/scripts/steps/fuzz.sh"
step threads "$root/scripts/steps/threads.sh"
join_beside memcheck "beside package to threads"

# Every test that did not run, with the reason its output gave (GoogleTest's line after
# "Skipped"), from CTest's logs of the runs.
ctest_logs=() run_logs=()
for group in "${ctest_groups[@]}"; do
  ctest_logs+=("$build/ctest-$group.log")
  run_logs+=("${ctest_dirs[$group]}/Testing/Temporary/LastTest.log")
done
skipped=$(cat "${run_logs[@]}" 2>/dev/null | awk '
  /^[0-9]+\/[0-9]+ Test: / { name = $3; next }
  reason == "?" { reason = $0 }
  / Skipped$/ { reason = "?" }
  /^Test (Passed|Failed|Skipped|Not Run)/ || /^<end of output>/ {
    if (reason != "") print "  " name ": " reason
    reason = ""
  }' | sort -u || true)
if [[ -n "$skipped" && -d "$root/../shared/testdata" ]]; then
  steps+=("skips: FAILED (tests skipped although ../shared/testdata is there)")
  status=1
fi

echo
echo "=== test summary"
printf 'test: %s\n' "${steps[@]}"
for group in "${ctest_groups[@]}"; do
  line=$(grep -E 'tests passed, [0-9]+ tests failed' "$build/ctest-$group.log" 2>/dev/null || echo "printed no result")
  echo "ctest ($group): $line"
done
cat "${ctest_logs[@]}" 2>/dev/null | sed -n '/^The following tests FAILED:/,/^Errors while running/p' |
  grep -E '^[[:space:]]+[0-9]+ - ' || true
if [[ -n "$skipped" ]]; then
  echo "test: tests that did not run:"
  echo "$skipped"
fi
# The whole command's processor time: every process the shell waited for (bash's `times`,
# second line: the children's user and system time, as "1m2.345s").
times >"$cpu_file"
whole_cpu=$(awk 'NR == 2 { for (i = 1; i <= 2; ++i) { split($i, t, /[ms]/); s += t[1] * 60 + t[2] } }
  END { printf "%d", s + 0.5 }' "$cpu_file")
read -r busy_after idle_after < <(machine_ticks)
echo "test: wall and processor time of each step, in seconds (processor: user and system, all cores):"
printf '%s\n' "${times[@]}" "whole command"$'\t'"$((SECONDS - started))"$'\t'"$whole_cpu" |
  awk -F '\t' '{ printf "  %-52s %5d %6d\n", $1, $2, $3 }'
awk -v busy=$((busy_after - busy_before)) -v idle=$((idle_after - idle_before)) -v cores="$(nproc)" \
  'BEGIN { if (busy + idle > 0) printf "test: the machine'"'"'s %d cores were busy %.0f %% of the time\n", cores, 100 * busy / (busy + idle) }'
# CTest's line per test ("  3/240 Test  #12: name .....   Passed   41.20 sec"), slowest first.
echo "test: the ten slowest tests, in seconds:"
cat "${ctest_logs[@]}" 2>/dev/null | sed -nE 's/^ *[0-9]+\/[0-9]+ +Test +#[0-9]+: ([^ ]+) .* ([0-9]+\.[0-9]+) sec$/\2 \1/p' |
  sort -rn | head -n 10 | awk '{ printf "  %7.1f  %s\n", $1, $2 }'
# CTest counts a skipped test among the passed ones ("N% tests passed, F tests failed out of T").
count_skipped=$(grep -c . <<<"$skipped" || true)
# Each group's CTest counts its own: the sums.
read -r failed total < <(cat "${ctest_logs[@]}" 2>/dev/null | grep -oE '[0-9]+ tests failed out of [0-9]+' |
  awk '{ f += $1; t += $6 } END { print f + 0, t + 0 }')
echo "tests: $((${total:-0} - ${failed:-0} - count_skipped)) passed, ${failed:-0} failed, $count_skipped skipped"
exit $status
