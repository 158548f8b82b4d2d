#!/usr/bin/env bash
# The Windows program's keys and play options under Wine, with the sound heard through
# waveOut: run by with-sound.sh, so Wine's audio driver plays into a private PulseAudio
# whose null sink this script records. In a 1280x1024 virtual desktop it plays
# --window --size 800x600 --loop --from 32 --stats and checks: the window leaves the
# desktop's mode alone; the last order plays again (--loop); every jump key (Left, Right,
# PageUp, PageDown, Shift with the arrows, Home) lands on its order, read off the names of
# the screenshots S and F12 write; M, + and - (both keyboards' keys) and Space silence the
# sound and give it back; F and Alt+Enter switch full screen; Escape and the box end it.
#
#   tests/windows/wine_keys.sh PROGRAM.exe
set -uo pipefail
exe=$1
desktop_size=1280x1024
source "$(dirname "$0")/wine_desktop.sh"
[[ -n "${PULSE_SERVER:-}" ]] || fail "no PULSE_SERVER: run under scripts/helpers/with-sound.sh"
for tool in parec sox file; do command -v $tool >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"; done

# The RMS level (0 to 1) of the next second heard on the null sink.
level() {
    timeout 1 parec -d null.monitor --raw --format=s16le --rate=44100 --channels=2 >"$work/heard.raw" 2>/dev/null
    sox -t raw -r 44100 -e signed -b 16 -c 2 "$work/heard.raw" -n stat 2>&1 | awk '/^RMS +amplitude/ { print $3 }'
}
quiet() { awk -v level="$1" 'BEGIN { exit !(level != "" && level < 0.0005) }'; }
# Presses the keys given, then checks whether the sound is heard ($1: heard or silent).
sound_after() {
    local want=$1
    shift
    [[ $# -eq 0 ]] || press "$@"
    local heard
    heard=$(level)
    if [[ $want == silent ]]; then quiet "$heard" || fail "after $* the sound was still heard (RMS $heard)"
    else ! quiet "$heard" || fail "after $* no sound was heard (RMS ${heard:-none})"; fi
    levels+=" $*: $heard;"
}
# Presses the key given (S or F12); $at is then the order and row of the screenshot it wrote.
shot() {
    local before
    before=$(ls "$work/pictures" | wc -l)
    press "$1"
    new_shot() { [[ $(ls "$work/pictures" | wc -l) -gt $before ]]; }
    wait_for 10 new_shot || fail "$1 wrote no screenshot: $(cat "$work/show.log")"
    at=$(ls -t "$work/pictures" | head -n 1 | sed -E 's/^orangefunk-([0-9]+)-([0-9]+).*/\1 \2/')
}
# Presses $1, then S, and checks that the screenshot is of order $2.
jump() {
    press "$1"
    shot s
    (( 10#${at% *} == $2 )) || fail "$1 did not go to order $2: the screenshot after it is of $at"
    jumps+=" $1: $2;"
}

start_show --window --size 800x600 --loop --from 32 --stats
wait_for 120 moving 1280x1024 || fail "the show drew nothing: $(cat "$work/show.log")"
running || fail "the program ended by itself: $(cat "$work/show.log")"
desktop_is 1280x1024 || fail "--window changed the desktop's mode: it is $(desktop_size)"
xdotool mousemove --window "$desktop" 640 512 click 1
levels="" jumps=""

# --loop: order 32 comes again, its rows starting over with no jump key pressed.
shot s
first=$at
[[ ${first% *} == 32 ]] || fail "--from 32 started at $first"
# --size: the window's picture, as the screenshot has it.
size=$(file "$work/pictures"/orangefunk-32-*.png | grep -o "[0-9]* x [0-9]*")
[[ $size == "800 x 600" ]] || fail "--size 800x600 gave a picture of $size"
# A row before the previous screenshot's, with no jump between them.
looped() {
    local previous=$at
    shot F12
    [[ ${at% *} == 32 && 10#${at#* } -lt 10#${previous#* } ]]
}
wait_for 40 looped || fail "--loop did not play order 32 again: $(ls "$work/pictures") $(cat "$work/show.log")"
echo "--size: a picture of $size; --loop: order 32 came again ($(ls "$work/pictures" | tr '\n' ' '))"

# Each jump lands on its order, the next key pressed well inside that order.
jump Home 0
jump Right 3
jump Next 4
jump shift+Right 5
jump Left 3
jump Prior 2
jump shift+Left 1
echo "jumps:$jumps"

# The sound, through waveOut: heard, silenced and given back by each volume key and Space.
sound_after heard
sound_after silent m
sound_after heard m
sound_after silent minus minus minus minus minus minus minus minus minus minus
sound_after heard KP_Add
sound_after silent KP_Subtract
sound_after heard equal equal equal equal equal equal equal equal equal equal
sound_after silent space
sound_after heard space
echo "sound (RMS):$levels"

press f
wait_for 30 desktop_is 640x480 || fail "F did not go full screen (the desktop is $(desktop_size))"
press alt+Return
wait_for 30 desktop_is 1280x1024 || fail "Alt+Enter did not leave full screen (the desktop is $(desktop_size))"
echo "F went full screen, Alt+Enter back to the window"

press Escape
answer_box 640 512
for part in title "morphing ball" "final scene"; do
    grep -Eq "^$part +[0-9]+" "$work/show.log" || fail "no $part row in the statistics"
done
