#!/usr/bin/env bash
# The Windows program played in real time under Wine, in a virtual desktop of 1280x1024 on
# an X server of its own: while the show plays the desktop has the show's display mode
# (640x480), afterwards its own size again; Space holds the picture, Tab draws the overlay
# over it while paused, S writes the frame, F leaves full screen and comes back, Home jumps
# to the beginning; Escape brings the closing box, which answered
# with Return ends the program with status 0; with no data folder to be found the program
# says so and ends with a non-zero status before any window. Fails naming what is missing.
#
#   tests/windows/wine_realtime.sh PROGRAM.exe
set -uo pipefail
exe=$1
wine=/usr/lib/wine/wine64
fail() { echo "FAILED: $*" >&2; exit 1; }
[[ -r "$exe" ]] || fail "no Windows build at $exe: scripts/windows.sh builds it (scripts/test.sh runs it first)"
[[ -x "$wine" ]] || fail "$wine is missing (scripts/windows.sh installs wine64)"
for tool in Xvfb xdotool ffmpeg; do command -v $tool >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"; done

work=$(mktemp -d /tmp/orangefunk-windows-realtime-XXXXXX)
xvfb=""
show=""
cleanup() {
    [[ -n "$show" ]] && kill "$show" 2>/dev/null
    WINEPREFIX=$work/wine /usr/lib/wine/wineserver -k 2>/dev/null
    [[ -n "$xvfb" ]] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
export WINEPREFIX=$work/wine WINEDEBUG=-all
unset WAYLAND_DISPLAY

# An X server of its own, its display number chosen by the server.
exec 5<> <(:)
Xvfb -displayfd 5 -screen 0 1600x1200x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
read -r -t 30 number <&5 || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$number

# Polls (every 0.2 s, at most $1 s) until the command that follows succeeds.
wait_for() {
    local limit=$1
    shift
    local deadline=$((SECONDS + limit))
    until "$@"; do
        [[ $SECONDS -lt $deadline ]] || return 1
        sleep 0.2
    done
}
desktop_size() { xdotool getwindowgeometry "$desktop" 2>/dev/null | sed -n 's/.*Geometry: //p'; }
desktop_is() { [[ "$(desktop_size)" == "$1" ]]; }
running() { kill -0 "$show" 2>/dev/null; }

# The prefix is made before the clock starts: it takes a while on a busy machine.
started=$SECONDS
"$wine" wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot failed: $(tail -n 5 "$work/wineboot.log")"
echo "wine prefix made in $((SECONDS - started)) s"

# A missing data folder: the program alone in a folder, started elsewhere.
mkdir -p "$work/alone" "$work/elsewhere"
cp "$exe" "$work/alone/"
(cd "$work/elsewhere" && "$wine" "$work/alone/orangefunk.exe" >"$work/alone.log" 2>&1)
status=$?
[[ $status -ne 0 ]] || fail "with no data folder the program ended with status 0: $(cat "$work/alone.log")"
grep -q "cannot find the show's data files" "$work/alone.log" ||
    fail "with no data folder the program did not say so: $(cat "$work/alone.log")"
echo "no data folder: status $status, \"$(head -c 100 "$work/alone.log")...\""

# Real-time play from the final scene (time enough for the keys), in a virtual desktop the prefix's every
# program opens in (so the program's own exit status comes back).
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d orangefunk /f >/dev/null 2>&1 &&
    "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v orangefunk /d 1280x1024 /f >/dev/null 2>&1 ||
    fail "the virtual desktop could not be set in the Wine prefix's registry"
mkdir -p "$work/pictures"
XDG_PICTURES_DIR="Z:$work/pictures" "$wine" "$exe" --from 28 --stats >"$work/show.log" 2>&1 &
show=$!
desktop=""
find_desktop() { desktop=$(xdotool search --name "orangefunk - Wine desktop" 2>/dev/null | head -n 1); [[ -n "$desktop" ]]; }
wait_for 120 find_desktop || fail "no Wine desktop window appeared: $(cat "$work/show.log")"
wait_for 120 desktop_is 640x480 || fail "the desktop never took the show's mode 640x480 (it is $(desktop_size)): $(cat "$work/show.log")"
echo "while the show plays the desktop is $(desktop_size)"
sleep 3
desktop_is 640x480 || fail "the desktop left the show's mode while it played: $(desktop_size)"
running || fail "the program ended by itself: $(cat "$work/show.log")"

# The viewer's keys through the window's procedure, pressed as a user would (the X focus on
# the desktop, the keyboard with the show's window). The picture is the desktop's 640x480,
# grabbed from the X server and known by its checksum.
picture() { ffmpeg -loglevel error -f x11grab -video_size 640x480 -i "$DISPLAY+0,0" -frames:v 1 -f rawvideo - | md5sum; }
press() { xdotool windowfocus "$desktop" 2>/dev/null; xdotool key "$1"; sleep 1.5; }
xdotool mousemove --window "$desktop" 320 240 click 1
press space
held=$(picture)
sleep 1
[[ "$(picture)" == "$held" ]] || fail "Space did not hold the picture"
press Tab
[[ "$(picture)" != "$held" ]] || fail "Tab while paused drew no overlay over the held picture"
press Tab
[[ "$(picture)" == "$held" ]] || fail "Tab again while paused did not give back the held picture"
press space
[[ "$(picture)" != "$held" ]] || fail "Space again did not resume the show"
press s
ls "$work/pictures"/orangefunk-*.png >/dev/null 2>&1 || fail "S wrote no picture into the pictures folder: $(cat "$work/show.log")"
press f
wait_for 30 desktop_is 1280x1024 || fail "F did not leave full screen (the desktop is $(desktop_size))"
# Wine takes the keyboard from the window when it changes between full screen and a
# window; a click gives it back, as the user would.
xdotool mousemove --window "$desktop" 640 512 click 1
press f
wait_for 30 desktop_is 640x480 || fail "F again did not go full screen (the desktop is $(desktop_size))"
xdotool mousemove --window "$desktop" 320 240 click 1
press Home
echo "Space held the picture, Tab drew the overlay while paused, S wrote $(cd "$work/pictures" && ls), F left full screen and came back"
press Escape
wait_for 30 desktop_is 1280x1024 || fail "after Escape the desktop did not get its own size back: $(desktop_size)"
echo "after Escape the desktop is $(desktop_size)"
sleep 2
running || fail "the program ended before its closing box was answered: $(cat "$work/show.log")"
# The box is centred on the desktop: with the X focus on the desktop (no window manager
# gives it) a click on the box gives it the keyboard (Wine leaves the keyboard with the
# show's window), then Return presses its OK; tried until the box is up.
answer() {
    xdotool windowfocus "$desktop" 2>/dev/null
    xdotool mousemove --window "$desktop" 640 500 click 1
    sleep 0.5
    xdotool key Return
    sleep 2
    ! running
}
wait_for 60 answer || fail "the program did not end when its box was answered"
wait "$show"
status=$?
show=""
cat "$work/show.log"
[[ $status -eq 0 ]] || fail "the program ended with status $status after its box was answered"
echo "the box answered: status 0"
grep -Eq "^title +[0-9]+" "$work/show.log" || fail "Home did not start the show from its beginning: no title row in the statistics"
