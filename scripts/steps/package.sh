#!/usr/bin/env bash
# The Debian package as a user meets it: builds it from the build folder, installs it with
# apt-get, runs the installed `orangefunk` from / off screen for one frame, removes it
# again (purge) and checks that nothing it installed is left behind. Needs root or sudo;
# refuses to run while orangefunk is installed. Exits non-zero on any failure.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
apt=($sudo env DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=600)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "package: FAILED: $*"
  exit 1
}
installed() { dpkg-query -W -f='${Status}' orangefunk 2>/dev/null | grep -q "ok installed"; }

installed && fail "orangefunk is installed already (this test installs and removes it)"
cmake --build "$build" --target package >"$work/cpack.log" 2>&1 || { tail -30 "$work/cpack.log"; fail "cpack"; }
version=$("$build/orangefunk" --version | cut -d' ' -f2)
deb=$build/orangefunk_${version}_amd64.deb
[[ -f $deb ]] || fail "no $deb"
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "package version $(dpkg-deb -f "$deb" Version), program $version"
echo "package: $(basename "$deb"), Depends: $(dpkg-deb -f "$deb" Depends)"

# What exists before: only paths the package brings that were not there may be left after.
dpkg-deb -c "$deb" | awk '{ print substr($6, 2) }' | sed 's|/$||' | grep . >"$work/contents"
while read -r path; do [[ -e $path ]] && echo "$path"; done <"$work/contents" >"$work/before"

"${apt[@]}" install "$deb" >"$work/apt.log" 2>&1 || { tail -20 "$work/apt.log"; fail "apt-get install"; }
status=0
[[ $(command -v orangefunk) == /usr/bin/orangefunk ]] || { echo "orangefunk is not /usr/bin/orangefunk"; status=1; }
(cd / && env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy orangefunk --frames "$work/frames" --at 1:30 \
  >"$work/run.log" 2>&1) || { tail -5 "$work/run.log"; echo "the installed program failed"; status=1; }
[[ -s "$work/frames/frame-01-030.png" ]] || { echo "the installed program wrote no frame"; status=1; }
dpkg -L orangefunk >"$work/listed"
"${apt[@]}" purge orangefunk >>"$work/apt.log" 2>&1 || { tail -20 "$work/apt.log"; fail "apt-get purge"; }
installed && fail "still installed after purge"
[[ $status -eq 0 ]] || fail "the installed program did not play"

left=()
while read -r path; do
  [[ $path == /. ]] && continue
  [[ -e $path || -L $path ]] && ! grep -qxF "$path" "$work/before" && left+=("$path")
done <"$work/listed"
[[ ${#left[@]} -eq 0 ]] || fail "left behind after removal: ${left[*]}"
echo "package: installed, played one frame from /, removed; none of its $(wc -l <"$work/listed") paths left behind"
