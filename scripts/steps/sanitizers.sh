#!/usr/bin/env bash
# Builds the tests of the readers of untrusted files (PNG loader, 3DS reader) and the
# program with AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize, runs the
# tests, then the whole show off screen in lockstep (every part and the final scene through
# real OpenGL, a private Xvfb when there is no display) at a small size, captured and with
# a frame written in every part, LeakSanitizer checking at exit. Exits non-zero on any
# finding or failed test. Third-party leaks are suppressed in lsan-suppressions.txt.
# Usage: sanitizers.sh [--build-only]
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${SANITIZE_BUILD_DIR:-$root/build-sanitize}
source "$root/scripts/steps/checked-run-report.sh"
jobs=${SANITIZE_JOBS:-2}

# Line tables (-g1) are all a report's stack needs, and compile much faster than full
# debugging information.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
  -DORANGEFUNK_SANITIZE=ON -DORANGEFUNK_BENCH=OFF >/dev/null || { echo "sanitizers: configure failed"; exit 1; }

export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:exitcode=86
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:exitcode=86
status=0
summary=()
# target, gtest filter
runs=("test_gfx Png*:PixelFormat*" "test_import *")
# --build-only: builds what the runs below use and runs nothing (the test command builds it
# beside ctest, so that this step finds it built).
if [[ "${1:-}" == --build-only ]]; then
  cmake --build "$build" --target "${runs[@]%% *}" orangefunk -- -j"$jobs" >"$build/build-only.log" 2>&1 ||
    { tail -30 "$build/build-only.log"; echo "sanitizers: FAILED (build; log: $build/build-only.log)"; exit 1; }
  exit 0
fi
for run in "${runs[@]}"; do
  read -r target filter <<<"$run"
  if ! ninja -C "$build" -t query "$target" >/dev/null 2>&1; then
    summary+=("$target: FAILED (no such target in $build)")
    status=1
    continue
  fi
  if ! cmake --build "$build" --target "$target" -- -j"$jobs" >"$build/$target.build.log" 2>&1; then
    tail -30 "$build/$target.build.log"
    summary+=("$target: BUILD FAILED (log: $build/$target.build.log)")
    status=1
    continue
  fi
  log="$build/$target.sanitize.log"
  (cd "$build" && "$build/tests/$target" --gtest_filter="$filter" --gtest_brief=1) >"$log" 2>&1
  report_checked_run "$target" $? "$log" "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:" sanitizer
done

# The whole show, from the data folder of the normal build.
data=${DATA_DIR:-$root/build/data}
if [[ ! -f $data/funk.it ]]; then
  summary+=("orangefunk: FAILED (no show data in $data: build it with scripts/build.sh)")
  status=1
elif ! cmake --build "$build" --target orangefunk -- -j"$jobs" >"$build/orangefunk.build.log" 2>&1; then
  tail -30 "$build/orangefunk.build.log"
  summary+=("orangefunk: BUILD FAILED (log: $build/orangefunk.build.log)")
  status=1
else
  out=$(mktemp -d)
  log="$build/orangefunk.sanitize.log"
  started=$SECONDS
  (cd "$data" && SDL_AUDIODRIVER=dummy \
    LSAN_OPTIONS="suppressions=$root/scripts/steps/lsan-suppressions.txt:print_suppressions=0" \
    "$build/orangefunk" --size 320x240 --capture "$out/show.mp4" --frames "$out/frames" \
    --at 1:0,4:0,10:0,16:0,19:0,24:0,27:0,30:0,32:120) >"$log" 2>&1
  rc=$?
  rm -rf "$out"
  report_checked_run "orangefunk (whole show, $((SECONDS - started)) s)" $rc "$log" \
    "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:" sanitizer
fi

echo "Sanitizer run (AddressSanitizer + UndefinedBehaviorSanitizer):"
printf '  %s\n' "${summary[@]}"
exit $status
