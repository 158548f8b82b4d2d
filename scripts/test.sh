#!/usr/bin/env bash
# Installs what is missing, builds everything (the browser and Windows builds too) and runs every test
# (under Xvfb when there is no display; the browser's in headless Chromium), then the
# Debian package installed, run and removed, the sanitizer builds of the tests that handle
# untrusted input, the readers fuzzed for a bounded time, the show's threads under
# ThreadSanitizer and the drawing pipeline's tests under memcheck. Ends with a summary:
# each step, every test that failed or did not run and why. Only the third-party files of
# ../shared/testdata may be missing, and only when that folder is: a test skipped while it
# is there fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
started=$SECONDS
status=0
steps=()
# Each step's wall time, "name<TAB>seconds", in the order the steps ended.
times=()
# Runs $2... as step $1, noting its wall time; a failure ends the whole command.
timed() {
  local name=$1 begun=$SECONDS
  shift
  "$@"
  times+=("$name"$'\t'"$((SECONDS - begun))")
}
# Runs step $1 (a name) as the command that follows, noting how it ended and its wall time.
step() {
  local name=$1 rc=0 begun=$SECONDS
  shift
  "$@" || rc=$?
  times+=("$name"$'\t'"$((SECONDS - begun))")
  if [[ $rc -eq 0 ]]; then steps+=("$name: ok"); else steps+=("$name: FAILED (exit $rc)"); status=1; fi
}
timed "set-up and installs" "$root/scripts/setup.sh"
timed "native build" "$root/scripts/build.sh"
# The browser build and the tools of its tests; when this fails, the web tests say so. Its
# libraries first, on their own, for their time (web.sh finds them built).
step "browser libraries" bash -c '"$1" >/dev/null' web-deps "$root/scripts/web-deps.sh"
step "browser build" "$root/scripts/web.sh" --test-tools
# The Windows build, with MinGW-w64 and Wine; when this fails, the windows tests say so.
step "windows libraries" bash -c '"$1" >/dev/null' windows-deps "$root/scripts/windows-deps.sh"
step "windows build" "$root/scripts/windows.sh"
ctest_log=$build/ctest.log
step ctest bash -c 'set -o pipefail; "$1" ctest --test-dir "$2" --output-on-failure -j2 2>&1 | tee "$3"' \
  ctest "$root/scripts/with-display.sh" "$build" "$ctest_log"
# Memcheck runs one Valgrind process at a time from the normal build: it goes beside the
# steps that follow, which leave a core idle for long stretches (apt-get, the sanitizer and
# thread runs, real-time play), its output kept in a file and shown after them.
beside=$(mktemp -d)
(
  begun=$SECONDS rc=0
  "$root/scripts/test-memcheck.sh" >"$beside/output" 2>&1 || rc=$?
  echo "$rc $((SECONDS - begun))" >"$beside/result"
) &
memcheck=$!
step package "$root/scripts/test-package.sh"
step sanitizers "$root/scripts/test-sanitizers.sh"
step fuzz "$root/scripts/test-fuzz.sh"
step threads "$root/scripts/test-threads.sh"
wait $memcheck || true
cat "$beside/output"
read -r rc seconds <"$beside/result" || rc=1 seconds=0
step memcheck bash -c "exit $rc"
times[-1]="memcheck (beside those)"$'\t'"$seconds"
rm -rf "$beside"

# Every test that did not run, with the reason its output gave (GoogleTest's line after
# "Skipped"), from CTest's log of the run.
skipped=$(awk '
  /^[0-9]+\/[0-9]+ Test: / { name = $3; next }
  reason == "?" { reason = $0 }
  / Skipped$/ { reason = "?" }
  /^Test (Passed|Failed|Skipped|Not Run)/ || /^<end of output>/ {
    if (reason != "") print "  " name ": " reason
    reason = ""
  }' "$build/Testing/Temporary/LastTest.log" 2>/dev/null | sort -u)
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
echo "test: wall time of each step, in seconds:"
printf '%s\n' "${times[@]}" "whole command"$'\t'"$((SECONDS - started))" | awk -F '\t' '{ printf "  %-22s %5d\n", $1, $2 }'
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
