#!/usr/bin/env bash
# Builds the fuzz targets (tests/fuzz: the 3DS reader, the PNG loader, the module's checks
# and its loading through the music stand-in, the play options) with libFuzzer, clang 14,
# AddressSanitizer and UndefinedBehaviorSanitizer in build-fuzz, and runs each for a
# bounded time from its committed corpus (a copy: the repository is not written), two
# targets side by side. Fails on any finding: a crash, a sanitizer report, an input taking
# over the time limit, or memory over the limits below. A finding's input is left in
# build-fuzz/findings; once fixed, commit it to tests/fuzz/corpus/<target>, where the
# suite's fuzz.corpus replays it.
# Usage: fuzz.sh [--build-only]
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-45}  # per target
jobs=${FUZZ_JOBS:-2}
parallel=${FUZZ_PARALLEL:-2}  # targets fuzzed at once
targets=(3dsload png module options)
# Per input: 10 s; a single allocation: 256 MiB (the largest the loaders' own budgets let
# through is a 64 MiB module file); the whole process: 2 GiB.
limits=(-timeout=10 -malloc_limit_mb=256 -rss_limit_mb=2048)

mkdir -p "$build"
started=$SECONDS
if ! CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORANGEFUNK_FUZZ=ON -DORANGEFUNK_BENCH=OFF >"$build/configure.log" 2>&1; then
  tail -20 "$build/configure.log"
  echo "fuzz: FAILED (configure; log: $build/configure.log)"
  exit 1
fi
if ! cmake --build "$build" --target "${targets[@]/#/fuzz_}" -- -j"$jobs" >"$build/fuzz.build.log" 2>&1; then
  tail -30 "$build/fuzz.build.log"
  echo "fuzz: FAILED (build; log: $build/fuzz.build.log)"
  exit 1
fi
# --build-only: the targets built, nothing fuzzed (the test command builds them beside ctest).
[[ "${1:-}" == --build-only ]] && exit 0
echo "Fuzzing (libFuzzer + AddressSanitizer + UndefinedBehaviorSanitizer, ${seconds} s a target, $parallel at a time; build $((SECONDS - started)) s):"
status=0
rm -rf "$build/runs"
mkdir -p "$build/runs" "$build/findings"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Fuzzes target $1 from a copy of its corpus in runs/$1, leaving its log and exit status there.
fuzz() {
  local target=$1 work=$build/runs/$1 rc=0
  mkdir -p "$work/corpus"
  cp "$root/tests/fuzz/corpus/$target"/* "$work/corpus/"
  find "$work/corpus" -type f | wc -l >"$work/seeds"
  (cd "$work" && "$build/tests/fuzz/fuzz_$target" "${limits[@]}" -max_total_time="$seconds" -close_fd_mask=3 \
    -print_final_stats=1 -artifact_prefix="$build/findings/$target-" corpus) >"$work/log" 2>&1 || rc=$?
  echo $rc >"$work/rc"
}
# Each fuzzer is one process on one core: $parallel of them run side by side.
for target in "${targets[@]}"; do
  while [[ $(jobs -rp | wc -l) -ge $parallel ]]; do wait -n; done
  fuzz "$target" &
done
wait
for target in "${targets[@]}"; do
  work=$build/runs/$target
  rc=$(cat "$work/rc" 2>/dev/null || echo "?")
  seeds=$(cat "$work/seeds" 2>/dev/null || echo "?")
  # The last status line ("#N DONE cov: C ft: F corp: ...") and the average speed.
  last=$(grep -E '^#[0-9]+' "$work/log" | tail -n 1)
  runs=$(grep -oE '^#[0-9]+' <<<"$last" | tr -d '#')
  cov=$(grep -oE 'cov: [0-9]+' <<<"$last" | cut -d' ' -f2)
  ft=$(grep -oE 'ft: [0-9]+' <<<"$last" | cut -d' ' -f2)
  speed=$(grep -oE 'average_exec_per_sec: *[0-9]+' "$work/log" | grep -oE '[0-9]+$')
  corpus=$(find "$work/corpus" -type f | wc -l)
  line="$target: ${runs:-?} runs, ${speed:-?}/s, cov ${cov:-?}, ft ${ft:-?}, corpus $seeds -> $corpus"
  if [[ $rc != 0 ]]; then
    grep -E -A30 '^==[0-9]+==ERROR|runtime error|ALARM|out-of-memory|malloc\(' "$work/log" | head -60
    echo "  $line: FAILED (exit $rc; input in $build/findings; log: $work/log)"
    status=1
  else
    echo "  $line: ok, nothing found"
  fi
done
exit $status
