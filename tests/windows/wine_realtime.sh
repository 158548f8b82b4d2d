#!/usr/bin/env bash
# The Windows program played in real time under Wine, in a virtual desktop of 1280x1024 on
# an X server of its own: while the show plays the desktop has the show's display mode
# (640x480), afterwards its own size again; Space holds the picture, Tab draws the overlay
# over it while paused, S writes the frame, F leaves full screen and comes back, Home jumps
# to the beginning; Escape brings the closing box, which answered with Return ends the
# program with status 0; with no data folder to be found the program says so and ends with
# a non-zero status before any window: from a console on standard error alone (where --help
# gives the Windows build's text), started with no console and no standard handles (as from
# Explorer) also in a box titled "orangefunk", read from Wine's relay trace of MessageBoxW,
# with the same status once answered; told where it is (--data) it plays to --to and ends
# there by itself. Fails naming what is missing.
#
#   tests/windows/wine_realtime.sh PROGRAM.exe
set -uo pipefail
exe=$1
desktop_size=1280x1024
source "$(dirname "$0")/wine_desktop.sh"

# A missing data folder: the program alone in a folder, started elsewhere, from a console
# (its standard error a file). Wine's relay trace shows the program's calls to AttachConsole
# and MessageBoxW, with their text.
mkdir -p "$work/alone" "$work/elsewhere"
cp "$exe" "$work/alone/"
"$wine" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d 'kernel32.AttachConsole;user32.MessageBoxW' /f \
    >/dev/null 2>&1 || fail "the relay trace's calls could not be set in the Wine prefix's registry"
(cd "$work/elsewhere" && WINEDEBUG=+relay "$wine" "$work/alone/orangefunk.exe" >"$work/alone.log" 2>"$work/alone.err")
status=$?
[[ $status -ne 0 ]] || fail "with no data folder the program ended with status 0: $(cat "$work/alone.err")"
grep -q "^orangefunk: cannot find the show's data files" "$work/alone.err" ||
    fail "with no data folder the program did not say so: $(cat "$work/alone.err")"
! grep -q "Call user32.MessageBoxW" "$work/alone.err" || fail "from a console the program also showed a box"
echo "no data folder: status $status, \"$(grep -m 1 "^orangefunk:" "$work/alone.err" | head -c 100)...\""
# --help from a console gives the Windows build's folders and options.
help=$("$wine" "$exe" --help 2>&1) || fail "--help failed: $help"
[[ $help == *'data\ in the folder of'* && $help == *'your Pictures folder'* && $help != *--capture* ]] ||
    fail "--help does not give the Windows build's text: $help"
# The same with no console and no standard handles, as from Explorer: `start /unix` runs it
# so (the program finds no standard error and no console to attach to). The box is
# answered; start /wait ends with the program's status.
(cd "$work/elsewhere" && WINEDEBUG=+relay "$wine" start /wait /unix "$work/alone/orangefunk.exe" \
    >"$work/show.log" 2>"$work/boxed.err") &
show=$!
wait_for 120 find_desktop || fail "no Wine desktop window appeared for the box: $(cat "$work/boxed.err")"
wait_for 30 grep -q "Call user32.MessageBoxW" "$work/boxed.err" ||
    fail "started with no console, the program showed no box: $(grep -v trace: "$work/boxed.err")"
grep -q "Ret  KERNEL32.AttachConsole() retval=00000000" "$work/boxed.err" ||
    fail "start /unix gave the program a standard error or a console: $(grep AttachConsole "$work/boxed.err")"
box=$(grep -m 1 "Call user32.MessageBoxW" "$work/boxed.err")
# The trace cuts long texts short: the start and the title.
[[ $box == *'L"orangefunk: cannot find the show'\''s data files ('*' L"orangefunk",'* ]] ||
    fail "the box does not say what is missing under the title orangefunk: $box"
answer_box 640 512 $status
echo "no console: the box ${box#*user32.}"
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
