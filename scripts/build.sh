#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR): by default everything, the show, its
# data, tools, tests and benchmarks. Arguments go to the configure step (they come last, so
# -DORANGEFUNK_TESTS=OFF wins); $BUILD_TARGETS, when set, names the only targets built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
mkdir -p "$build"
if ! cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} \
  -DORANGEFUNK_TESTS=ON -DORANGEFUNK_BENCH=ON "$@" >"$build/configure.log" 2>&1; then
  grep -E "No package|Could not|not found|Error" "$build/configure.log" | head -n 20 >&2
  echo "build: configuring failed (log: $build/configure.log)" >&2
  exit 1
fi
# shellcheck disable=SC2086  # a list of target names
cmake --build "$build" ${BUILD_TARGETS:+--target $BUILD_TARGETS}
