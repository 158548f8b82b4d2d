#!/usr/bin/env bash
# Installs what is missing, builds everything (the browser build too) and runs every test
# (under Xvfb when there is no display; the browser's in headless Chromium), then the
# Debian package installed, run and removed, the sanitizer builds of the tests that handle
# untrusted input and the drawing pipeline's tests under memcheck.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
status=0
# The browser build and the tools of its tests; when this fails, the web tests say so.
"$root/scripts/web.sh" --test-tools || status=$?
"$root/scripts/with-display.sh" ctest --test-dir "$root/build" --output-on-failure -j2 || status=$?
"$root/scripts/test-package.sh" || status=$?
if [[ -x "$root/scripts/test-sanitizers.sh" ]]; then
  "$root/scripts/test-sanitizers.sh" || status=$?
fi
"$root/scripts/test-memcheck.sh" || status=$?
exit $status
