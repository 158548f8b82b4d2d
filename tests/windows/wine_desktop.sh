# What the Wine tests share, sourced with the Windows program's path in $exe: an X server
# of their own, a Wine prefix whose programs open in a virtual desktop of $desktop_size,
# and the helpers that start the show, watch the desktop and answer the closing box.
# Sets $work (removed on exit), $show (the program's process) and $desktop (its window).
wine=/usr/lib/wine/wine64
fail() { echo "FAILED: $*" >&2; exit 1; }
[[ -r "$exe" ]] || fail "no Windows build at $exe: scripts/windows.sh builds it (scripts/test.sh runs it first)"
[[ -x "$wine" ]] || fail "$wine is missing (scripts/windows.sh installs wine64)"
for tool in Xvfb xdotool ffmpeg; do command -v $tool >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"; done

work=$(mktemp -d /tmp/orangefunk-wine-XXXXXX)
xvfb=""
show=""
desktop=""
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
# The desktop's window left by an earlier run may close as the next run starts: then the
# new one is found.
desktop_is() {
    xdotool getwindowname "$desktop" >/dev/null 2>&1 || find_desktop
    [[ "$(desktop_size)" == "$1" ]]
}
running() { kill -0 "$show" 2>/dev/null; }

# The prefix is made before any clock starts: it takes a while on a busy machine. Every
# program of the prefix opens in the virtual desktop (so the program's own exit status
# comes back).
started=$SECONDS
"$wine" wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot failed: $(tail -n 5 "$work/wineboot.log")"
"$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d orangefunk /f >/dev/null 2>&1 &&
    "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v orangefunk /d "$desktop_size" /f >/dev/null 2>&1 ||
    fail "the virtual desktop could not be set in the Wine prefix's registry"
echo "wine prefix made in $((SECONDS - started)) s"

find_desktop() { desktop=$(xdotool search --name "orangefunk - Wine desktop" 2>/dev/null | head -n 1); [[ -n "$desktop" ]]; }
# Starts the program with the arguments given, screenshots into $work/pictures, its output
# in $work/show.log; waits for the desktop's window.
start_show() {
    mkdir -p "$work/pictures"
    XDG_PICTURES_DIR="Z:$work/pictures" "$wine" "$exe" "$@" >"$work/show.log" 2>&1 &
    show=$!
    wait_for 120 find_desktop || fail "no Wine desktop window appeared: $(cat "$work/show.log")"
}
# The desktop's picture at its top left, $1 (WxH) pixels, known by its checksum.
picture() { ffmpeg -loglevel error -f x11grab -video_size "$1" -i "$DISPLAY+0,0" -frames:v 1 -f rawvideo - | md5sum; }
# True once the desktop's picture ($1, WxH) moves: the show is drawing.
moving() { local before; before=$(picture "$1"); sleep 0.3; [[ "$(picture "$1")" != "$before" ]]; }
# Presses the keys given as a user would: the keyboard is with the show's window.
press() { xdotool key "$@"; sleep 1.5; }

# Answers the closing box, centred at ($1, $2) on the desktop, and checks that the program
# then ends with status $3 (0 when not given). With the X focus on the desktop (no window manager gives it) a
# click on the box gives it the keyboard, then Return presses its OK; tried until it is up.
answer_box() {
    local x=$1 y=$2 expected=${3:-0}
    sleep 2
    running || fail "the program ended before its closing box was answered: $(cat "$work/show.log")"
    answer() {
        xdotool windowfocus "$desktop" 2>/dev/null
        xdotool mousemove --window "$desktop" "$x" "$y" click 1
        sleep 0.5
        xdotool key Return
        sleep 2
        ! running
    }
    wait_for 60 answer || fail "the program did not end when its box was answered"
    wait "$show"
    local status=$?
    show=""
    cat "$work/show.log"
    [[ $status -eq $expected ]] || fail "the program ended with status $status after its box was answered"
    echo "the box answered: status $status"
}
