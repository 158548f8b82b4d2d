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
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
status=0
steps=()
# Runs step $1 (a name) as the command that follows, noting how it ended.
step() {
  local name=$1 rc=0
  shift
  "$@" || rc=$?
  if [[ $rc -eq 0 ]]; then steps+=("$name: ok"); else steps+=("$name: FAILED (exit $rc)"); status=1; fi
}
# The browser build and the tools of its tests; when this fails, the web tests say so.
step "browser build" "$root/scripts/web.sh" --test-tools
# The Windows build, with MinGW-w64 and Wine; when this fails, the windows tests say so.
step "windows build" "$root/scripts/windows.sh"
ctest_log=$build/ctest.log
step ctest bash -c 'set -o pipefail; "$1" ctest --test-dir "$2" --output-on-failure -j2 2>&1 | tee "$3"' \
  ctest "$root/scripts/with-display.sh" "$build" "$ctest_log"
step package "$root/scripts/test-package.sh"
step sanitizers "$root/scripts/test-sanitizers.sh"
step fuzz "$root/scripts/test-fuzz.sh"
step threads "$root/scripts/test-threads.sh"
step memcheck "$root/scripts/test-memcheck.sh"

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
# CTest counts a skipped test among the passed ones ("N% tests passed, F tests failed out of T").
count_skipped=$(grep -c . <<<"$skipped" || true)
result=$(grep -oE '[0-9]+ tests failed out of [0-9]+' "$ctest_log" | tail -n 1 || true)
failed=${result%% *} total=${result##* }
echo "tests: $((${total:-0} - ${failed:-0} - count_skipped)) passed, ${failed:-0} failed, $count_skipped skipped"
exit $status
