#!/usr/bin/env bash
# Runs the tests of the drawing pipeline (effects, scene, parts, final scene) under
# Valgrind's memcheck, from the normal build: their checking renderer branches on every
# value handed to it, so a drawn value that was never initialised is reported. Exits
# non-zero on any finding or failed test. Left out: the allocation-counting tests (memcheck
# replaces the allocator they count) and the ones drawing through real OpenGL (the drawing
# checked here is the recording renderer's; ctest runs those on a display).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${MEMCHECK_BUILD_DIR:-$root/build}
source "$root/scripts/steps/checked-run-report.sh"

if ! command -v valgrind >/dev/null; then
  echo "memcheck: valgrind is not installed (scripts/setup.sh installs it)"
  exit 1
fi
status=0
summary=()
# target, gtest filter
runs=("test_fx -NoAllocation.*:ScreenDrawGlTest.*" "test_scene *" "test_parts *")
for run in "${runs[@]}"; do
  read -r target filter <<<"$run"
  binary="$build/tests/$target"
  if [[ ! -x "$binary" ]]; then
    summary+=("$target: NOT BUILT ($binary)")
    status=1
    continue
  fi
  log="$build/$target.memcheck.log"
  (cd "$build" && valgrind -q --error-exitcode=86 --track-origins=yes "$binary" --gtest_filter="$filter" \
    --gtest_brief=1) >"$log" 2>&1
  # An error report starts with a capitalised line right after the pid (its stack follows
  # indented); Valgrind's own warnings are not findings.
  report_checked_run "$target" $? "$log" "^==[0-9]+== [A-Z]" memcheck
done

echo "Memcheck run (Valgrind):"
printf '  %s\n' "${summary[@]}"
exit $status
