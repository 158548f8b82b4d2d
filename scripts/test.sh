#!/usr/bin/env bash
# Installs what is missing, builds everything (the browser and Windows builds too) and runs every test
# (under Xvfb when there is no display; the browser's in headless Chromium), then the
# Debian package installed, run and removed, the sanitizer builds of the tests that handle
# untrusted input, the readers fuzzed for a bounded time, the show's threads under
# ThreadSanitizer and the drawing pipeline's tests under memcheck. Ends with a summary:
# each step, every test that failed or did not run and why, each step's wall time and the
# ten slowest tests. Only the third-party files of ../shared/testdata may be missing, and
# only when that folder is: a test skipped while it is there fails the run.
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
# of every process it waited for); returns its status.
with_cpu() {
  local TIMEFORMAT='%U %S'
  { time "$@" 2>&4; } 4>&2 2>"$cpu_file"
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
# Starts step $1 as the command that follows, in the background; with AFTER set, once the
# step of that name, started beside before it, has ended.
start_beside() {
  local name=$1 after=${AFTER:-}
  shift
  (
    [[ -z $after ]] || while [[ ! -e "$beside/$after.result" ]]; do sleep 1; done
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
timed "set-up and installs" "$root/scripts/setup.sh"
# The browser's and the Windows libraries (built once per machine, then found in their
# caches) build one after the other (each may install packages) beside the native build,
# which leaves a core idle while it configures, links and generates the data; web.sh and
# windows.sh then find them built.
start_beside "browser libraries" bash -c '"$1" >/dev/null' web-deps "$root/scripts/helpers/web-deps.sh"
AFTER="browser libraries" start_beside "windows libraries" bash -c '"$1" >/dev/null' windows-deps \
  "$root/scripts/helpers/windows-deps.sh"
timed "native build" "$root/scripts/build.sh"
join_beside "browser libraries" "beside the native build"
join_beside "windows libraries" "beside the native build"
# The browser build and the tools of its tests; when this fails, the web tests say so.
step "browser build" "$root/scripts/web.sh" --test-tools
# The Windows build, with MinGW-w64 and Wine; when this fails, the windows tests say so.
step "windows build" "$root/scripts/windows.sh"
ctest_log=$build/ctest.log
# The later steps' builds (the sanitizers', the fuzz targets', ThreadSanitizer's) beside
# ctest, at the lowest priority: they take only what the tests leave idle (real-time play,
# the serial tests' other core), so the tests run as they would alone.
start_beside "later steps' builds" nice -n 19 bash -c '"$1" --build-only && "$2" --build-only && "$3" --build-only' \
  builds "$root/scripts/steps/sanitizers.sh" "$root/scripts/steps/fuzz.sh" "$root/scripts/steps/threads.sh"
step ctest bash -c 'set -o pipefail; "$1" ctest --test-dir "$2" --output-on-failure -j2 2>&1 | tee "$3"' \
  ctest "$root/scripts/helpers/with-display.sh" "$build" "$ctest_log"
join_beside "later steps' builds" "beside ctest"
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
# "Skipped"), from CTest's log of the run.
skipped=$(awk '
  /^[0-9]+\/[0-9]+ Test: / { name = $3; next }
  reason == "?" { reason = $0 }
  / Skipped$/ { reason = "?" }
  /^Test (Passed|Failed|Skipped|Not Run)/ || /^<end of output>/ {
    if (reason != "") print "  " name ": " reason
    reason = ""
  }' "$build/Testing/Temporary/LastTest.log" 2>/dev/null | sort -u || true)
if [[ -n "$skipped" && -d "$root/../shared/testdata" ]]; then
  steps+=("skips: FAILED (tests skipped although ../shared/testdata is there)")
  status=1
fi

echo
echo "=== test summary"
printf 'test: %s\n' "${steps[@]}"
grep -E 'tests passed, [0-9]+ tests failed' "$ctest_log" || echo "test: ctest printed no result"
sed -n '/^The following tests FAILED:/,/^Errors while running/p' "$ctest_log" | grep -E '^[[:space:]]+[0-9]+ - ' || true
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
  awk -F '\t' '{ printf "  %-46s %5d %6d\n", $1, $2, $3 }'
awk -v busy=$((busy_after - busy_before)) -v idle=$((idle_after - idle_before)) -v cores="$(nproc)" \
  'BEGIN { if (busy + idle > 0) printf "test: the machine'"'"'s %d cores were busy %.0f %% of the time\n", cores, 100 * busy / (busy + idle) }'
# CTest's line per test ("  3/240 Test  #12: name .....   Passed   41.20 sec"), slowest first.
echo "test: the ten slowest tests, in seconds:"
sed -nE 's/^ *[0-9]+\/[0-9]+ +Test +#[0-9]+: ([^ ]+) .* ([0-9]+\.[0-9]+) sec$/\2 \1/p' "$ctest_log" 2>/dev/null |
  sort -rn | head -n 10 | awk '{ printf "  %7.1f  %s\n", $1, $2 }'
# CTest counts a skipped test among the passed ones ("N% tests passed, F tests failed out of T").
count_skipped=$(grep -c . <<<"$skipped" || true)
result=$(grep -oE '[0-9]+ tests failed out of [0-9]+' "$ctest_log" | tail -n 1 || true)
failed=${result%% *} total=${result##* }
echo "tests: $((${total:-0} - ${failed:-0} - count_skipped)) passed, ${failed:-0} failed, $count_skipped skipped"
exit $status
