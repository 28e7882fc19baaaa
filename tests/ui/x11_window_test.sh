#!/usr/bin/env bash
# Starts quillmore (the program given) under a real X server, as a person
# would. With the engine beside it, the program maps one top-level window
# titled "Quillmore" of 950 x 650 that stays up until its close button is
# clicked. Copied into a folder without the engine, it shows only its
# missing-files question, and answering No ends it. The test run's offscreen
# platform is left out: these need the X server.
set -euo pipefail
program=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

# Runs the checks given as a bash script under the X server, with the program
# as $1, a home of its own and no offscreen platform.
under_x() {
    HOME=$home env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x800x24" bash -c "$1" bash "$2"
}

under_x '
    "$1" >/dev/null 2>&1 &
    pid=$!
    windows=$(xdotool search --sync --onlyvisible --name "^Quillmore\$")
    count=$(echo "$windows" | wc -l)
    [ "$count" -eq 1 ] || { echo "expected one window, found $count"; exit 1; }
    geometry=$(xdotool getwindowgeometry "$windows" | sed -n "s/.*Geometry: //p")
    [ "$geometry" = "950x650" ] || { echo "window is $geometry"; exit 1; }
    sleep 1
    kill -0 "$pid" || { echo "the program ended by itself"; exit 1; }
    # The close caption button: 918,11 and 21 pixels square.
    xdotool mousemove --window "$windows" 928 21 click 1
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || exit 0
        sleep 0.1
    done
    echo "the close button did not end the program"
    kill "$pid"
    exit 1
' "$program"

lonely=$home/lonely
mkdir "$lonely"
cp "$program" "$lonely/quillmore"
under_x '
    "$1" >/dev/null 2>&1 &
    pid=$!
    question=$(xdotool search --sync --onlyvisible --name "^Quillmore\$")
    geometry=$(xdotool getwindowgeometry "$question" | sed -n "s/.*Geometry: //p")
    [ "$geometry" != "950x650" ] || { echo "the main window opened without the engine"; exit 1; }
    xdotool key --window "$question" Escape # the question'"'"'s No
    for _ in $(seq 50); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid" && { echo "a failed start ended with success"; exit 1; }
            exit 0
        fi
        sleep 0.1
    done
    echo "answering No did not end the program"
    kill "$pid"
    exit 1
' "$lonely/quillmore"
