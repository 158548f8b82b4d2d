#!/usr/bin/env bash
# The installed program as a user meets it. `cmake --install` into a temporary prefix puts
# there the program, every data file, the manual page (with the program's version and the
# options --help lists), the desktop entry and the icon, and nothing else. The installed program, started from /,
# finds its data and writes the frame asked for; given --data, started elsewhere, it
# writes a relative --frames folder where it was started; with no data anywhere it prints
# one line naming the folders it looked in and exits 1, touching no display.
# Usage: installed_program.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}
# Runs the program off screen with no display and no sound device (never a real X server:
# DISPLAY unset). Standard output and error go to $tmp/out and $tmp/err.
run() { env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy "$@" >"$tmp/out" 2>"$tmp/err"; }
# Fails unless $1 is a PNG file.
expect_png() {
  [[ -f "$1" && $(head -c 8 "$1" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] ||
    { tail -n 5 "$tmp/err"; fail "no PNG frame at $1"; }
}

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
program=$prefix/bin/orangefunk

# The installed tree, file by file.
grep -o '"[^"]*"' "$build/generated/player/show_files.h" | tr -d '"' | sed 's|^|share/orangefunk/|' >"$tmp/expected"
printf '%s\n' bin/orangefunk share/man/man6/orangefunk.6.gz share/applications/orangefunk.desktop >>"$tmp/expected"
for size in 32 48 64 128 256; do echo "share/icons/hicolor/${size}x$size/apps/orangefunk.png" >>"$tmp/expected"; done
(cd "$prefix" && find . ! -type d | sed 's|^\./||') >"$tmp/installed"
diff <(sort "$tmp/expected") <(sort "$tmp/installed") || fail "installed files differ from the expected ones (< missing, > extra)"
version=$("$program" --version)
[[ $version =~ ^orangefunk\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version printed \"$version\""
zcat "$prefix/share/man/man6/orangefunk.6.gz" | grep -q "^\.TH ORANGEFUNK 6 .*\"$version\"" ||
  fail "the manual page does not carry \"$version\""
grep -qx "Exec=orangefunk" "$prefix/share/applications/orangefunk.desktop" || fail "the desktop entry runs something else"
# The manual page's options (each a tagged paragraph) are those --help lists.
diff <("$program" --help | sed -n 's/^  \(-h, \)\{0,1\}\(--[a-z]*\).*/\2/p') \
    <(zcat "$prefix/share/man/man6/orangefunk.6.gz" | sed -n '/^\.SH OPTIONS/,/^\.SH/{/^\.TP/{n;p}}' |
        sed 's/\\-/-/g' | grep -o -- '--[a-z]*') || fail "the manual page's options differ from --help's (<, >)"
# Its keys too, each key's names as --help gives them.
diff <("$program" --help | sed -n '/^Keys/,/^$/{s/^  \([^ ].*\)/\1/p}' | sed 's/   *.*//') \
    <(zcat "$prefix/share/man/man6/orangefunk.6.gz" | sed -n '/^\.SH KEYS/,/^\.SH/{/^\.TP/{n;p}}' |
        sed 's/\\f[BR]//g; s/\\-/-/g') || fail "the manual page's keys differ from --help's (<, >)"

# From /, no --data: the installed data folder.
(cd / && run "$program" --frames "$tmp/from-root" --at 1:30) || { cat "$tmp/err"; fail "run from / failed"; }
expect_png "$tmp/from-root/frame-01-030.png"

# The data moved away and named with --data (relative), started in another folder: the
# relative --frames folder is made where the program was started.
mv "$prefix/share/orangefunk" "$tmp/moved-data"
mkdir "$tmp/work"
(cd "$tmp/work" && run "$program" --data ../moved-data --frames shots --at 1:30) ||
  { cat "$tmp/err"; fail "run with --data failed"; }
expect_png "$tmp/work/shots/frame-01-030.png"
[[ ! -e "$tmp/moved-data/shots" ]] || fail "--frames shots was written into the data folder"

# Started in the folder holding the data, with none installed: the working directory.
(cd "$tmp/moved-data" && run "$program" --frames "$tmp/in-data" --at 0:1) ||
  { cat "$tmp/err"; fail "run from the data folder failed"; }
expect_png "$tmp/in-data/frame-00-001.png"

# No data anywhere. An Xvfb on the PATH that only leaves a mark shows whether an off-screen
# run got as far as wanting a display; a full-screen run would report SDL's video set-up.
mkdir "$tmp/empty" "$tmp/fake-bin"
printf '#!/bin/sh\ntouch "%s"\nexit 1\n' "$tmp/xvfb-started" >"$tmp/fake-bin/Xvfb"
chmod +x "$tmp/fake-bin/Xvfb"
for arguments in "--frames shots --at 1:30" "--window" ""; do
  status=0
  # shellcheck disable=SC2086  # the arguments are meant to split
  (cd "$tmp/empty" && PATH="$tmp/fake-bin:$PATH" run "$program" $arguments) || status=$?
  [[ $status -eq 1 ]] || fail "with no data and \"$arguments\": exit status $status, not 1"
  [[ ! -s "$tmp/out" && $(wc -l <"$tmp/err") -eq 1 ]] || { cat "$tmp/out" "$tmp/err"; fail "not a single message"; }
  for looked in "$tmp/empty" "$prefix/share/orangefunk" "$prefix/bin/data"; do
    grep -qF "$looked" "$tmp/err" || { cat "$tmp/err"; fail "the message does not name $looked"; }
  done
  [[ ! -e "$tmp/xvfb-started" ]] || fail "an X server was started before the data was found"
  [[ ! -e "$tmp/empty/shots" ]] || fail "the frames folder was made before the data was found"
done
echo "PASS: installed tree ($(wc -l <"$tmp/installed") files), runs from /, with --data, from the data folder; no data: \"$(cat "$tmp/err")\""
