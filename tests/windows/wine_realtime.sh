#!/usr/bin/env bash
# The Windows program played in real time under Wine, in a virtual desktop of 1280x1024 on
# an X server of its own: while the show plays the desktop has the show's display mode
# (640x480), afterwards its own size again; Space holds the picture, Tab draws the overlay
# over it while paused, S writes the frame, F leaves full screen and comes back, Home jumps
# to the beginning; Escape brings the closing box, which answered
# with Return ends the program with status 0; with no data folder to be found the program
# says so and ends with a non-zero status before any window, and told where it is (--data)
# plays to --to and ends there by itself. Fails naming what is missing.
#
#   tests/windows/wine_realtime.sh PROGRAM.exe
set -uo pipefail
exe=$1
desktop_size=1280x1024
source "$(dirname "$0")/wine_desktop.sh"

# A missing data folder: the program alone in a folder, started elsewhere.
mkdir -p "$work/alone" "$work/elsewhere"
cp "$exe" "$work/alone/"
(cd "$work/elsewhere" && "$wine" "$work/alone/orangefunk.exe" >"$work/alone.log" 2>&1)
status=$?
[[ $status -ne 0 ]] || fail "with no data folder the program ended with status 0: $(cat "$work/alone.log")"
grep -q "cannot find the show's data files" "$work/alone.log" ||
    fail "with no data folder the program did not say so: $(cat "$work/alone.log")"
echo "no data folder: status $status, \"$(head -c 100 "$work/alone.log")...\""
# The same program told where the data is (--data), playing 8 rows (--to, about a second
# of the 15 s of order 32) in a window: it ends there by itself with the box.
data=$(cd "$(dirname "$exe")/data" && pwd)
(cd "$work/elsewhere" && "$wine" "$work/alone/orangefunk.exe" --data "Z:$data" --window --from 32 --to 32:8 \
    --stats >"$work/show.log" 2>&1) &
show=$!
wait_for 120 find_desktop || fail "no Wine desktop window appeared: $(cat "$work/show.log")"
answer_box 640 512
frames=$(sed -n 's/^final scene *\([0-9]*\).*/\1/p' "$work/show.log")
[[ -n "$frames" && $frames -lt 300 ]] || fail "--to 32:8 did not end the show there: ${frames:-no} frames drawn"
echo "--data and --to: the show ended at 32:8 after $frames frames"
desktop=""

# Real-time play from the final scene (time enough for the keys).
start_show --from 28 --stats
wait_for 120 desktop_is 640x480 || fail "the desktop never took the show's mode 640x480 (it is $(desktop_size)): $(cat "$work/show.log")"
echo "while the show plays the desktop is $(desktop_size)"
sleep 3
desktop_is 640x480 || fail "the desktop left the show's mode while it played: $(desktop_size)"
running || fail "the program ended by itself: $(cat "$work/show.log")"

# The viewer's keys through the window's procedure, the show's window clicked once as a
# user would; the picture is the desktop's 640x480.
xdotool mousemove --window "$desktop" 320 240 click 1
press space
held=$(picture 640x480)
sleep 1
[[ "$(picture 640x480)" == "$held" ]] || fail "Space did not hold the picture"
press Tab
[[ "$(picture 640x480)" != "$held" ]] || fail "Tab while paused drew no overlay over the held picture"
press Tab
[[ "$(picture 640x480)" == "$held" ]] || fail "Tab again while paused did not give back the held picture"
press space
[[ "$(picture 640x480)" != "$held" ]] || fail "Space again did not resume the show"
press s
ls "$work/pictures"/orangefunk-*.png >/dev/null 2>&1 || fail "S wrote no picture into the pictures folder: $(cat "$work/show.log")"
press f
wait_for 30 desktop_is 1280x1024 || fail "F did not leave full screen (the desktop is $(desktop_size))"
press f
wait_for 30 desktop_is 640x480 || fail "F again did not go full screen (the desktop is $(desktop_size))"
press Home
echo "Space held the picture, Tab drew the overlay while paused, S wrote $(cd "$work/pictures" && ls), F left full screen and came back"
press Escape
wait_for 30 desktop_is 1280x1024 || fail "after Escape the desktop did not get its own size back: $(desktop_size)"
echo "after Escape the desktop is $(desktop_size)"
answer_box 640 500
grep -Eq "^title +[0-9]+" "$work/show.log" || fail "Home did not start the show from its beginning: no title row in the statistics"
