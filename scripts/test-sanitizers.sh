#!/usr/bin/env bash
# Builds the tests of the readers of untrusted files (PNG loader, 3DS reader) with
# AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize and runs them; exits
# non-zero on any finding or failed test. Only those two test targets are built.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SANITIZE_BUILD_DIR:-$root/build-sanitize}
source "$root/scripts/checked-run-report.sh"
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
  report_checked_run "$target" $? "$log" "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:" sanitizer
done

echo "Sanitizer run (AddressSanitizer + UndefinedBehaviorSanitizer):"
printf '  %s\n' "${summary[@]}"
exit $status
