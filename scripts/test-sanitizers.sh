#!/usr/bin/env bash
# Builds the tests of the readers of untrusted files (PNG loader, 3DS reader) with
# AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize and runs them; exits
# non-zero on any finding or failed test. Only those two test targets are built.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SANITIZE_BUILD_DIR:-$root/build-sanitize}
jobs=${SANITIZE_JOBS:-2}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORANGEFUNK_SANITIZE=ON -DORANGEFUNK_BENCH=OFF >/dev/null || { echo "sanitizers: configure failed"; exit 1; }

export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:exitcode=86
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:exitcode=86
status=0
summary=()
# target, gtest filter
runs=("test_gfx Png*:PixelFormat*" "test_import *")
for run in "${runs[@]}"; do
  read -r target filter <<<"$run"
  if ! ninja -C "$build" -t query "$target" >/dev/null 2>&1; then
    summary+=("$target: skipped (no such target yet)")
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
  rc=$?
  findings=$(grep -cE "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:" "$log")
  passed=$(grep -oE "\[  PASSED  \] [0-9]+" "$log" | grep -oE "[0-9]+$" || echo 0)
  if [[ $rc -ne 0 || $findings -ne 0 ]]; then
    grep -E -A25 "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:|\[  FAILED  \]" "$log" | head -80
    summary+=("$target: FAILED (exit $rc, $findings sanitizer findings; log: $log)")
    status=1
  else
    summary+=("$target: ok, ${passed:-0} tests passed, no sanitizer findings")
  fi
done

echo "Sanitizer run (AddressSanitizer + UndefinedBehaviorSanitizer):"
printf '  %s\n' "${summary[@]}"
exit $status
