#!/bin/bash
# Starts the program on its own Xvfb display, checks the drawn window at a few places, then
# ends it with "Quit" and (when the helper is built) with a close request; both must give 0.
# Usage: real_window_test.sh PROGRAM SCREENSHOT-DIR [CLOSE-HELPER]
set -u

program=$1
shots=$2
close_helper=${3:-}

for tool in Xvfb xdotool import convert; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
mkdir -p "$shots"

xvfb_pid=""
program_pid=""
cleanup() {
    if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
        kill "$program_pid" 2>/dev/null
        wait "$program_pid" 2>/dev/null
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    exit 1
}

# Xvfb picks a free display number itself and reports it, so parallel runs never share one.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$shots/display-number" >"$shots/xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
for _ in $(seq 100); do
    if [ -s "$shots/display-number" ]; then
        display=":$(tr -d '[:space:]' <"$shots/display-number")"
        break
    fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
done
[ -n "$display" ] || fail "no free display for Xvfb"
export DISPLAY=$display
export QT_QPA_PLATFORM=xcb

# Prints "r,g,b" of the screenshot's pixel at x, y.
pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

# Starts the program (ordinary arguments are ignored) and waits for its window.
start_program() {
    "$program" --regserver /regserverx >"$shots/program.log" 2>&1 &
    program_pid=$!
    window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Notenstatistik$' | head -n 1)
    [ -n "$window" ] || fail "the window \"Notenstatistik\" did not appear"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    origin_x=$X
    origin_y=$Y
}

# Waits for the program to end and checks its exit code.
expect_exit_zero() {
    local code=""
    for _ in $(seq 100); do
        if ! kill -0 "$program_pid" 2>/dev/null; then
            wait "$program_pid"
            code=$?
            break
        fi
        sleep 0.1
    done
    [ -n "$code" ] || fail "$1: the program did not end"
    program_pid=""
    [ "$code" = 0 ] || fail "$1: exit code $code"
    echo "ok: $1 ends the program with exit code 0"
}

start_program
[ "$WIDTH" = 400 ] && [ "$HEIGHT" = 274 ] || fail "client area ${WIDTH}x${HEIGHT}, expected 400x274"

# Points in client coordinates: background between the controls, the three result fields.
aqua_points="2,2 395,100 200,230 50,140 395,270"
yellow_points="44,44 10,34 79,55 44,108 44,188"
shot="$shots/window.png"
drawn=""
for _ in $(seq 50); do
    import -window root "$shot" 2>/dev/null
    if [ "$(pixel "$shot" $((origin_x + 2)) $((origin_y + 2)))" = "0,255,255" ]; then
        drawn=yes
        break
    fi
    sleep 0.2
done
[ -n "$drawn" ] || fail "the window was not drawn (see $shot)"
for point in $aqua_points; do
    x=$((origin_x + ${point%,*}))
    y=$((origin_y + ${point#*,}))
    colour=$(pixel "$shot" "$x" "$y")
    [ "$colour" = "0,255,255" ] || fail "background at $point is $colour, expected aqua (see $shot)"
done
for point in $yellow_points; do
    x=$((origin_x + ${point%,*}))
    y=$((origin_y + ${point#*,}))
    colour=$(pixel "$shot" "$x" "$y")
    [ "$colour" = "255,255,0" ] || fail "result field at $point is $colour, expected empty yellow (see $shot)"
done
echo "ok: aqua background and empty yellow result fields"

# "Quit" (Button2 at 313,239, 75 x 25).
xdotool mousemove --sync $((origin_x + 350)) $((origin_y + 251)) click 1
expect_exit_zero "Quit"

if [ -n "$close_helper" ]; then
    start_program
    "$close_helper" "$window" || fail "could not send the close request"
    expect_exit_zero "the close request"
fi
exit 0
